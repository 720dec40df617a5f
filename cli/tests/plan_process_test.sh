#!/usr/bin/env bash
# brimwell-plan as a pilot runs it: one run a row, with its exit status, a text that its output
# must hold ("" for no output at all) and its exact error stream; then the same with the flight
# plans (OFPs) that the tests' write_ofp makes.
#   plan_process_test.sh <path to brimwell-plan> <path to write_ofp>
set -uo pipefail
plan="$1"
write_ofp="$2"
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
  # Read by the shell itself: a run of the planner is the only process a row starts.
  local printed errors
  printed="$(<"$work/out")" errors="$(<"$work/err")"
  if [[ -z "$out" ]]; then
    [[ ! -s "$work/out" ]] || fail "$*: printed ${printed:0:200}"
  else
    [[ "${printed//$'\n'/$nl}"$nl == *"$out"* ]] || fail "$*: no \"$out\" in $printed"
  fi
  [[ "$errors" == "$err" ]] || fail "$*: error stream: $errors"
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
row 0 '"txtZFW":"494088","txtZFWDuplicate":"494088"' "" "${sample[@]}" --json
row 2 "" "$(refused "Payload: please enter a value lower then 140.912")" "${sample[@]}" --json --payload 140913
row 1 '{"failure":"Please enter all Flight Data or check limits",' "" "${sample[@]}" --json "${tail_wind[@]}"
row 1 '"txtDistWinCorr":"-683"},"ticked":{"CheckCorrection":false},"red":["txtDistWinCorr"]}' "" "${sample[@]}" --json "${tail_wind[@]}"
row 1 '"txtOriginICAO":"a\"\\b '$'\xc3\xa9''"' "" --json --origin $'a"\\b \xc3\xa9'
row 1 '"ticked":{"CheckCorrection":true},"red":[]}' "" --json --correction
row 0 "Usage: brimwell-plan" "" --help
row 0 "Usage: brimwell-plan" "" --distance abc --fuel --version=1 --help
row 0 "brimwell-plan 2" "" --version --units KG
# The PDF writer is built with the window's Qt only: without it --pdf cannot write at all.
later_pdf=()
[[ ! -e "$(dirname "$plan")/brimwell-plan-pdf.so" ]] || later_pdf=(--pdf= --pdf=/dev/null)
row 0 "Destination: KJFK distance: 3000 nm" "" --distance 99999 --units KG "${sample[@]}" --units lbs --distance=3000 "${later_pdf[@]}"
# What a cell of the window could not hold, named with the cell; an outside text, shown by the
# one rule.
cell_refused() { refused "--$1: the cell $2 holds no line breaks, control characters or bytes that are not UTF-8: \"$3\""; }
row 2 "" "$(cell_refused origin txtOriginICAO "LIRF?TOTAL FUEL LOAD: 1 lbs")" "${sample[@]}" --origin $'LIRF\nTOTAL FUEL LOAD: 1 lbs'
row 2 "" "$(cell_refused destination txtDestinationICAO "?[2J??K")" "${sample[@]}" --destination $'\e[2J\u202e\xc2\x9bK'
row 2 "" "$(cell_refused alternate txtAlternateICAO "K?")" "${sample[@]}" --alternate=$'K\xff'
row 2 "" "$(refused "--contingency: the cell txtContingencyTime holds at most 32767 characters, not 32768")" "${sample[@]}" --contingency "$(printf '%032768d' 5)"
row 2 "" "$(refused 'unknown option "--fuel?[1m" (see --help)')" --fuel$'\e[1m'
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
every() { refused "--every takes the seconds between readings, from 0.2 to 60, not \"$1\""; }
row 2 "" "$(every 0.19)" "${sample[@]}" --watch --every 0.19
row 2 "" "$(every 60.01)" "${sample[@]}" --watch --every=60.01
row 2 "" "$(refused "--every sets the interval of --watch; give --watch as well")" "${sample[@]}" --every 5
row 2 "" "$(refused "--watch and --fuel-check both check X-Plane's fuel; give one of them")" --watch --fuel-check
serve() { refused "--serve takes ADDRESS:PORT, an IPv4 address of this computer (0.0.0.0 for all) and a port from 0 to 65535, not \"$1\""; }
row 2 "" "$(serve localhost:8087)" "${sample[@]}" --watch --serve localhost:8087
row 2 "" "$(serve 127.0.0.1:65536)" "${sample[@]}" --watch --serve 127.0.0.1:65536
row 2 "" "$(serve 127.0.0.1)" "${sample[@]}" --watch --serve=127.0.0.1
row 2 "" "$(serve "127.0.0.1:-1")" "${sample[@]}" --watch --serve 127.0.0.1:-1
row 2 "" "$(refused "--serve shows the flight that --watch follows; give --watch as well")" "${sample[@]}" --serve 127.0.0.1:0
row 4 "" "brimwell-plan: Brimwell cannot serve at 192.0.2.1:0: the address is not one of this computer's, or the port is taken." "${sample[@]}" --watch --serve 192.0.2.1:0

# lost STATUS ERR ARGUMENT...: the output lost on its way (the caller redirects it), the exit
# status and the one line of the error stream.
lost() {
  local status="$1" err="$2"
  shift 2
  "$plan" "$@" 2>"$work/err"
  local got=$?
  [[ $got -eq $status && "$(cat "$work/err")" == "$err" ]] ||
    fail "$* (output lost): exit $got: $(cat "$work/err")"
}
full="could not be written in full: No space left on device"
lost 3 "brimwell-plan: the report $full" "${sample[@]}" >/dev/full
lost 3 "brimwell-plan: the JSON object $full" "${sample[@]}" --json >/dev/full
lost 1 "brimwell-plan: the JSON object $full" --json >/dev/full
lost 3 "brimwell-plan: the report could not be written in full: Bad file descriptor" "${sample[@]}" >&-
lost 3 "brimwell-plan: the help could not be written in full: No space left on device" --help >/dev/full
lost 3 "brimwell-plan: the version could not be written in full: No space left on device" --version >/dev/full

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

# The trip time at the minute boundaries.
for trip in 448/1:09 457/1:10 883/1:59 886/2:00; do
  row 0 "(ETA): ${trip#*/} hh:mm" "" "${sample[@]}" --distance "${trip%/*}" --wind-direction NoWind
done

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
  --taxi-fuel --units --correction --json --pdf --send-to-xplane --xplane-url --watch --every --serve --fuel-factor --flights --flight --flights-csv --help --version \
  --ofp "Head, Tail, NoWind" "19000, 24000" "8618, 10886"; do
  grep -qF -- " $option" "$work/out" || fail "--help does not name $option"
done

# A PDF that cannot be written, or a plan that fails, leaves no file behind.
"$plan" "${sample[@]}" --pdf "$work/no/such/dir/plan.pdf" >/dev/null 2>&1
[[ ! -e "$work/no" ]] || fail "unwritable PDF: something was created"
"$plan" --distance 4000 --pdf "$work/failed.pdf" >/dev/null 2>&1
[[ ! -e "$work/failed.pdf" ]] || fail "a failed plan wrote a PDF"

# Flight plans. ofp_row STATUS OUT ERR 'WRITE_OFP ARGUMENTS' ARGUMENT...: the run with --ofp of
# the flight plan that write_ofp makes, the sample flight with fields replaced (FIELD=TEXT) or
# left out (FIELD).
ofp_row() {
  local arguments before=$failures
  read -ra arguments <<<"$4"
  "$write_ofp" "${arguments[@]}" >"$work/plan.ofp"
  row "$1" "$2" "$3" --ofp "$work/plan.ofp" "${@:5}"
  ((failures == before)) || echo "  the flight plan: write_ofp $4" >&2
}
own=(--contingency 30 --min-landing-fuel 19000) # the pilot's; no OFP gives them
unfilled() { refused "$1 not filled: $2"; }
utf16() { printf "$1" && iconv -f UTF-8 -t "$2"; } # the byte order mark, then UTF-16
for form in "" --json; do
  for encoding in cat "utf16 \xff\xfe UTF-16LE" "utf16 \xfe\xff UTF-16BE"; do
    "$write_ofp" $form | $encoding | "$plan" --ofp - "${own[@]}" | diff -u "$here/sample_report.txt" - ||
      fail "the sample OFP $form, $encoding"
  done
done
ofp_row 0 '"txtPayLoad":"99999","txtContingencyTime":"30","cmbMLF":"19000","txtTFB":"2002"' "" "--json params/units=kgs weights/payload=45359 fuel/taxi=908" "${own[@]}" --json
e307="9$(printf '%0307d' 0)" # 9e307 kg are more pounds than a double holds
ofp_row 2 "" "$(unfilled "Taxi fuel burn off" "fuel/taxi \"${e307:0:200}...\" is too large a number")" "params/units=kgs weights/payload=1 fuel/taxi=$e307" "${own[@]}"
# In kilograms a kgs flight plan's own figures, an lbs one's converted; an option overrides them.
kg_own=(--units kg --contingency 30 --min-landing-fuel 8618 --json)
ofp_row 0 '"txtPayLoad":"45360","txtContingencyTime":"30","cmbMLF":"8618","txtTFB":"908"' "" "params/units=kgs weights/payload=45360 fuel/taxi=908" "${kg_own[@]}"
ofp_row 0 '"txtPayLoad":"45359","txtContingencyTime":"30","cmbMLF":"8618","txtTFB":"907"' "" "" "${kg_own[@]}"
ofp_row 0 '"txtPayLoad":"40000","txtContingencyTime":"30","cmbMLF":"8618","txtTFB":"908"' "" "params/units=kgs fuel/taxi=908" "${kg_own[@]}" --payload 40000
ofp_row 0 "Payload: 140000 lbs" "" "weights/payload=140913" "${own[@]}" --payload 140000
ofp_row 0 "Alternate: KBOS distance: 200 nm" "$(refused "Alternate distance: 200 nm (rounded up from 187 nm to the list's 200 nm)")" "alternate/distance=187" "${own[@]}"
ofp_row 0 "Alternate: KBOS distance: 300 nm" "" "alternate/distance=187" "${own[@]}" --alternate-distance 300
ofp_row 2 "" "$(unfilled "Alternate distance" "alternate/distance \"501\" is farther than the list's largest, 500 nm")" "alternate/distance=501" "${own[@]}"
ofp_row 2 "" "$(unfilled Wind "general/avg_wind_comp \"-1001\" is above the window's limit of 1000 knots")" "general/avg_wind_comp=-1001" "${own[@]}"
ofp_row 0 "Prevalent Wind: Tail - 40 Knots" "" "general/avg_wind_comp=1001" "${own[@]}" --wind 40
ofp_row 2 "" "$(unfilled "Wind direction" 'general/avg_wind_comp "1-2" is not a whole number')"$'\n'"$(unfilled Wind 'general/avg_wind_comp "1-2" is not a whole number')" "general/avg_wind_comp=1-2" "${own[@]}"
ofp_row 0 "Flight Level: FL330" "" "general/initial_altitude=29000" "${own[@]}" --flight-level FL330
ofp_row 2 "" "$(unfilled "Destination distance" "general/route_distance \"8401\" is above the window's limit of 8400 nm")" "general/route_distance=8401" "${own[@]}"
ofp_row 0 "KJFK distance: 300 nm" "" "general/route_distance=4000.5" "${own[@]}" --distance 300
ofp_row 2 "" "$(unfilled Payload "weights/payload is missing")" "weights/payload" "${own[@]}"
ofp_row 2 "" "$(unfilled Alternate "alternate/icao_code is missing")"$'\n'"$(unfilled "Alternate distance" "alternate/distance is missing")" "alternate/icao_code alternate/distance" "${own[@]}"

# What is no flight plan at all is one message, and nothing else.
no_ofp() { refused "$work/$1 is not a SimBrief flight plan (OFP): $2"; }
"$write_ofp" | head -c 300 >"$work/cut.xml"
"$write_ofp" --json | head -c 300 >"$work/cut.json"
no_plan="Error: No flight plan on file for the specified user" # SimBrief's words, whole
"$write_ofp" fetch/status="$no_plan" >"$work/error.xml"
printf '' >"$work/empty"
printf '%s' ' {"navlog": {}}' >"$work/other.json"
printf '\x89PNG\r\n\x1a\n\0\0' >"$work/picture.png"
printf '\xff\xfe<' >"$work/odd.utf16"
"$write_ofp" alternate/icao_code=$'K\xf0\x9f\x98\x80' | utf16 '\xff\xfe' UTF-16LE >"$work/emoji.utf16"
printf '<?xml version="1.0"?>\n<html><body>OFP</body></html>' >"$work/page.html"
truncate -s 33M "$work/large.xml"
row 2 "" "$(no_ofp cut.xml "its XML is broken at byte 292 (Start-end tags mismatch)")" --ofp "$work/cut.xml" "${own[@]}"
row 2 "" "$(no_ofp cut.json "its JSON is broken at byte 301")" --ofp "$work/cut.json" "${own[@]}"
row 2 "" "$(refused "$work/error.xml holds no flight plan: SimBrief answered \"$no_plan\"")" --ofp "$work/error.xml"
row 2 "" "$(no_ofp empty "it is empty")" --ofp "$work/empty" "${own[@]}"
row 2 "" "$(no_ofp other.json "its JSON holds none of the sections of a flight plan (params, general, origin, destination, alternate, weights, fuel)")" --ofp "$work/other.json"
row 2 "" "$(no_ofp picture.png "it is neither XML nor JSON")" --ofp "$work/picture.png"
row 2 "" "$(no_ofp odd.utf16 "its UTF-16 text is broken at byte 3")" --ofp "$work/odd.utf16"
row 2 "" "$(unfilled Alternate "alternate/icao_code \"K"$'\xf0\x9f\x98\x80'"\" is not an airport code of 3 or 4 letters and digits")" --ofp "$work/emoji.utf16" "${own[@]}"
row 2 "" "$(no_ofp page.html "its root element is <html>, not <OFP>")" --ofp "$work/page.html"
row 2 "" "$(no_ofp large.xml "it is larger than 32 MiB, more than any flight plan")" --ofp "$work/large.xml"
row 2 "" "$(refused "$work/no-such.xml cannot be opened: No such file or directory")" --ofp "$work/no-such.xml"
row 2 "" "$(refused "$work is a folder, not a flight plan file")" --ofp "$work"
row 2 "" "$(refused "--ofp needs a file name (- for standard input)")" --ofp=
row 2 "" "$(refused "standard input is not a SimBrief flight plan (OFP): it is larger than 32 MiB, more than any flight plan")" --ofp - < <(head -c 33M /dev/zero)
row 2 "" "$(refused "standard input cannot be read: Bad file descriptor")" --ofp - <&-
row 2 "" "$(refused "standard input is a folder, not a flight plan file")" --ofp - <"$work"

exit $((failures > 0))
