#!/usr/bin/env bash
# Proves the Debian package of one release end to end, as a player would meet it:
#   1. builds it with `make package` in a fresh root of the release (unless a .deb is given);
#   2. installs it with apt into a second, bare root of the release (nothing installed first),
#      so that its Depends alone must bring every library the game needs;
#   3. starts `voidrocks` from /tmp in that root on an Xvfb screen outside it, checks the
#      picture for the score and the ship, asks the window to close as its close button would,
#      and expects exit status 0 with nothing on standard output;
#   4. checks the desktop entry, then that `apt remove` takes every file of the package away and
#      that `apt purge` with its dependencies leaves the root as it was before.
# Needs root; a few minutes (more on Debian 12, where the set-up builds SDL3 first).
#
#   scripts/package-e2e.sh RELEASE [voidrocks_VERSION_ARCH.deb]     RELEASE: bookworm, trixie
#
# The screenshot is kept as build/e2e-RELEASE.png.
set -euo pipefail
cd "$(dirname "$0")/.."
release=${1:?usage: package-e2e.sh RELEASE [DEB]}
deb=${2:-}
[ "$(id -u)" -eq 0 ] || { echo "package-e2e: needs root (mmdebstrap, chroot)" >&2; exit 1; }

# What the check itself needs on this machine, outside the roots.
source scripts/lib/screen.sh
install_missing mmdebstrap desktop-file-utils xvfb x11-apps netpbm python3 libx11-6

work=$(mktemp -d /tmp/voidrocks-e2e.XXXXXX)
xvfb=""
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    rm -rf --one-file-system "$work"
}
trap cleanup EXIT
fail() { echo "package-e2e: FAILED: $*" >&2; exit 1; }
in_root() { scripts/fresh-root.sh --root "$work/bare" "$release" "$@"; }
# Every path of the root but the kernel's, the temporary ones and apt's and dpkg's records.
listing() {
    (cd "$work/bare" && find . -xdev \( -path ./proc -o -path ./sys -o -path ./dev -o -path ./tmp \
        -o -path ./run -o -path ./var/lib/apt -o -path ./var/cache -o -path ./var/log \
        -o -path ./var/lib/dpkg \) -prune -o -print | sort)
}

started=$SECONDS
if [ -z "$deb" ]; then
    echo "== make package in a fresh $release root"
    scripts/fresh-root.sh --root "$work/build" --repo "$release" make package >"$work/build.log" 2>&1 ||
        { tail -n 40 "$work/build.log"; fail "make package"; }
    deb=$(ls "$work"/build/root/voidrocks/build-run/voidrocks_*.deb)
    echo "built in $((SECONDS - started)) s"
fi
deb=$(readlink -f "$deb")
name=$(basename "$deb")
echo "== $name, $(du -k "$deb" | cut -f1) KiB"
echo "Depends: $(dpkg-deb -f "$deb" Depends)"
echo "Recommends: $(dpkg-deb -f "$deb" Recommends)"

echo "== apt install ./$name into a bare $release root"
installing=$SECONDS
in_root true
cp "$deb" "$work/bare/tmp/"
listing >"$work/before"
in_root sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends /tmp/$name" >"$work/install.log" 2>&1 ||
    { tail -n 20 "$work/install.log"; fail "apt install"; }
grep -o '[0-9]* newly installed' "$work/install.log"
in_root dpkg -L voidrocks | grep -v '^/\.$' >"$work/files"
desktop-file-validate "$work/bare/usr/share/applications/voidrocks.desktop" ||
    fail "the desktop entry is not valid"
echo "desktop entry valid"

echo "== voidrocks from /tmp on an Xvfb screen"
start_xvfb || fail "Xvfb did not start"
scripts/fresh-root.sh --root "$work/bare" --display "$display" "$release" \
    sh -c 'cd /tmp && exec voidrocks' >"$work/game.out" 2>"$work/game.err" &
game=$!
verdict=0
await_good_frame "$game" 60 "$work/shot" || verdict=1
echo "first good frame $((SECONDS - installing)) s after apt install began; $(cat "$work/shot.txt" 2>/dev/null)"
mkdir -p build
pnmtopng "$work/shot.ppm" >"build/e2e-$release.png" 2>/dev/null || true
[ "$verdict" -eq 0 ] || { cat "$work/game.err"; fail "no good frame (try $attempt)"; }
close_and_wait "$game" || fail "no window to close, or the game did not end on a close request"
echo "exit status $status; standard output $(wc -c <"$work/game.out") bytes; standard error:"
cat "$work/game.err"
[ "$status" -eq 0 ] || fail "exit status $status"
[ ! -s "$work/game.out" ] || fail "the game printed on standard output"

echo "== apt remove voidrocks"
in_root env DEBIAN_FRONTEND=noninteractive apt-get remove -y -q voidrocks >/dev/null
left=$(while read -r f; do [ ! -e "$work/bare$f" ] || [ -d "$work/bare$f" ] || echo "$f"; done <"$work/files")
for d in /usr/lib/voidrocks /usr/share/voidrocks /usr/share/doc/voidrocks; do
    [ ! -e "$work/bare$d" ] || left+=" $d"
done
[ -z "$left" ] || fail "left behind after remove: $left"
echo "every file and folder of the package is gone"

echo "== apt purge voidrocks, then its dependencies"
# A package without configuration files is forgotten by remove already; purge what is left.
if in_root dpkg-query -W voidrocks >/dev/null 2>&1; then
    in_root env DEBIAN_FRONTEND=noninteractive apt-get purge -y -q voidrocks >/dev/null
fi
in_root env DEBIAN_FRONTEND=noninteractive apt-get autoremove --purge -y -q >/dev/null
! in_root dpkg-query -W voidrocks >/dev/null 2>&1 || fail "dpkg still knows voidrocks"
if ! listing | diff "$work/before" - >"$work/diff"; then
    cat "$work/diff"
    fail "the root differs from before the install"
fi
echo "the root is as it was before the install"
echo "== end to end on $release: passed in $((SECONDS - started)) s"
