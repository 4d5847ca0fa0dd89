#!/usr/bin/env bash
# Fails on any include that points up the layers: ecs <- platform <- game <- render <- app, with
# the stepped driver, the tests, the tools and the benchmarks above them all.
set -euo pipefail
cd "$(dirname "$0")/.."
rank() {
    case $1 in
        ecs) echo 0 ;; platform) echo 1 ;; game) echo 2 ;; render) echo 3 ;; app) echo 4 ;;
        *) echo 5 ;;
    esac
}
bad=0
while IFS=: read -r file _ line; do
    target=$(sed -n 's/^#include "\([a-z]*\)\/.*"/\1/p' <<<"$line")
    [ -n "$target" ] || continue
    if [ "$(rank "${file%%/*}")" -lt "$(rank "$target")" ]; then
        echo "upward include: $file: $line"
        bad=1
    fi
done < <(git ls-files '*.h' '*.cpp' | xargs grep -n '^#include "')
[ "$bad" -eq 0 ] && echo "includes point one way: ecs <- platform <- game <- render <- app"
exit "$bad"
