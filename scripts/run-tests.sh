#!/usr/bin/env bash
# Runs every test of the build in $1, under a private X server when none is set.
set -euo pipefail
build=${1:-build}
# Some tests ask for absurd allocations on purpose and expect a refusal; the
# sanitizers' allocators must return null for them instead of aborting.
export ASAN_OPTIONS="${ASAN_OPTIONS:-allocator_may_return_null=1}"
export TSAN_OPTIONS="${TSAN_OPTIONS:-allocator_may_return_null=1 suppressions=$(cd "$(dirname "$0")/.." && pwd)/tests/tsan.supp}"
cmd=(ctest --test-dir "$build" --output-on-failure -j "$(nproc)")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "${cmd[@]}"
fi
exec "${cmd[@]}"
