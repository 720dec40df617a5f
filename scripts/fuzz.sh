#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (engine, report, headless planner and the links' answer
# parsers, no Qt) and runs each for the given number of seconds (default 60), as many at a time as
# there are cores, starting from the seeds in fuzz/corpus/.
# A crash, a hang or a sanitizer report stops with a non-zero status and names the input file,
# which reproduces it with: <build>/bin/<target> <file>
#   scripts/fuzz.sh [seconds]        the fuzz preset, built in build/fuzz
set -euo pipefail

seconds="${1:-60}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: $0 [seconds]" >&2; exit 2; }
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
cd "$root"

"$root/scripts/install-deps.sh" checks
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
targets=(fuzz_calculate fuzz_plan_options fuzz_flightplan fuzz_xplane_answers fuzz_simbrief_answer
  fuzz_navlog)
# One target a core: libFuzzer runs on one core, so the targets take turns by as many at a time.
fuzz() {
  local target="$1"
  # The corpus grows in the build directory; the checked-in seeds stay as they are.
  local corpus="$build/corpus/$target" artifacts="$build/artifacts/$target"
  mkdir -p "$corpus" "$artifacts"
  local status=0
  "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=4096 -print_final_stats=1 -artifact_prefix="$artifacts/" \
    "$corpus" "$root/fuzz/corpus/$target" >"$build/$target.log" 2>&1 || status=$?
  echo "$status" >"$build/$target.status"
}
running=0
for target in "${targets[@]}"; do
  echo "== $target: ${seconds}s"
  fuzz "$target" &
  if ((++running >= $(nproc))); then
    wait -n || true
    ((running--))
  fi
done
wait
status=0
for target in "${targets[@]}"; do
  if [[ "$(cat "$build/$target.status")" != 0 ]]; then
    status=1
    echo "$target FAILED; last lines of $build/$target.log:"
    tail -n 40 "$build/$target.log"
    ls -1 "$build/artifacts/$target"
  else
    echo "== $target"
    grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb)|DONE' "$build/$target.log" || true
  fi
done
exit "$status"
