#!/usr/bin/env bash
# Plays the real game in an X11 window (Xvfb, no GPU) and measures frames per second and the
# process's CPU time per frame over 12 s: at the start of a game with the renderer the game
# picks, with each renderer forced for comparison, and with 100 and 1,000 voidrocks on the
# canvas (tools/crowd). A preloaded meter (tools/framemeter) counts the presents.
# SECONDS_PER_RUN is the window (default 12).
set -euo pipefail
cd "$(dirname "$0")/.."

span="${SECONDS_PER_RUN:-12}"
scripts/setup.sh
build=$(scripts/configure.sh dev)
cmake --build "$build" --target voidrocks voidrocks_crowd voidrocks_framemeter >/dev/null

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

results="$(mktemp)"
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$results"' EXIT

# run LABEL [VAR=value ...] -- COMMAND...
run() {
    local label=$1; shift
    local vars=()
    while [ "$1" != "--" ]; do vars+=("$1"); shift; done
    shift
    env -u SDL_RENDER_DRIVER -u SDL_FRAMEBUFFER_ACCELERATION "${vars[@]}" \
        DISPLAY="$display" SDL_VIDEO_DRIVER=x11 VOIDROCKS_METER_LABEL="$label" \
        VOIDROCKS_METER_S="$span" LD_PRELOAD="$PWD/$build/tools/framemeter/libvoidrocks_framemeter.so" \
        timeout $((span + 30)) "$@" 2>/dev/null | grep "^$label " | tee -a "$results" ||
        echo "$label: no measurement" | tee -a "$results"
}

game="$build/voidrocks"
crowd="$build/tools/crowd/voidrocks_crowd"
run start-chosen -- "$game"
run start-opengl SDL_RENDER_DRIVER=opengl -- "$game"
run start-software SDL_RENDER_DRIVER=software -- "$game"
run start-software-unaccelerated SDL_RENDER_DRIVER=software SDL_FRAMEBUFFER_ACCELERATION=0 -- "$game"
run crowd-100 -- "$crowd" 100
run crowd-1000 -- "$crowd" 1000

# Targets for the game's own choice of renderer: at least 59 frames a second, and at most so
# many milliseconds of CPU per frame.
check() {
    local label=$1 min_fps=$2 max_ms=$3 line fps ms
    line=$(grep "^$label " "$results" || true)
    fps=$(sed -n 's/.*fps=\([0-9.]*\).*/\1/p' <<<"$line")
    ms=$(sed -n 's/.*cpu_ms_per_frame=\([0-9.]*\).*/\1/p' <<<"$line")
    if [ -n "$fps" ] && awk -v f="$fps" -v m="$ms" -v a="$min_fps" -v b="$max_ms" \
        'BEGIN { exit !(f >= a && m <= b) }'; then
        echo "target met:    $label (>= $min_fps fps, <= $max_ms ms)"
    else
        echo "target missed: $label (>= $min_fps fps, <= $max_ms ms)"
    fi
}
echo "== targets (the machine may be shared: CPU figures rise with contention)"
check start-chosen 59 1.2
check crowd-100 59 6
check crowd-1000 59 8
