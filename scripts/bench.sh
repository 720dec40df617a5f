#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks and runs them; docs/performance.md tells what
# each one measures and how:
#   planner       brimwell-plan's own work in one process: Calculate and the report lines, a
#                 SimBrief flight plan of 1 MiB read and planned, the X-Plane link on loopback
#   process       brimwell-plan as a whole process against a program that only prints the same
#                 lines, and as it would start with the links' HTTP client linked in line
#   window-start  the window's start-up to its first frame and its peak memory against a bare Qt
#                 window of the same size, as an X server of its own (Xvfb) sees them; then the
#                 instructions to that frame, counted by callgrind
#   window        Calculate in the window, click to painted cells, and Aircraft > Fuel Check to
#                 its window painted: on Qt's offscreen platform, then on xcb under Xvfb
#   flight        the watch of a flight: one reading on a route of 200 fixes, and a 12-hour
#                 flight's 8640 readings, which fail the run if the watch holds over 5 MB for them
#   tablet        brimwell-plan --watch --serve: a reading to the page's DOM in headless Chromium
#                 with 8 devices connected, the page's first load, its time and size, and the
#                 planner's memory under hostile clients against the same watch without serving
#   flight-log    the flight log: a 12-hour flight kept, which fails the run if a reading's write
#                 passes 2 ms at the 99th percentile; 1000 of them, which fail it over 200 MB on
#                 disk; and brimwell-plan --flights over them
# After each, every figure that has a goal (the table below) against it.
#   scripts/bench.sh [--quick] [--preset PRESET] [BENCHMARK]...
# --quick: short runs, a check that every benchmark works; their figures are not worth comparing,
# and the start-up's count of instructions (the same program under callgrind) is left out.
# --preset: the build tree, bench (the optimised program, the default and the only one whose
# figures count) or another preset's, dev say, with the benchmarks built into it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
quick=false
preset=bench
while [[ "${1:-}" == --quick || "${1:-}" == --preset ]]; do
  if [[ "$1" == --quick ]]; then
    quick=true
    shift
  else
    preset="${2:?--preset needs a name}"
    shift 2
  fi
done
all=(planner process window-start window flight tablet flight-log)
chosen=("$@")
((${#chosen[@]})) || chosen=("${all[@]}")
for name in "${chosen[@]}"; do
  if [[ " ${all[*]} " != *" $name "* ]]; then
    echo "usage: $0 [--quick] [--preset PRESET] [${all[*]}]..." >&2
    exit 2
  fi
done

# The goals: a figure as its benchmark prints it, and the most it may be. Of Google Benchmark,
# the median time per iteration, in the benchmark's unit (a benchmark run once: its one time); of
# a comparison of whole processes, "first contender: row", the ratio of the two medians.
goals='BM_ReadAndPlan/xml_median|5
BM_ReadAndPlan/json_median|5
BM_LoadIntoXPlane/real_time_median|50
BM_ReadAndCheckFuel/real_time_median|20
brimwell-plan: whole process, ms|1.5
linked with libcurl: whole process, ms|1.5
brimwell: first frame, ms|1.15
brimwell: peak memory, MiB|1.15
BM_CalculateClickToPaint_median|2000
BM_FuelCheckFirstOpening/iterations:1/repeats:1|200
BM_FuelCheckOpens/real_time_median|200
BM_WatchReading_median|1
reading to the page, 8 devices, largest|100
first load of the page, median|200
first load of the page, size|200
peak memory, serving under load less watching alone|50
BM_PlannerListsThousandFlights/real_time_median|100'

# Runs a benchmark program, then tells each figure of its output that has a goal against it;
# fails when the program fails, or a benchmark of it.
output="$(mktemp)"
trap 'rm -f "$output"' EXIT
run() {
  "$@" | tee "$output"
  goals="$goals" awk -F '  +' '
    BEGIN { n = split(ENVIRON["goals"], rows, "\n"); for (i = 1; i <= n; i++) { split(rows[i], g, "|"); most[g[1]] = g[2] } }
    { gsub(/\033\[[0-9;]*m/, "") }
    /ERROR OCCURRED/ { failed = 1 }
    / against .*, taking turns;/ { contender = substr($0, 1, index($0, " against ") - 1) }
    {
      name = $1; figure = $2 + 0; unit = $2; sub(/^[0-9.]+ */, "", unit)
      if ($4 ~ /\(/) { name = contender ": " $1; figure = $4 + 0; unit = "" }
      if (name in most) {
        told = told sprintf("%-48s %9.3f %-2s (goal <= %s%s: %s)\n", name, figure, unit,
                            most[name], unit == "" ? "" : " " unit, figure <= most[name] ? "met" : "MISSED")
      }
    }
    END { printf "%s", told == "" ? "" : "\n" told; exit failed }' "$output"
}

"$root/scripts/install-deps.sh" checks
cmake --preset "$preset" -DBRIMWELL_BUILD_BENCH=ON >/dev/null
cmake --build --preset "$preset" -j "$(nproc)" \
  --target bench_planner bench_process bench_window_start bench_window bench_flight \
  brimwell-plan tablet_flight bench_flight_log
bin="$root/build/$preset/bin"
xvfb=(xvfb-run -a -s "-screen 0 1280x1024x24")
if $quick; then
  google=(--benchmark_min_time=0.05 --benchmark_repetitions=2)
  runs=(--runs=3)
else
  google=(--benchmark_min_time=0.5 --benchmark_repetitions=5)
  runs=()
fi
google+=(--benchmark_report_aggregates_only=true)

for name in "${chosen[@]}"; do
  case "$name" in
    planner)
      echo "== brimwell-plan's work in one process"
      run "$bin/bench_planner" "${google[@]}"
      ;;
    process)
      echo "== brimwell-plan as a whole process"
      run "$bin/bench_process" "${runs[@]}"
      ;;
    window-start)
      echo "== the window's start-up, seen from an X server of its own"
      run "${xvfb[@]}" "$bin/bench_window_start" "${runs[@]}"
      if ! $quick; then  # the same program, counting instructions: ten seconds more
        echo
        run "${xvfb[@]}" "$bin/bench_window_start" --callgrind
      fi
      ;;
    flight)
      echo "== the watch of a flight"
      run "$bin/bench_flight" "${google[@]}"
      ;;
    tablet)
      echo "== the flight on a tablet, in headless Chromium on loopback"
      run /usr/bin/python3 "$root/bench/bench_tablet.py" "$bin/brimwell-plan" "$bin/tablet_flight" \
        $($quick && echo --quick)
      ;;
    flight-log)
      echo "== the flight log"
      run "$bin/bench_flight_log" "${google[@]}"
      ;;
    window)
      echo "== Calculate and Fuel Check in the window, on Qt's offscreen platform"
      # It tells of every window that it cannot raise it, nor grab the keyboard, nor pass on size
      # hints: nothing that a figure depends on.
      QT_QPA_PLATFORM=offscreen run "$bin/bench_window" "${google[@]}" \
        2> >(grep -v '^This plugin does not support' >&2)
      echo
      echo "== the same on xcb, under Xvfb"
      QT_QPA_PLATFORM=xcb run "${xvfb[@]}" "$bin/bench_window" "${google[@]}"
      ;;
  esac
  echo
done
