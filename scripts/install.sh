#!/usr/bin/env bash
# Installs the game from a build folder under a prefix (DESTDIR is honoured) and writes down
# what it added, for scripts/uninstall.sh: every file (CMake's install_manifest.txt) and every
# folder that did not exist before (install_dirs.txt, deepest first).
#
#   scripts/install.sh BUILD PREFIX
set -euo pipefail
build=${1:?usage: install.sh BUILD PREFIX}
prefix=${2:?usage: install.sh BUILD PREFIX}
root=${DESTDIR:-}$prefix

# The folders that exist now; whatever the install adds beyond them is its own.
before=$(mktemp)
trap 'rm -f "$before"' EXIT
# From the nearest folder that exists, since the install may create the prefix itself.
base=$root
until [ -d "$base" ]; do base=$(dirname "$base"); done
find "$base" -type d | sort >"$before"
cmake --install "$build" --prefix "$prefix"
# CMake's manifest names the files without DESTDIR; uninstall must find them where they are.
if [ -n "${DESTDIR:-}" ]; then
    sed -i "\#^$DESTDIR/#!s#^#$DESTDIR#" "$build/install_manifest.txt"
fi
find "$base" -type d | sort | comm -13 "$before" - | sort -r >"$build/install_dirs.txt"
