#!/usr/bin/env bash
# Runs every benchmark binary of the build in $1.
set -euo pipefail
build=${1:-build}
found=0
for b in $(find "$build/bench" -type f -executable -name 'bench_*' | sort); do
  found=1
  echo "== $b"
  "$b" --benchmark_min_time=0.2
done
[ $found = 1 ] || echo "no benchmarks built"
