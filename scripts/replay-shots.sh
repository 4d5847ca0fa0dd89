#!/usr/bin/env bash
# Makes the README's pictures of play: builds the replay tool, plays every script in
# tools/replay/examples/ headlessly and copies the frames they save into docs/.
# BUILD names the build folder (default: build, the one make uses).
set -euo pipefail
cd "$(dirname "$0")/.."

build="${BUILD:-build}"
scripts/setup.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_PREFIX_PATH="$(scripts/install-sdl3.sh --print-prefix)" \
        -DCMAKE_COMPILE_WARNING_AS_ERROR:BOOL=ON
fi
cmake --build "$build" --target voidrocks_replay

shots="$(mktemp -d)"
trap 'rm -rf "$shots"' EXIT
for script in tools/replay/examples/*.txt; do
    echo "== $script"
    "$build/tools/replay/voidrocks_replay" "$script" "$shots"
done
mkdir -p docs
cp "$shots"/*.png docs/
ls -1 docs/*.png
