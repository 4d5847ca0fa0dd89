#!/usr/bin/env bash
# Proves the Windows zip as a player meets it: unpacked into an empty folder and started there,
# as a double-click does, under Wine with a Wine prefix of its own (a Windows with nothing
# installed), so that every DLL must come from the zip.
#   1. headless (SDL's dummy video driver) and without input: the game plays until the ship
#      meets a voidrock, counts "GAME OVER" down and ends by itself, exit status 0, nothing
#      printed;
#   2. on an Xvfb screen through Wine's X11 driver: the window "Voidrocks" opens and its first
#      frame shows the score and the ship (scripts/check-screenshot.py); asked to close as its
#      close button would, it ends with exit status 0 and prints nothing.
#
#   scripts/check-windows-zip.sh build-windows/Voidrocks-VERSION-win64.zip
#
# The screenshot is kept beside the zip as windows-first-frame.png.
set -euo pipefail
cd "$(dirname "$0")/.."
zip=$(readlink -f "${1:?usage: check-windows-zip.sh ZIP}")
# A whole no-input game is about 70 s at 60 frames per second; far more means it never ends.
readonly GAME_LIMIT_SECONDS=600
readonly WINDOW_ATTEMPTS=120

source scripts/lib/screen.sh
install_missing unzip xvfb x11-apps netpbm python3 libx11-6

work=$(mktemp -d "${TMPDIR:-/tmp}/voidrocks-zip.XXXXXX")
xvfb=""
cleanup() {
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
    # The prefix's wineserver lingers a few seconds after its last program.
    WINEPREFIX=$work/wine wineserver --kill 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-windows-zip: FAILED: $*" >&2; exit 1; }

echo "== $(basename "$zip"), $(du -k "$zip" | cut -f1) KiB"
mkdir "$work/unpacked"
unzip -q "$zip" -d "$work/unpacked"
game=$(dirname "$(find "$work/unpacked" -name voidrocks.exe)")
[ -f "$game/voidrocks.exe" ] || fail "no voidrocks.exe in the zip"
(cd "$work/unpacked" && find . -type f | sort | sed 's/^/  /')

export WINEPREFIX=$work/wine WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
DISPLAY="" wine wineboot --init >/dev/null 2>&1
wineserver --wait

echo "== a whole game without input, headless"
started=$SECONDS
status=0
(cd "$game" && SDL_VIDEO_DRIVER=dummy timeout "$GAME_LIMIT_SECONDS" wine voidrocks.exe \
    >"$work/game.out" 2>"$work/game.err") || status=$?
echo "ended after $((SECONDS - started)) s with exit status $status;" \
    "printed $(wc -c <"$work/game.out") + $(wc -c <"$work/game.err") bytes"
[ "$status" -ne 124 ] || fail "still running after $GAME_LIMIT_SECONDS s"
[ "$status" -eq 0 ] || { cat "$work/game.err"; fail "exit status $status"; }
[ ! -s "$work/game.out" ] && [ ! -s "$work/game.err" ] ||
    { cat "$work/game.out" "$work/game.err"; fail "the game printed"; }

# The prefix's server keeps the display it started with: the next run starts a new one.
wineserver --wait
echo "== the window on an Xvfb screen"
start_xvfb || fail "Xvfb did not start"
(cd "$game" && DISPLAY=$display exec wine voidrocks.exe) >"$work/window.out" 2>"$work/window.err" &
running=$!
verdict=0
await_good_frame "$running" "$WINDOW_ATTEMPTS" "$work/shot" || verdict=1
cat "$work/shot.txt" 2>/dev/null || true
pnmtopng "$work/shot.ppm" >"$(dirname "$zip")/windows-first-frame.png" 2>/dev/null || true
[ "$verdict" -eq 0 ] || { cat "$work/window.err"; fail "no good frame (try $attempt)"; }
close_and_wait "$running" || fail "no window titled Voidrocks, or it did not end on a close request"
echo "closed: exit status $status; printed $(wc -c <"$work/window.out") + $(wc -c <"$work/window.err") bytes"
[ "$status" -eq 0 ] || { cat "$work/window.err"; fail "exit status $status"; }
[ ! -s "$work/window.out" ] && [ ! -s "$work/window.err" ] ||
    { cat "$work/window.out" "$work/window.err"; fail "the game printed"; }
echo "== the Windows zip: passed"
