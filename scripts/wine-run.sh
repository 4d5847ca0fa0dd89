#!/usr/bin/env bash
# Runs a program of the Windows build under Wine, as CTest does for each test: the DLLs it
# links are found in the Windows prefix and in mingw's runtime folders, and Wine's own
# diagnostics are off, so that what the program prints is all that is printed.
#
#   scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Wine's prefix (its simulated C: drive) is ${WINEPREFIX:-~/.cache/voidrocks/wine64}, made on
# first use without its .NET and browser add-ons, which the game does not need.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
readonly TRIPLE=x86_64-w64-mingw32

export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/voidrocks/wine64}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export WINEARCH=win64

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    exec 9>"$WINEPREFIX.lock"
    flock 9
    # A run waiting here finds the prefix made by the one before it.
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        # Without a display, so that no dialog can wait for a click.
        DISPLAY= wine wineboot --init >/dev/null 2>&1
        wineserver --wait
    fi
    exec 9>&-
fi

dll_dirs=("$("$here/install-win64.sh" --print-prefix)/bin"
    "$(dirname "$("$TRIPLE-g++-posix" -print-file-name=libstdc++-6.dll)")"
    "/usr/$TRIPLE/lib")
winepath=""
for dir in "${dll_dirs[@]}"; do winepath+="${winepath:+;}Z:${dir//\//\\}"; done
export WINEPATH=$winepath
exec wine "$@"
