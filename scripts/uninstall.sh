#!/usr/bin/env bash
# Removes every file that scripts/install.sh installed from this build folder, then every
# folder it created, once empty. Folders that were there before (bin, share/applications, the
# icon theme) are left alone.
#
#   scripts/uninstall.sh BUILD
set -euo pipefail
build=${1:?usage: uninstall.sh BUILD}
manifest=$build/install_manifest.txt
[ -f "$manifest" ] || { echo "uninstall: $manifest not found: nothing was installed from this build" >&2; exit 1; }
while IFS= read -r file || [ -n "$file" ]; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        rm -f -- "$file"
        echo "removed $file"
    fi
done <"$manifest"
if [ -f "$build/install_dirs.txt" ]; then
    while IFS= read -r dir; do
        rmdir -- "$dir" 2>/dev/null && echo "removed $dir/" || true
    done <"$build/install_dirs.txt"
fi
rm -f -- "$manifest" "$build/install_dirs.txt"
