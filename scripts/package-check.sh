#!/usr/bin/env bash
# Builds the Debian package, installs it, checks the installed programs and removes it again.
# Runs as root on a machine where the package may be installed and removed (CI).
#   scripts/package-check.sh        build dir: $BRIMWELL_PKG_BUILD_DIR (default build/pkg)
# Checks: brimwell-plan prints the sample plan and writes it as a PDF page; brimwell opens its window on the offscreen
# platform, is still showing it after two seconds and ends on SIGTERM; the menu entry passes
# desktop-file-validate; the icons and the menu entry are where the menus look for them.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BRIMWELL_PKG_BUILD_DIR:-$root/build/pkg}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

fail() {
  echo "package-check: $*" >&2
  exit 1
}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIMWELL_BUILD_TESTS=OFF \
  -DBRIMWELL_BUILD_BENCH=OFF -DBRIMWELL_BUILD_FUZZ=OFF >/dev/null
ninja -C "$build" -j2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "expected one .deb in $build"
deb="${debs[0]}"
echo "== $(basename "$deb")"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends
dpkg-deb --contents "$deb" | awk '{print $6}'

# An installation left over from an earlier run would hide a missing file.
if dpkg-query -W -f='${Status}' brimwell 2>/dev/null | grep -q 'install ok installed'; then
  "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null
fi
echo "== installing"
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null' EXIT

for path in /usr/bin/brimwell-plan /usr/lib/brimwell/brimwell-plan-pdf.so /usr/bin/brimwell \
  /usr/share/applications/brimwell.desktop \
  /usr/share/icons/hicolor/16x16/apps/brimwell.png \
  /usr/share/icons/hicolor/32x32/apps/brimwell.png \
  /usr/share/icons/hicolor/scalable/apps/brimwell.svg; do
  [[ -f "$path" ]] || fail "$path is not installed"
done

echo "== brimwell-plan"
plan="$(cd / && /usr/bin/brimwell-plan --distance 4000 --alternate-distance 200 \
  --wind-direction Head --wind 50 --flight-level FL350 --payload 100000 --contingency 30 \
  --min-landing-fuel 19000)" || fail "brimwell-plan ended with status $?"
lines="$(printf '%s\n' "$plan" | wc -l)"
[[ "$lines" -eq 37 ]] || fail "brimwell-plan printed $lines lines, not 37"
grep -q '494088' <<<"$plan" || fail "the plan has no zero fuel weight 494088"
grep -q '9:07' <<<"$plan" || fail "the plan has no trip time 9:07"
echo "37 lines, zero fuel weight 494088, trip time 9:07"
pdf="$build/installed-plan.pdf"
rm -f "$pdf"
(cd / && /usr/bin/brimwell-plan --distance 4000 --alternate-distance 200 --wind-direction Head \
  --wind 50 --flight-level FL350 --payload 100000 --contingency 30 --min-landing-fuel 19000 \
  --pdf "$pdf" >/dev/null) || fail "brimwell-plan --pdf ended with status $?"
pages="$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')"
[[ "$pages" == 1 ]] || fail "the PDF of the installed brimwell-plan has ${pages:-no} pages"
pdftotext "$pdf" - | grep -q 'Zero Fuel Weight: 494088' || fail "the PDF page lacks the plan"
echo "--pdf: one page with the plan"

echo "== brimwell on the offscreen platform"
# A fresh runtime directory keeps Qt quiet about a missing or foreign one.
runtime="$(mktemp -d)"
chmod 700 "$runtime"
(cd / && exec env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" /usr/bin/brimwell) \
  >"$build/brimwell-window.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || {
  cat "$build/brimwell-window.log" >&2
  fail "brimwell was no longer running after 2 s"
}
kill -TERM "$pid"
ended=0
for _ in $(seq 1 50); do
  if ! kill -0 "$pid" 2>/dev/null; then
    ended=1
    break
  fi
  sleep 0.1
done
if [[ "$ended" -ne 1 ]]; then
  kill -KILL "$pid" 2>/dev/null || true
  fail "brimwell did not end within 5 s of SIGTERM"
fi
status=0
wait "$pid" || status=$?
rm -rf "$runtime"
# Qt leaves SIGTERM to its default action: the process ends by the signal (128 + 15).
[[ "$status" -eq 143 ]] || fail "brimwell ended with status $status, not by SIGTERM"
echo "ran for 2 s, ended by SIGTERM"

echo "== menu entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate /usr/share/applications/brimwell.desktop
  echo "desktop-file-validate: no complaints"
else
  echo "desktop-file-validate not installed; skipped"
fi

echo "== removing"
trap - EXIT
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null
[[ ! -e /usr/bin/brimwell-plan ]] || fail "/usr/bin/brimwell-plan is still there after removal"
echo "package-check: all good"
