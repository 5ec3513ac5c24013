#!/usr/bin/env bash
# Runs every test of the build in $1, under a private X server when none is set.
set -euo pipefail
build=${1:-build}
cmd=(ctest --test-dir "$build" --output-on-failure -j "$(nproc)")
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "${cmd[@]}"
fi
exec "${cmd[@]}"
