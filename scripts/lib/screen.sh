# shellcheck shell=bash
# Sourced by the checks that play the game on a screen of their own: what they install, the
# Xvfb screen, the first good frame and the close request, written once.

# Installs the Debian packages among "$@" that are missing.
install_missing() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    ((${#missing[@]})) || return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
}

# Starts a 1920 x 1080 Xvfb screen on the first free display number from :90. Sets `display`
# and `xvfb` (its process, for the caller's clean-up); fails when the screen does not come up.
start_xvfb() {
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    display=":$n"
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X$n" ] && return 0; sleep 0.1; done
    return 1
}

# Screenshots `display` every half second, at most ATTEMPTS times while the game GAME_PID runs,
# until scripts/check-screenshot.py finds the score and the ship. Keeps the last shot as
# SHOT.ppm and the check's words in SHOT.txt; sets `attempt`.
await_good_frame() {
    local game=$1 attempts=$2 shot=$3
    for attempt in $(seq "$attempts"); do
        kill -0 "$game" 2>/dev/null || return 1
        if xwd -display "$display" -root -silent 2>/dev/null | xwdtopnm >"$shot.ppm" 2>/dev/null &&
            python3 scripts/check-screenshot.py "$shot.ppm" >"$shot.txt"; then
            return 0
        fi
        sleep 0.5
    done
    return 1
}

# Asks the window "Voidrocks" to close as its close button would and waits up to 10 s for the
# game GAME_PID to end. Sets `status` to its exit status; fails when there is no such window
# or the game keeps running (it is then killed).
close_and_wait() {
    local game=$1
    python3 scripts/close-window.py "$display" Voidrocks || return 1
    for _ in $(seq 100); do kill -0 "$game" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$game" 2>/dev/null; then
        kill -9 "$game"
        return 1
    fi
    status=0
    wait "$game" || status=$?
}
