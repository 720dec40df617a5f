#!/usr/bin/env bash
# brimwell-plan as a pilot runs it: one run a row, with its exit status, a text that its output
# must hold ("" for no output at all) and its exact error stream.
#   plan_process_test.sh <path to brimwell-plan>
set -uo pipefail
plan="$1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mapfile -t sample <"$here/../../tests/support/sample-plan.args"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# row STATUS OUT ERR ARGUMENT...
row() {
  local status="$1" out="$2" err="$3"
  shift 3
  "$plan" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  [[ $got -eq $status ]] || fail "$*: exit $got, not $status"
  if [[ -z "$out" ]]; then
    [[ ! -s "$work/out" ]] || fail "$*: printed $(head -c 200 "$work/out")"
  else
    grep -qF -- "$out" <(tr '\n' '\r' <"$work/out") || fail "$*: no \"$out\" in $(cat "$work/out")"
  fi
  [[ "$(cat "$work/err")" == "$err" ]] || fail "$*: error stream: $(cat "$work/err")"
}
nl=$'\r'  # the lines of the output, joined
failed="brimwell-plan: Please enter all Flight Data or check limits"
refused() { echo "brimwell-plan: $1"; }
tail_wind=(--distance 400 --wind-direction Tail --wind 1000)

"$plan" "${sample[@]}" | diff -u "$here/sample_report.txt" - || fail "the sample plan's report"
row 0 "(+) Flight Plan Fuel: 229551 lbs" "" "${sample[@]}" --correction
row 0 "Origin: lirf x${nl}Destination: KJFK distance: 4000 nm${nl}Alternate:  distance: 200 nm" "" "${sample[@]}" --origin 'lirf x' --alternate=
row 0 "Destination: KJFK distance: 300 nm" "" "${sample[@]}" --distance=300 --taxi-fuel 0
row 0 "Origin: --json${nl}" "" "${sample[@]}" --origin --json
row 0 "distance: 8400 nm${nl}Alternate: KBOS distance: 200 nm${nl}Prevalent Wind: NoWind - 1000 Knots${nl}Flight Level: FL350${nl}Payload: 0140912 lbs" "" "${sample[@]}" --distance 8400 --wind-direction NoWind --wind 1000 --payload 0140912 --contingency 0
row 0 "Prevalent Wind: NoWind - 50 Knots${nl}Flight Level: FL310${nl}" "" "${sample[@]}" --flight-level FL310 --wind-direction=NoWind --alternate-distance 500 --min-landing-fuel 24000
row 1 "" "$failed"
row 1 "" "$failed" "${sample[@]}" "${tail_wind[@]}"
row 0 '"txtZFW": "494088", "txtZFWDuplicate": "494088"' "" "${sample[@]}" --json
row 2 "" "$(refused "Payload: please enter a value lower then 140.912")" "${sample[@]}" --json --payload 140913
row 1 '{"failure": "Please enter all Flight Data or check limits", ' "" "${sample[@]}" --json "${tail_wind[@]}"
row 1 '"txtDistWinCorr": "-683"}, "ticked": {"CheckCorrection": false}, "red": ["txtDistWinCorr"]}' "" "${sample[@]}" --json "${tail_wind[@]}"
row 1 '"txtOriginICAO": "a\"\\\u0009b\u0001'$'\xc3\xa9''\ufffd\ufffd\ufffd"' "" --json --origin $'a"\\\tb\x01\xc3\xa9\xff\xe2\x82'
row 1 '"ticked": {"CheckCorrection": true}, "red": []}' "" --json --correction
row 0 "Usage: brimwell-plan" "" --help
row 2 "" "$(refused "Distance: please enter a value lower then 8400")" --help --distance 99999
row 2 "" "$(refused "Distance: please enter a value lower then 8400")" --distance 8401
row 2 "" "$(refused "Distance: please enter a value lower then 8400")" --distance 99999999999999999999999
row 2 "" "$(refused "Wind: hey, don't you think it's too strong?")" --wind 1001
row 2 "" "$(refused "Payload: please enter a value lower then 140.912")" --payload=140913
row 2 "" "$(refused '--distance takes digits only (0 to 9), not "4000,5"')" --distance 4000,5
row 2 "" "$(refused '--contingency takes digits only (0 to 9), not "-5"')" --contingency -5
row 2 "" "$(refused '--taxi-fuel takes digits only (0 to 9), not " 2000"')" --taxi-fuel ' 2000'
row 2 "" "$(refused '--flight-level "FL300" is not in the list; choose one of: FL410, FL400, FL390, FL380, FL370, FL360, FL350, FL340, FL330, FL320, FL310')" --flight-level FL300
row 2 "" "$(refused '--wind-direction "head" is not in the list; choose one of: Head, Tail, NoWind')" --wind-direction head
row 2 "" "$(refused '--min-landing-fuel "" is not in the list; choose one of: 19000, 24000')" --min-landing-fuel=
row 2 "" "$(refused "--distance needs a value")" --distance
row 2 "" "$(refused "--json takes no value")" --json=yes
row 2 "" "$(refused 'unknown option "--fuel" (see --help)')" --fuel 1
row 2 "" "$(refused 'unexpected argument "4000" (see --help)')" 4000
row 2 "" "$(refused "--pdf needs a file name")" --pdf=

# A plan in kilograms is the plan in pounds of the same weights: each weight the pound figure at
# 0.45359237 kg a pound rounded half to even (awk's printf rounds so), every other cell, the red
# cells and the exit status the same. Each row adds the weights to the sample flight without them.
#   same_plan "OPTIONS IN POUNDS" "OPTIONS IN KILOGRAMS"
flight=()
for ((i = 0; i < ${#sample[@]}; i += 2)); do
  [[ " --payload --min-landing-fuel --taxi-fuel " == *" ${sample[i]} "* ]] || flight+=("${sample[@]:i:2}")
done
weights=" txtPayLoad cmbMLF txtTFB txtBOW txtPayLoadDuplicate txtZFW txtZFWDuplicate txtAF txtCF txtPLW txtPLWDuplicate txtFPF txtGTW txtGTWDuplicate txtTW txtFL "
cells() { grep -o '"cells": *{[^}]*' "$1" | grep -o '"[A-Za-z]*": *"[^"]*"' | sed -e 's/": *"/\t/' -e 's/"//g'; }
same_plan() {
  "$plan" "${flight[@]}" $1 --json >"$work/lbs"
  local lbs=$?
  "$plan" "${flight[@]}" --units kg $2 --json >"$work/kg"
  local kg=$?
  [[ $kg -eq $lbs ]] || fail "$2: exit $kg, in pounds $lbs"
  paste <(cells "$work/lbs") <(cells "$work/kg") | awk -F '\t' -v weights="$weights" '
    { want = $2 != "" && index(weights, " " $1 " ") ? sprintf("%.0f", $2 * 0.45359237) : $2 }
    $3 != $1 || $4 != want { print $3 " is \"" $4 "\", not \"" want "\""; bad = 1 }
    END { exit bad || NR != 28 }' >"$work/diff" || fail "$2: $(cat "$work/diff")"
  [[ "$(grep -o '"red".*' "$work/kg")" == "$(grep -o '"red".*' "$work/lbs")" ]] || fail "$2: red cells"
  grep -q '"units": *"kg"' "$work/kg" || fail "$2: the JSON does not say kg"
}
same_plan "--payload 99999 --min-landing-fuel 19000" "--payload 45359 --min-landing-fuel 8618"
same_plan "--payload 138891 --min-landing-fuel 24000 --correction" "--payload 63000 --min-landing-fuel 10886 --correction --taxi-fuel 907"
same_plan "--payload 140911 --min-landing-fuel 19000 --distance 7500 --contingency 200 --taxi-fuel 44092" "--payload 63916 --min-landing-fuel 8618 --distance 7500 --contingency 200 --taxi-fuel 20000"
same_plan "--payload 0 --min-landing-fuel 24000 --taxi-fuel 0 --distance 400 --wind-direction Tail --wind 1000" "--payload 0 --min-landing-fuel 10886 --taxi-fuel 0 --distance 400 --wind-direction Tail --wind 1000"

# In kilograms the payload's limit is 63916 kg (140911 lbs; 63917 kg is 140913 lbs), and every
# weight of the report, sixteen lines, is named in kg.
kg=("${flight[@]}" --units kg --min-landing-fuel 8618)
row 0 "Payload: 63916 kg${nl}" "" "${kg[@]}" --payload 63916
row 2 "" "$(refused "Payload: please enter a value lower then 63.916")" "${kg[@]}" --payload 63917
row 2 "" "$(refused "Payload: please enter a value lower then 63.916")" --payload 63917 --units=kg
row 2 "" "$(refused '--min-landing-fuel "19000" is not in the list; choose one of: 8618, 10886')" --min-landing-fuel 19000 --units kg
row 2 "" "$(refused '--units "KG" is not a unit; choose lbs or kg')" --units KG
"$plan" "${kg[@]}" --payload 63000 >"$work/out"
[[ $(grep -c ' kg$' "$work/out") -eq 16 ]] && ! grep -q lbs "$work/out" || fail "kg report: $(cat "$work/out")"

"$plan" --help >"$work/out"
for option in --origin --destination --alternate --distance --alternate-distance \
  --wind-direction --wind --flight-level --payload --contingency --min-landing-fuel \
  --taxi-fuel --units --correction --json --pdf --help --version "Head, Tail, NoWind" "19000, 24000" \
  "8618, 10886"; do
  grep -qF -- " $option" "$work/out" || fail "--help does not name $option"
done

# A PDF that cannot be written, or a plan that fails, leaves no file behind.
"$plan" "${sample[@]}" --pdf "$work/no/such/dir/plan.pdf" >/dev/null 2>&1
[[ ! -e "$work/no" ]] || fail "unwritable PDF: something was created"
"$plan" --distance 4000 --pdf "$work/failed.pdf" >/dev/null 2>&1
[[ ! -e "$work/failed.pdf" ]] || fail "a failed plan wrote a PDF"

exit $((failures > 0))
