#!/usr/bin/env bash
# Measures the real game's start-up in an X11 window (Xvfb, no GPU), with the renderer the game
# picks: the wall-clock time from its exec to its first presented frame, and its peak resident
# memory by then, over RUNS runs (default 5), with their medians. A preloaded meter
# (tools/framemeter) reads the time at the first present and ends the game there.
#   scripts/measure-startup.sh [GAME]   (default: the dev build's game; run from this folder,
#                                       which holds the Assets)
set -euo pipefail
cd "$(dirname "$0")/.."

runs="${RUNS:-5}"
scripts/setup.sh
build=$(scripts/configure.sh dev)
cmake --build "$build" --target voidrocks voidrocks_framemeter >/dev/null
game=$(realpath "${1:-$build/voidrocks}")
meter="$PWD/$build/tools/framemeter/libvoidrocks_framemeter.so"

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
results="$(mktemp)"
trap 'kill "$xvfb" 2>/dev/null || true; rm -f "$results"' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

# The time is taken by the shell that then becomes the game, so that nothing but the game's own
# start-up lies between the two readings.
for i in $(seq "$runs"); do
    (env -u SDL_RENDER_DRIVER -u SDL_FRAMEBUFFER_ACCELERATION DISPLAY="$display" \
            SDL_VIDEO_DRIVER=x11 VOIDROCKS_METER_LABEL="startup-$i" METER="$meter" \
            timeout 30 bash -c 'export LD_PRELOAD="$METER"
                export VOIDROCKS_METER_EXEC_NS="${EPOCHREALTIME//[.,]/}000"
                exec "$0"' "$game" 2>/dev/null) | tee -a "$results" ||
        echo "startup-$i: no measurement" | tee -a "$results"
done

median() {
    sed -n "s/.*$1=\([0-9.]*\).*/\1/p" "$results" | sort -g | awk '{ v[NR] = $1 }
        END { if (NR) print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'
}
ms=$(median exec_to_first_present_ms)
cpu=$(median cpu_ms)
mib=$(median peak_rss_mib)
echo "startup median of $runs: exec_to_first_present_ms=${ms:-none} cpu_ms=${cpu:-none}" \
    "peak_rss_mib=${mib:-none}"
if [ -n "$ms" ] && awk -v m="$ms" -v r="$mib" 'BEGIN { exit !(m <= 100 && r <= 64) }'; then
    echo "target met:    start-up (<= 100 ms to the first frame, <= 64 MiB)"
else
    echo "target missed: start-up (<= 100 ms to the first frame, <= 64 MiB)"
fi
