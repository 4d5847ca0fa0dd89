#!/usr/bin/env bash
# Removes every file `make install` listed in its manifest, then the folders of the game's
# own that are left empty. Folders shared with other programs (bin, share/applications, the
# icon theme) are never removed.
set -euo pipefail
manifest=${1:?usage: uninstall.sh build/install_manifest.txt}
[ -f "$manifest" ] || { echo "uninstall: $manifest not found: nothing was installed from this build" >&2; exit 1; }
while IFS= read -r file || [ -n "$file" ]; do
    if [ -e "$file" ] || [ -L "$file" ]; then
        rm -f -- "$file"
        echo "removed $file"
    fi
    case $file in
        */share/voidrocks/* | */lib/voidrocks/* | */share/doc/voidrocks/*)
            dir=$(dirname -- "$file")
            while [[ $dir == */voidrocks* ]] && rmdir -- "$dir" 2>/dev/null; do
                dir=$(dirname -- "$dir")
            done
            ;;
    esac
done <"$manifest"
rm -f -- "$manifest"
