#!/usr/bin/env bash
# Installs what is missing, builds the optimised program with its benchmarks and runs them: the
# Calculate command and the report lines in memory (engine), a SimBrief flight plan of 1 MiB read
# and planned (flight-plan), brimwell-plan as a whole process against a program that only prints
# the same lines, and as it would start with the X-Plane link linked in (process), the whole
# exchange of the X-Plane link on loopback (xplane), the window's start-up to its first frame and
# its peak memory against a bare Qt window of the same size with one button, as an X server of the
# benchmark's own (Xvfb) sees them, then the instructions to that frame under callgrind
# (window-start), Calculate in the window from the click to
# the painted cells (calculate-click), and Aircraft > Fuel Check from the item chosen to the check
# window painted (fuel-check-window). Each program closes with its figures against their goals.
#   scripts/bench.sh [--quick] [BENCHMARK]...   --quick: shorter runs, for a check that they work
# The windows of calculate-click and fuel-check-window run on Qt's offscreen platform unless
# QT_QPA_PLATFORM names another; the start-up is always measured on xcb.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
min_time=0.5
repetitions=5
runs=()
if [[ "${1:-}" == "--quick" ]]; then
  min_time=0.05
  repetitions=2
  runs=(--runs=3)
  shift
fi
all=(engine flight-plan process xplane window-start calculate-click fuel-check-window)
chosen=("$@")
((${#chosen[@]})) || chosen=("${all[@]}")
for name in "${chosen[@]}"; do
  if [[ " ${all[*]} " != *" $name "* ]]; then
    echo "usage: $0 [--quick] [${all[*]}]..." >&2
    exit 2
  fi
done

# The goals of the comparisons of whole processes: "first contender: row", as the comparison prints
# it, and the most that the ratio of the two medians may be.
goals='brimwell-plan: whole process, ms|1.5
linked with libcurl: whole process, ms|1.5
brimwell: first frame, ms|1.15
brimwell: peak memory, MiB|1.15'

# Runs a benchmark program, then tells each figure of its output that has a goal against it;
# fails when the program fails.
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
run() {
  "$@" | tee "$output"
  goals="$goals" awk -F '  +' '
    BEGIN { n = split(ENVIRON["goals"], rows, "\n"); for (i = 1; i <= n; i++) { split(rows[i], g, "|"); most[g[1]] = g[2] } }
    / against .*, taking turns;/ { contender = substr($0, 1, index($0, " against ") - 1) }
    $4 ~ /\(/ && (contender ": " $1) in most {
      name = contender ": " $1; figure = $4 + 0
      told = told sprintf("%-48s %9.3f    (goal <= %s: %s)\n", name, figure, most[name],
                          figure <= most[name] ? "met" : "MISSED")
    }
    END { printf "%s", told == "" ? "" : "\n" told }' "$output"
}

"$root/scripts/install-deps.sh" checks
cmake --preset bench >/dev/null
cmake --build --preset bench -j "$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
bench="$root/build/bench/bin"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")

for name in "${chosen[@]}"; do
  case "$name" in
    engine)
      echo "== Calculate and the report lines in memory"
      "$bench/bench_engine" --benchmark_min_time="$min_time"
      ;;
    flight-plan)
      echo "== a flight plan of 1 MiB read and planned"
      "$bench/bench_flight_plan" --benchmark_min_time="$min_time"
      ;;
    process)
      echo "== brimwell-plan as a whole process"
      run "$bench/bench_process" "${runs[@]}"
      ;;
    xplane)
      echo "== the X-Plane link on loopback, against the tests' stand-in"
      "$bench/bench_xplane" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_min_time="$min_time"
      ;;
    window-start)
      echo "== the window's start-up, seen from an X server of its own"
      run "${xvfb[@]}" "$bench/bench_window_start" "${runs[@]}"
      echo
      run "${xvfb[@]}" "$bench/bench_window_start" --callgrind
      ;;
    calculate-click)
      echo "== Calculate in the window"
      "$bench/bench_calculate_click" --benchmark_min_time="$min_time"
      ;;
    fuel-check-window)
      echo "== the fuel check window opening"
      "$bench/bench_fuel_check_window" --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_min_time="$min_time"
      ;;
  esac
  echo
done
