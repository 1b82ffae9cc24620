#!/usr/bin/env bash
# Installs what is missing, checks the C++ format, builds with AddressSanitizer and UBSan into
# build-test/ with warnings as errors (the benchmarks are compiled too, not run), runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/check-format.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZORVA_SANITIZE=ON -DZORVA_WERROR=ON \
  -DZORVA_BENCH=ON >/dev/null
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j "$(nproc)" --timeout 600
