#!/usr/bin/env bash
# brimwell-plan --pdf as a pilot runs it, without any screen (nor runtime folder): the page it
# writes, what it keeps of a file it writes over, and what it does with a file it cannot write.
#   plan_pdf_test.sh <path to brimwell-plan> <path to a module of another interface version>
set -uo pipefail
plan="$1"
export LC_ALL=C.UTF-8 # the system's reasons, as the rows below quote them
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# The lines as pdftotext shows them: blanks simplified, trailing empty lines dropped.
simplify() { tr -d '\f' | sed -e 's/[[:space:]]\+/ /g' -e 's/^ //' -e 's/ $//' |
             sed -e ':a' -e '/^\n*$/{$d;N;ba' -e '}'; }

mapfile -t sample <"$(dirname "${BASH_SOURCE[0]}")/../../tests/support/sample-plan.args"
headless=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR)

"${headless[@]}" "$plan" "${sample[@]}" --pdf "$work/plan.pdf" >"$work/out" 2>"$work/err"
status=$?
[[ $status -eq 0 && ! -s "$work/err" ]] || fail "sample plan: exit $status: $(cat "$work/err")"
[[ -s "$work/plan.pdf" ]] || fail "sample plan: no PDF"
pdfinfo "$work/plan.pdf" >"$work/info" 2>&1
grep -q '^Pages: *1$' "$work/info" || fail "sample plan: not one page: $(cat "$work/info")"
grep -q '^Title: *Boeing 747-400 - Fuel Planning Schematic$' "$work/info" ||
  fail "sample plan: the document is not titled: $(cat "$work/info")"
[[ $(wc -l <"$work/out") -eq 37 ]] || fail "sample plan: stdout is not 37 lines"
pdftotext -layout "$work/plan.pdf" - | simplify >"$work/page.txt"
simplify <"$work/out" >"$work/expected.txt"
diff "$work/expected.txt" "$work/page.txt" >"$work/diff" ||
  fail "the page is not the 37 lines of the plan: $(cat "$work/diff")"
pdffonts "$work/plan.pdf" | awk 'NR > 2 { print $1 }' >"$work/fonts"
grep -Eq '(^|\+)(Arial|LiberationSans|Arimo).*Bold' "$work/fonts" ||
  fail "no bold Arial-compatible font: $(tr '\n' ' ' <"$work/fonts")"
ls -A "$work" | grep -q '\.pdf\.' && fail "a part-written file was left behind: $(ls -A "$work")"

# In kilograms the page is the plan in kilograms too.
kg=(--units kg --distance 4000 --alternate-distance 200 --wind-direction Head --wind 50
    --flight-level FL350 --payload 63000 --contingency 30 --min-landing-fuel 8618)
"${headless[@]}" "$plan" "${kg[@]}" --pdf "$work/kg.pdf" >"$work/out" 2>"$work/err" ||
  fail "plan in kg: $(cat "$work/err")"
diff <(simplify <"$work/out") <(pdftotext -layout "$work/kg.pdf" - | simplify) >"$work/diff" ||
  fail "the page in kg is not the 37 lines of the plan: $(cat "$work/diff")"

# A plan made with a fuel factor says so on the page as in the report.
"${headless[@]}" "$plan" "${sample[@]}" --fuel-factor 5 --pdf "$work/factor.pdf" >"$work/out" \
  2>"$work/err" || fail "plan with a fuel factor: $(cat "$work/err")"
pdftotext -layout "$work/factor.pdf" - | simplify >"$work/page.txt"
grep -qx '(+) Flight Plan Fuel: 197820 lbs (fuel factor +5.0 %)' "$work/page.txt" ||
  fail "the page does not say the fuel factor: $(grep 'Flight Plan Fuel' "$work/page.txt")"
diff <(simplify <"$work/out") "$work/page.txt" >"$work/diff" ||
  fail "the page with a fuel factor is not the plan's lines: $(cat "$work/diff")"

# A screen that is named but not there changes nothing: the planner draws offscreen.
env DISPLAY=:99 QT_QPA_PLATFORM=xcb "$plan" "${sample[@]}" --pdf "$work/xcb.pdf" \
  >/dev/null 2>"$work/err" || fail "with an absent display: $(cat "$work/err")"
[[ -s "$work/xcb.pdf" ]] || fail "with an absent display: no PDF"

# Writing over what is there (umask 027): how the target plan.pdf is made first, the file that
# then holds the page, that file's mode and its owner (by default the writer).
over() {
  local what="$1" make="$2" holder="$3" mode="$4" owner="${5:-$(id -u):$(id -g)}"
  rm -rf "$work/over" && mkdir "$work/over" && (cd "$work/over" && eval "$make")
  (umask 027 && "${headless[@]}" "$plan" "${sample[@]}" --pdf "$work/over/plan.pdf") \
    >/dev/null 2>"$work/err" || fail "$what: $(cat "$work/err")"
  [[ "$(head -c 5 "$work/over/$holder")" == "%PDF-" ]] || fail "$what: no page in $holder"
  [[ "$(stat -c %a "$work/over/$holder")" == "$mode" ]] ||
    fail "$what: $holder has mode $(stat -c %a "$work/over/$holder"), not $mode"
  [[ "$(stat -c %u:%g "$work/over/$holder")" == "$owner" ]] ||
    fail "$what: $holder belongs to $(stat -c %u:%g "$work/over/$holder"), not $owner"
  [[ "$holder" == plan.pdf || -L "$work/over/plan.pdf" ]] || fail "$what: the link is gone"
  [[ "$(ls -A "$work/over")" == "$(ls -A "$work/over" | grep -v '\.pdf\.')" ]] ||
    fail "$what: a part-written file was left behind"
}
over "a new file" ":" plan.pdf 640
over "a private file" "echo old >plan.pdf && chmod 600 plan.pdf" plan.pdf 600
over "a link" "echo old >kept.pdf && chmod 604 kept.pdf && ln -s kept.pdf plan.pdf" kept.pdf 604
if [[ $(id -u) -eq 0 ]]; then # root may write over anything, and keeps what is there
  over "a read-only file" "echo old >plan.pdf && chmod 444 plan.pdf" plan.pdf 444
  over "a private read-only file" "echo old >plan.pdf && chmod 400 plan.pdf" plan.pdf 400
  over "another user's file" "echo old >plan.pdf && chown 4321:4322 plan.pdf && chmod 2664 plan.pdf" \
    plan.pdf 2664 4321:4322
fi

check_unwritable() {
  local what="$1" target="$2" reason="$3"
  "${headless[@]}" "$plan" "${sample[@]}" --pdf "$target" >"$work/out" 2>"$work/err"
  status=$?
  [[ $status -eq 3 ]] || fail "$what: exit $status"
  [[ "$(cat "$work/err")" == "brimwell-plan: the PDF file $target was not written: $reason" ]] ||
    fail "$what: message: $(cat "$work/err")"
  [[ $(wc -l <"$work/out") -eq 37 ]] || fail "$what: the plan itself was not printed"
}
check_unwritable "a full device" /dev/full "No space left on device"
[[ -c /dev/full ]] || fail "a full device: /dev/full is no longer a device"
check_unwritable "missing folder" "$work/no/such/plan.pdf" "No such file or directory"
[[ ! -e "$work/no" ]] || fail "missing folder: something was created"
touch "$work/a-file"
check_unwritable "folder is a file" "$work/a-file/plan.pdf" "Not a directory"
mkdir "$work/a-folder"
check_unwritable "path is a folder" "$work/a-folder" "Filename refers to a directory"
[[ -z "$(ls -A "$work/a-folder")" ]] || fail "path is a folder: it is no longer empty"
ls -A "$work" | grep -q '\.pdf\.' && fail "a part-written file was left behind: $(ls -A "$work")"
if [[ $(id -u) -eq 0 ]]; then # a user who may write another's file, but cannot give it away
  chmod 0711 "$work" && mkdir -m 0777 "$work/shared" && echo old >"$work/shared/plan.pdf"
  chmod 0666 "$work/shared/plan.pdf"
  # The build tree may lie in a folder only root may enter: the user runs a copy of the planner
  # and the module it loads from its own folder, which it can reach.
  mkdir -m 0755 "$work/reachable"
  cp "$plan" "$(dirname "$plan")/brimwell-plan-pdf.so" "$work/reachable/"
  as_root=("${headless[@]}") planned="$plan" plan="$work/reachable/brimwell-plan"
  headless=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_root[@]}")
  check_unwritable "another user's file, as a user" "$work/shared/plan.pdf" \
    "its owner (user 0, group 0) cannot be kept: Operation not permitted"
  headless=("${as_root[@]}") plan="$planned"
  [[ "$(ls -A "$work/shared")" == plan.pdf && "$(cat "$work/shared/plan.pdf")" == old ]] ||
    fail "another user's file, as a user: it was changed: $(ls -A "$work/shared")"
fi

# The PDF writer is a module of its own, loaded only for --pdf: without it the plan is still
# calculated and printed, and the planner says why there is no file.
mkdir "$work/alone"
cp "$plan" "$work/alone/brimwell-plan"
"${headless[@]}" "$work/alone/brimwell-plan" "${sample[@]}" >"$work/out" 2>"$work/err" ||
  fail "without the PDF writer: a plan without --pdf failed: $(cat "$work/err")"
[[ $(wc -l <"$work/out") -eq 37 && ! -s "$work/err" ]] ||
  fail "without the PDF writer: a plan without --pdf is not the 37 lines alone"
"${headless[@]}" "$work/alone/brimwell-plan" "${sample[@]}" --pdf "$work/alone.pdf" \
  >"$work/out" 2>"$work/err"
status=$?
[[ $status -eq 3 ]] || fail "without the PDF writer: exit $status"
grep -q "was not written: Brimwell cannot start its link: the module brimwell-plan-pdf.so is neither in .* nor in $work/alone. Reinstall Brimwell.$" "$work/err" ||
  fail "without the PDF writer: message: $(cat "$work/err")"
[[ $(wc -l <"$work/out") -eq 37 ]] || fail "without the PDF writer: the plan was not printed"
[[ ! -e "$work/alone.pdf" ]] || fail "without the PDF writer: a file was written"
# A writer left from another Brimwell is refused, never called.
cp "$2" "$work/alone/brimwell-plan-pdf.so"
"${headless[@]}" "$work/alone/brimwell-plan" "${sample[@]}" --pdf "$work/alone.pdf" >/dev/null 2>"$work/err"
grep -Eq "was not written: Brimwell cannot start its link: the module $work/alone/brimwell-plan-pdf.so was built for another Brimwell: its interface is version [0-9]+, this Brimwell's [0-9]+. Reinstall Brimwell.$" "$work/err" ||
  fail "an older PDF writer: message: $(cat "$work/err")"

exit $((failures > 0))
