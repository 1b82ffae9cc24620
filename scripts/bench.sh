#!/usr/bin/env bash
# Builds the benchmarks optimised and runs them all.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZORVA_BENCH=ON >/dev/null
cmake --build build-bench
for b in build-bench/bench/bench_*; do "$b" "$@"; done
