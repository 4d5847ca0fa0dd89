#!/usr/bin/env bash
# Runs the real executable headlessly under valgrind's memcheck for MEMCHECK_SECONDS (default
# 150; a few hundred frames under valgrind), then asks it to close as the window's close button
# would (SDL turns SIGTERM into a quit request). Fails on any memory error, or on a definite
# leak that no suppression in scripts/memcheck.supp explains.
#   scripts/memcheck.sh build/voidrocks
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/voidrocks}
seconds=${MEMCHECK_SECONDS:-150}
log=$(mktemp /tmp/voidrocks-memcheck-XXXXXX.log)

status=0
SDL_VIDEO_DRIVER=dummy SDL_AUDIO_DRIVER=dummy timeout --preserve-status -s TERM -k 60 "$seconds" \
    valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite \
    --errors-for-leak-kinds=definite --error-exitcode=3 --num-callers=30 \
    --suppressions=scripts/memcheck.supp --log-file="$log" "$exe" >/dev/null || status=$?

grep -E 'ERROR SUMMARY|definitely lost' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "memcheck: exit status $status; the whole report is in $log" >&2
    exit 1
fi
echo "memcheck: no error and no definite leak ($log)"
