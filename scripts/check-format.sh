#!/usr/bin/env bash
# Checks that every tracked C++ file is as clang-format (.clang-format) writes it.
#   scripts/check-format.sh          lists the files that differ; exit 1 when any does
#   scripts/check-format.sh --fix    rewrites those files in place
# Debian 12's clang-format (14) is the reference: another version may format differently.
# The generated tables engine/*.inc are data and not checked.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=0
case "${1:-}" in
  "") ;;
  --fix) fix=1 ;;
  *) echo "usage: $0 [--fix]" >&2; exit 2 ;;
esac
clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
  echo "$clang_format is not installed (Debian: apt-get install clang-format)" >&2
  exit 2
fi
files=()
while IFS= read -r -d '' f; do files+=("$f"); done < <(git ls-files -z -- '*.cpp' '*.h')
[ ${#files[@]} -gt 0 ] || exit 0
# One run over every file: --dry-run names each place where the output would differ.
status=0
report=$("$clang_format" --style=file --dry-run --Werror "${files[@]}" 2>&1) || status=$?
mapfile -t differ < <(printf '%s\n' "$report" |
  sed -n -E 's/^(.+):[0-9]+:[0-9]+: error: code should be clang-formatted.*$/\1/p' | sort -u)
if [ $status -ne 0 ] && [ ${#differ[@]} -eq 0 ]; then
  printf '%s\n' "$report" | head -n 8 >&2 || true  # clang-format itself failed (a bad .clang-format, say)
  exit 2
fi
[ ${#differ[@]} -eq 0 ] && exit 0
if [ $fix -eq 1 ]; then
  "$clang_format" --style=file -i "${differ[@]}"
  echo "reformatted ${#differ[@]} file(s)"
  exit 0
fi
printf '%s\n' "${differ[@]}"
echo "${#differ[@]} file(s) differ from .clang-format; scripts/check-format.sh --fix rewrites them" >&2
exit 1
