#!/usr/bin/env bash
# Static checks: clang-tidy (.clang-tidy at the root, stricter parts in the test folders) on every
# C++ source file of the project, and the clang-format check of every source and header. Fails on
# any finding. Uses its own build tree, the lint preset in build/lint, for the compile commands and
# for the files moc generates, which the window's sources include.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build=build/lint
jobs="${LINT_JOBS:-$(nproc)}"
dirs=(base engine flightplan report ui app cli links fuzz bench tests tools)

"$root/scripts/install-deps.sh" tests checks

echo "== clang-format"
find "${dirs[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

echo "== configure $build"
# Tests, benchmarks and the print spooler test are built in, so every file has compile commands.
cmake --preset lint >/dev/null

echo "== generated sources (moc)"
mapfile -t autogen < <(ninja -C "$build" -t targets all |
  sed -n 's|^\([^:]*/\)\{0,1\}\([A-Za-z0-9_-]*_autogen\): phony$|\2|p' | sort -u)
if ((${#autogen[@]})); then
  cmake --build --preset lint -j "$jobs" --target "${autogen[@]}" >/dev/null
fi

echo "== clang-tidy"
# Every .cpp file, one clang-tidy per core; a file only the build without Qt compiles borrows the
# compile commands of its neighbours. clang-tidy fails on any finding (WarningsAsErrors).
if find "${dirs[@]}" -name '*.cpp' -print0 | sort -z |
  xargs -0 -P "$jobs" -n 1 clang-tidy -p "$build" --quiet 2> >(
    grep -v -e '^[0-9]* warnings\{0,1\}\( and [0-9]* errors\{0,1\}\)\{0,1\} generated' \
      -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' -e '^Use -system-headers' >&2); then
  echo "lint: clean"
else
  echo "lint: clang-tidy findings above" >&2
  exit 1
fi
