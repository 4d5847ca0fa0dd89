#!/usr/bin/env bash
# Makes the README's pictures of play: builds the replay tool, plays every script in
# tools/replay/examples/ headlessly and copies the frames they save into docs/.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh
build=$(scripts/configure.sh dev)
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
