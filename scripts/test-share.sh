#!/usr/bin/env bash
# Keeps the tests at their share of the code: counts the non-blank lines of C++ test code (every
# file under a tests/ folder, fuzz/ and any *_test.cpp, the test support included) against the
# rest of the C++ outside bench/, prints both and their ratio, and fails above the limit.
#   scripts/test-share.sh [limit]      default 0.40; the aim is about 0.33
set -euo pipefail

limit="${1:-0.40}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

tests=0
code=0
while IFS= read -r -d '' file; do
  lines=$(grep -c -v -E '^[[:space:]]*$' "$file" || true)
  case "$file" in
    ./bench/*) ;;
    */tests/* | ./fuzz/* | *_test.cpp) tests=$((tests + lines)) ;;
    *) code=$((code + lines)) ;;
  esac
done < <(find . \( -path ./.git -o -path './build*' -o -path './obj-*' -o -path ./debian \) -prune -o \
  -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.hpp' -o -name '*.cc' \) -print0)

awk -v t="$tests" -v c="$code" -v limit="$limit" 'BEGIN {
  ratio = c > 0 ? t / c : 0
  printf "test code: %d lines, program: %d lines, ratio %.3f (limit %.2f)\n", t, c, ratio, limit
  exit ratio > limit ? 1 : 0
}'
