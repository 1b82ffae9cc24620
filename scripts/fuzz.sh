#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang into build-fuzz/ and runs each for SECONDS (default
# 600), one after another, starting from its seed corpus in tests/fuzz/corpus/<harness>/.
#   scripts/fuzz.sh [SECONDS] [HARNESS...]     harnesses: see tests/fuzz/fuzz_*.cpp
# New inputs collect in build-fuzz/corpus/<harness>/; a crash, a stall or a broken promise is
# written to build-fuzz/findings/<harness>/ and stops that harness. Copy a finding into the seed
# corpus once it is fixed, so that the ordinary tests replay it.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
if [ $# -gt 0 ]; then
  harnesses=("$@")
else
  harnesses=()
  for f in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$f" .cpp)
    [ "$name" = fuzz_support ] || harnesses+=("${name#fuzz_}")
  done
fi
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DZORVA_FUZZ=ON -DZORVA_BENCH=OFF >/dev/null
for h in "${harnesses[@]}"; do cmake --build "$build" --target "fuzz_$h" -- -j4; done
status=0
for h in "${harnesses[@]}"; do
  mkdir -p "$build/corpus/$h" "$build/findings/$h"
  echo "== $h: $seconds s"
  "$build/tests/fuzz_$h" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=3072 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$h/" "$build/corpus/$h" "tests/fuzz/corpus/$h" \
    2>"$build/findings/$h.log" || { status=1; echo "   finding: see $build/findings/$h.log"; }
  tail -n 12 "$build/findings/$h.log" | grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' || true
done
exit $status
