#!/usr/bin/env bash
# Static checks: clang-tidy (.clang-tidy at the root, stricter parts in the test folders) on every
# C++ source file of the project, and the clang-format check of every source and header. Fails on
# any finding. Uses its own build tree, the lint preset in build/lint, for the compile commands and
# for the files moc generates, which the window's sources include.
#
# clang-tidy takes half a minute a file where Qt's headers come in, so a file that the record
# .ci/lint-clean.txt holds as clean, with the same text, headers, flags, checks and tools
# (scripts/lint_cache.py), is passed over. --all checks every file whatever the record says;
# --record writes the record after a clean run (commit it with the change).
#
#   scripts/lint.sh [--all] [--record]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build=build/lint
jobs="${LINT_JOBS:-$(nproc)}"
dirs=()
for dir in base engine flightplan flight flightlog tablet report ui app cli links fuzz bench tests tools; do
  [[ -d $dir ]] && dirs+=("$dir")
done
record=.ci/lint-clean.txt
all=false
write_record=false
for option in "$@"; do
  case "$option" in
    --all) all=true ;;
    --record) write_record=true ;;
    *)
      echo "usage: $0 [--all] [--record]" >&2
      exit 2
      ;;
  esac
done

"$root/scripts/install-deps.sh" tests checks

echo "== clang-format"
find "${dirs[@]}" \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 clang-format --dry-run --Werror

echo "== configure $build"
# Tests, benchmarks and the print spooler test are built in, so every file has compile commands.
cmake --preset lint >/dev/null

echo "== clang-tidy"
mapfile -d '' -t every < <(find "${dirs[@]}" -name '*.cpp' -print0 | sort -z)
# The keys as the files stand now, before any is checked: the record is written from them.
keys="$build/lint-keys.txt"
python3 scripts/lint_cache.py "$build" "${every[@]}" >"$keys"
if $all || [[ ! -f $record ]]; then
  files=("${every[@]}")
else
  mapfile -t files < <(grep -vxF -f <(grep -v '^#' "$record") "$keys" | cut -d' ' -f2-)
fi
echo "${#files[@]} of ${#every[@]} files to check; the others are in $record as they stand"
if ((${#files[@]})); then
  echo "== generated sources (moc)"
  mapfile -t autogen < <(ninja -C "$build" -t targets all |
    sed -n 's|^\([^:]*/\)\{0,1\}\([A-Za-z0-9_-]*_autogen\): phony$|\2|p' | sort -u)
  if ((${#autogen[@]})); then
    cmake --build --preset lint -j "$jobs" --target "${autogen[@]}" >/dev/null
  fi
fi
# One clang-tidy per core; a file only the build without Qt compiles borrows the compile commands
# of its neighbours. clang-tidy fails on any finding (WarningsAsErrors); each file it passes is
# noted, so that a record written after a failed run still holds the files found clean.
clean="$build/lint-clean-files.txt"
: >"$clean"
status=0
if ((${#files[@]})); then
  printf '%s\0' "${files[@]}" |
    xargs -0 -P "$jobs" -I{} sh -c 'clang-tidy -p "$1" --quiet "$2" && echo "$2" >>"$3"' \
      sh "$build" {} "$clean" 2> >(
      grep -v -e '^[0-9]* warnings\{0,1\}\( and [0-9]* errors\{0,1\}\)\{0,1\} generated' \
        -e '^Suppressed [0-9]* warnings' -e '^Use -header-filter=' -e '^Use -system-headers' >&2) ||
    status=$?
fi
if $write_record; then
  # The record keeps what it held of files as they stand, and gains the files found clean now.
  { echo "# The C++ files clang-tidy found clean, by key (scripts/lint_cache.py): lint.sh --record."
    awk 'FILENAME == ARGV[1] { if (!/^#/) held[$0] = 1; next }
         FILENAME == ARGV[2] { clean[$0] = 1; next }
         ($0 in held) || ($2 in clean)' "$( [[ -f $record ]] && echo "$record" || echo /dev/null)" \
      "$clean" "$keys" | sort -k2; } >"$record.new"
  mv "$record.new" "$record"
  echo "lint: $record written"
fi
if ((status == 0)); then
  echo "lint: clean"
else
  echo "lint: clang-tidy findings above" >&2
  exit 1
fi
