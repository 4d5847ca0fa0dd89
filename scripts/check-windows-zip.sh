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

tools=(unzip xvfb x11-apps netpbm python3 libx11-6)
missing=()
for p in "${tools[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

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
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -S "/tmp/.X11-unix/X$n" ] || fail "Xvfb did not start"
(cd "$game" && DISPLAY=":$n" exec wine voidrocks.exe) >"$work/window.out" 2>"$work/window.err" &
running=$!
verdict=1
for attempt in $(seq "$WINDOW_ATTEMPTS"); do
    kill -0 "$running" 2>/dev/null || break
    if xwd -display ":$n" -root -silent 2>/dev/null | xwdtopnm >"$work/shot.ppm" 2>/dev/null &&
        python3 scripts/check-screenshot.py "$work/shot.ppm" >"$work/check.txt"; then
        verdict=0
        break
    fi
    sleep 0.5
done
echo "$(cat "$work/check.txt" 2>/dev/null)"
pnmtopng "$work/shot.ppm" >"$(dirname "$zip")/windows-first-frame.png" 2>/dev/null || true
[ "$verdict" -eq 0 ] || { cat "$work/window.err"; fail "no good frame (try $attempt)"; }
python3 scripts/close-window.py ":$n" Voidrocks || fail "no window titled Voidrocks"
for _ in $(seq 100); do kill -0 "$running" 2>/dev/null || break; sleep 0.1; done
kill -0 "$running" 2>/dev/null && { kill -9 "$running"; fail "the game did not end on a close request"; }
status=0
wait "$running" || status=$?
echo "closed: exit status $status; printed $(wc -c <"$work/window.out") + $(wc -c <"$work/window.err") bytes"
[ "$status" -eq 0 ] || { cat "$work/window.err"; fail "exit status $status"; }
[ ! -s "$work/window.out" ] && [ ! -s "$work/window.err" ] ||
    { cat "$work/window.out" "$work/window.err"; fail "the game printed"; }
echo "== the Windows zip: passed"
