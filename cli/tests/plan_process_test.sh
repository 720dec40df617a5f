#!/usr/bin/env bash
# brimwell-plan as a pilot runs it: the exit status, what goes to stdout and what to stderr.
#   plan_process_test.sh <path to brimwell-plan>
set -uo pipefail
plan="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

sample=(--distance 4000 --alternate-distance 200 --wind-direction Head --wind 50
        --flight-level FL350 --payload 100000 --contingency 30 --min-landing-fuel 19000)

"$plan" "${sample[@]}" >"$work/out" 2>"$work/err"; status=$?
[[ $status -eq 0 ]] || fail "sample plan: exit $status"
[[ $(wc -l <"$work/out") -eq 37 ]] || fail "sample plan: not 37 lines"
[[ ! -s "$work/err" ]] || fail "sample plan: wrote to stderr"
grep -qx '(=) Zero Fuel Weight: 494088 lbs' "$work/out" || fail "sample plan: zero fuel weight"
grep -qx '(+) Flight Plan Fuel: 188400 lbs' "$work/out" || fail "sample plan: flight plan fuel"
grep -qx 'Extimated Time to Arrive (ETA): 9:07 hh:mm' "$work/out" || fail "sample plan: ETA"

"$plan" "${sample[@]}" --distance 8401 >"$work/out" 2>"$work/err"; status=$?
[[ $status -eq 2 ]] || fail "refused distance: exit $status"
[[ ! -s "$work/out" ]] || fail "refused distance: printed a plan"
grep -q 'Distance: please enter a value lower then 8400' "$work/err" || fail "refused: message"

"$plan" --distance 4000 >"$work/out" 2>"$work/err"; status=$?
[[ $status -eq 1 ]] || fail "incomplete plan: exit $status"
[[ ! -s "$work/out" ]] || fail "incomplete plan: printed something"
grep -q 'Please enter all Flight Data or check limits' "$work/err" || fail "incomplete: message"

"$plan" "${sample[@]}" --pdf "$work/no/such/dir/plan.pdf" >"$work/out" 2>"$work/err"; status=$?
[[ $status -ne 0 ]] || fail "unwritable PDF: exit 0"
[[ -s "$work/err" ]] || fail "unwritable PDF: no message"
[[ ! -e "$work/no" ]] || fail "unwritable PDF: something was created"

"$plan" --distance 4000 --pdf "$work/failed.pdf" >/dev/null 2>&1
[[ ! -e "$work/failed.pdf" ]] || fail "a failed plan wrote a PDF"

"$plan" "${sample[@]}" --json >"$work/out" 2>"$work/err"; status=$?
[[ $status -eq 0 ]] || fail "json: exit $status"
if command -v python3 >/dev/null; then
  python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); assert d["failure"] is None and d["cells"]["txtZFW"]=="494088" and len(d["cells"])==28, d' "$work/out" \
    || fail "json: not the expected object"
fi

exit $((failures > 0))
