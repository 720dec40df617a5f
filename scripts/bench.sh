#!/usr/bin/env bash
# Installs what is missing, builds the optimised program with its benchmarks and runs them: the
# Calculate command and the report lines in memory, a SimBrief flight plan of 1 MiB read and
# planned, brimwell-plan as a whole process against a program that only prints the same lines (and
# as it would start with the X-Plane link linked in), the whole exchange of the X-Plane link on
# loopback, the window's start-up and peak memory against a bare Qt window with one button, and
# Calculate in the window from the click to the painted cells.
# Each program closes with its figures against their goals.
#   scripts/bench.sh [--quick]     --quick: shorter runs, for a check that they work
# The windows run on Qt's offscreen platform unless QT_QPA_PLATFORM names another.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
min_time=0.5
repetitions=5
if [[ "${1:-}" == "--quick" ]]; then
  min_time=0.05
  repetitions=2
elif [[ $# -gt 0 ]]; then
  echo "usage: $0 [--quick]" >&2
  exit 2
fi

"$root/scripts/install-deps.sh" checks
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
bench="$root/build/bench/bin"
# The two programs of a comparison take turns, so that a busy moment of the machine falls on
# both alike.
compare=(--benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true
  --benchmark_report_aggregates_only=true --benchmark_min_time="$min_time")

echo "== Calculate and the report lines in memory"
"$bench/bench_engine" --benchmark_min_time="$min_time"
echo
echo "== a flight plan of 1 MiB read and planned"
"$bench/bench_flight_plan" --benchmark_min_time="$min_time"
echo
echo "== brimwell-plan as a whole process"
"$bench/bench_process" "${compare[@]}"
echo
echo "== the X-Plane link on loopback, against the tests' stand-in"
"$bench/bench_xplane" --benchmark_repetitions="$repetitions" \
  --benchmark_report_aggregates_only=true --benchmark_min_time="$min_time"
echo
echo "== the window's start-up"
"$bench/bench_window_start" "${compare[@]}"
echo
echo "== Calculate in the window"
"$bench/bench_calculate_click" --benchmark_min_time="$min_time"
