#!/usr/bin/env bash
# Keeps the tests at their share of all code: prints the non-blank lines of test code and of
# program code and the tests' share of both, tests / (tests + program), and fails above the
# limit. Only code counts, in every language: C++ (.cpp .cc .h .hpp), shell (.sh), Python (.py)
# and JavaScript (.js, the tablet's page), and any other file that starts with "#!" (a test's
# CUPS backend, say); data (expected reports, fuzz seeds), markup, style sheets and CMake files
# do not.
#   Test code:    every such file under a tests/ folder or fuzz/, or named *_test.*; the test
#                 support and the fuzz targets included.
#   Program code: every other such file, but for bench/ (the benchmarks, neither) and the
#                 build, CI and packaging machinery (scripts/, .ci/, debian/, packaging/), which
#                 the tests do not test.
#   scripts/test-share.sh [limit]      default 0.35; the aim is about a quarter to a third
set -euo pipefail

limit="${1:-0.35}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

is_code() {
  case "$1" in
    *.cpp | *.cc | *.h | *.hpp | *.sh | *.py | *.js) return 0 ;;
  esac
  [[ "$(head -c 2 "$1")" == "#!" ]]
}

tests=0
code=0
while IFS= read -r -d '' file; do
  is_code "$file" || continue
  lines=$(grep -c -v -E '^[[:space:]]*$' "$file" || true)
  case "$file" in
    ./bench/* | ./scripts/* | ./.ci/* | ./debian/* | ./packaging/*) ;;
    */tests/* | ./fuzz/* | *_test.*) tests=$((tests + lines)) ;;
    *) code=$((code + lines)) ;;
  esac
done < <(find . \( -path ./.git -o -path './build*' -o -path './obj-*' -o -path ./fuzz/corpus \) \
  -prune -o -type f -print0)

awk -v t="$tests" -v c="$code" -v limit="$limit" 'BEGIN {
  share = t + c > 0 ? t / (t + c) : 0
  printf "test code: %d lines, program: %d lines, tests / (tests + program) = %.3f (limit %.2f)\n", t, c, share, limit
  exit share > limit ? 1 : 0
}'
