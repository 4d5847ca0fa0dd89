#!/usr/bin/env bash
# Proves the Debian package end to end on a fresh Debian 12 root: builds the package (unless
# one is given), makes a new root with mmdebstrap from this machine's own apt sources,
# installs the package there with apt, starts `voidrocks` from /tmp in an Xvfb screen, takes
# a screenshot and checks that the score text and the ship are drawn; then removes the
# package and checks that no file of it is left. Needs root; takes a few minutes.
#
# Usage: scripts/package-e2e.sh [voidrocks_VERSION_ARCH.deb]
# The screenshot is kept as build/e2e-screenshot.png.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

if [ "${1:-}" = --in-root ]; then
    # Runs as mmdebstrap's customize hook, on this machine, with the new root in $2.
    root=$2
    in_root() { chroot "$root" "$@"; }
    deb=$(basename "$(cat "$root/tmp/e2e-deb-name")")
    echo "== apt install ./$deb"
    in_root sh -c "cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y -q ./$deb" |
        grep -E '^(Setting up|Unpacking) |newly installed'
    echo "== installed files"
    in_root dpkg -L voidrocks | grep -v '^/\.$' >"$root/tmp/e2e-files"
    while read -r f; do [ -d "$root$f" ] || echo "$f"; done <"$root/tmp/e2e-files"
    command -v desktop-file-validate >/dev/null &&
        desktop-file-validate "$root/usr/share/applications/voidrocks.desktop" &&
        echo "desktop entry valid"

    echo "== voidrocks from /tmp on Xvfb"
    xvfb_pid=$(in_root sh -c 'Xvfb :7 -screen 0 1920x1080x24 -nolisten tcp >/tmp/xvfb.log 2>&1 & echo $!')
    for _ in $(seq 100); do [ -S "$root/tmp/.X11-unix/X7" ] && break; sleep 0.1; done
    game_pid=$(in_root sh -c 'cd /tmp && DISPLAY=:7 voidrocks >/tmp/game.out 2>/tmp/game.err & echo $!')
    verdict=1
    for attempt in $(seq 60); do
        sleep 0.5
        in_root sh -c 'DISPLAY=:7 xwd -root -silent | xwdtopnm 2>/dev/null >/tmp/shot.ppm' || continue
        if python3 "$repo/scripts/check-screenshot.py" "$root/tmp/shot.ppm" >"$root/tmp/check.txt"; then
            verdict=0
            break
        fi
    done
    echo "after $attempt tries: $(cat "$root/tmp/check.txt")"
    in_root sh -c 'pnmtopng /tmp/shot.ppm' >"$repo/build/e2e-screenshot.png" || true
    # The game takes SIGTERM as a quit request and ends after its frame; then the server.
    kill "$game_pid" 2>/dev/null || true
    while kill -0 "$game_pid" 2>/dev/null; do sleep 0.1; done
    kill "$xvfb_pid" 2>/dev/null || true
    while kill -0 "$xvfb_pid" 2>/dev/null; do sleep 0.1; done
    echo "game's standard output: $(wc -l <"$root/tmp/game.out") lines; standard error:"
    cat "$root/tmp/game.err"

    echo "== apt purge voidrocks"
    in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q voidrocks >/dev/null
    left=$(while read -r f; do [ ! -e "$root$f" ] || [ -d "$root$f" ] || echo "$f"; done <"$root/tmp/e2e-files")
    leftdirs=$(grep voidrocks "$root/tmp/e2e-files" | while read -r f; do [ ! -d "$root$f" ] || echo "$f"; done)
    if [ -n "$left$leftdirs" ]; then
        echo "left behind: $left $leftdirs"
        verdict=1
    else
        echo "every file of the package is gone"
    fi
    exit "$verdict"
fi

[ "$(id -u)" -eq 0 ] || { echo "package-e2e: needs root (mmdebstrap, chroot)" >&2; exit 1; }
for tool in mmdebstrap desktop-file-validate; do
    if ! command -v "$tool" >/dev/null; then
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            mmdebstrap desktop-file-utils >/dev/null
        break
    fi
done

deb=${1:-}
if [ -z "$deb" ]; then
    make package >/dev/null
    deb=$(ls -t build/voidrocks_*.deb | head -n1)
fi
deb=$(readlink -f "$deb")
echo "== package $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
dpkg-deb -f "$deb" Depends Recommends

# The new root takes its mirror from this machine's apt sources, read now.
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -s "$f" ] && grep -qE '^[^#]*(deb|Types:)' "$f" && sources+=("$f")
done
[ ${#sources[@]} -gt 0 ] || { echo "package-e2e: no apt sources on this machine" >&2; exit 1; }

work=$(mktemp -d /tmp/voidrocks-e2e.XXXXXX)
trap 'rm -rf "$work"' EXIT
echo "== fresh Debian 12 root in $work/root"
mmdebstrap --quiet --variant=apt --mode=root \
    --include=xvfb,x11-apps,netpbm \
    --customize-hook="copy-in '$deb' /tmp" \
    --customize-hook="echo '$(basename "$deb")' >\"\$1/tmp/e2e-deb-name\"" \
    --customize-hook="'$repo/scripts/package-e2e.sh' --in-root \"\$1\"" \
    bookworm "$work/root" "${sources[@]}"
echo "== end to end: passed"
