#!/usr/bin/env bash
# Installs whatever the build needs and is missing: compiler, CMake, Ninja, Boost headers,
# GoogleTest, Google Benchmark, clang-format and Python (for CI's checks), the font, Xvfb with
# Mesa for the X11 test and measurement, file and dpkg-dev for the Debian package, and SDL3
# with SDL3_image and SDL3_ttf.
# Run again, it only checks and returns in well under a second.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ make cmake ninja-build pkgconf libboost-dev libgtest-dev libbenchmark-dev
          clang-format python3 fonts-monoid xvfb xauth libgl1-mesa-dri file dpkg-dev
          libpng-dev zlib1g-dev)

# Extra tools for one developer command each: `make fuzz` (clang with libFuzzer, whose runtime
# comes in a package named after clang's major version), `make memcheck` (valgrind) and
# `make check-web` (Chromium).
case "${1:-}" in
    --fuzz)
        packages=(clang)
        if command -v clang >/dev/null; then
            major=$(clang -dumpversion | cut -d. -f1)
            packages+=("libclang-rt-$major-dev")
        fi
        ;;
    --memcheck) packages=(valgrind) ;;
    # `make check-web`: the browser that plays the page headless.
    --chromium) packages=(chromium) ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    # Through env, so that sudo keeps it.
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

if [ -n "${1:-}" ]; then
    # clang's runtime package is known only once clang is there.
    [ "$1" != --fuzz ] || [ "${#packages[@]}" -gt 1 ] || exec "$0" "$@"
    exit 0
fi

# Prints the prefix CMake is given; the Makefile asks for it again with --print-prefix.
scripts/install-sdl3.sh >/dev/null

# The game reads its font as Assets/Retro.ttf: Monoid, a monospaced font with bitmap-like
# sharpness (MIT or SIL Open Font License 1.1), from the distribution's fonts-monoid.
font=/usr/share/fonts/truetype/monoid/Monoid-Regular.ttf
if ! cmp -s "$font" Assets/Retro.ttf; then
    cp "$font" Assets/Retro.ttf
fi
