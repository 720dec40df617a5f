#!/usr/bin/env bash
# Builds the Debian source and binary packages from debian/ with dpkg-buildpackage, checks them
# with lintian, installs the package with apt-get, checks the installed programs and removes it
# again. Runs as root (or with sudo) on a machine where the package may be installed and removed
# (CI).
#   scripts/package-check.sh
# The build happens in a copy of the source tree, build/package/brimwell-<version>, so that
# dpkg-buildpackage leaves the packages in build/package/ and nothing in the tree itself. The
# test suites are built and run in the package build only when DEB_BUILD_OPTIONS is set without
# nocheck (CI runs them in their own presets); it defaults to nocheck.
# Checks: lintian finds no error and no warning (every tag is printed, the informational and
# pedantic ones too); the programs and modules are built with the hardening flags and name no
# build folder; both programs answer --version with the package's version and have a
# manual page; brimwell-plan prints the sample plan and writes it as a PDF page; brimwell opens
# its window on the offscreen platform, is still showing it after two seconds and ends on SIGTERM;
# the menu entry and the AppStream metadata pass their validators; the icons, the menu entry
# and the metadata are where the menus and software centres look for them.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/package"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEB_BUILD_OPTIONS="${DEB_BUILD_OPTIONS-nocheck}"

fail() {
  echo "package-check: $*" >&2
  exit 1
}

profiles=()
if [[ " $DEB_BUILD_OPTIONS " == *" nocheck "* ]]; then
  "$root/scripts/install-deps.sh" package
  profiles=(-Pnocheck)
else
  "$root/scripts/install-deps.sh" package tests
fi

version="$(cd "$root" && dpkg-parsechangelog -S Version)"
arch="$(dpkg-architecture -qDEB_HOST_ARCH)"
multiarch="$(dpkg-architecture -qDEB_HOST_MULTIARCH)"
src="$out/brimwell-$version"
rm -rf "$out"
mkdir -p "$src"
tar -C "$root" --exclude=./build --exclude=./.git --exclude='./obj-*' \
  --exclude=./debian/.debhelper --exclude=./debian/brimwell --exclude=./debian/files \
  --exclude='./debian/*.substvars' --exclude=./debian/debhelper-build-stamp -cf - . |
  tar -C "$src" -xf -

echo "== dpkg-buildpackage -us -uc (DEB_BUILD_OPTIONS=$DEB_BUILD_OPTIONS)"
started=$SECONDS
if ! (cd "$src" && dpkg-buildpackage -us -uc -j"$(nproc)" "${profiles[@]}") \
  >"$out/build.log" 2>&1; then
  tail -n 60 "$out/build.log" >&2
  fail "dpkg-buildpackage failed; the whole log is $out/build.log"
fi
echo "built in $((SECONDS - started)) s; the log is $out/build.log"
# Warnings do not stop the package build, as they do the presets'; they are shown here.
grep -A 3 ': warning: ' "$out/build.log" || true
changes="$out/brimwell_${version}_${arch}.changes"
deb="$out/brimwell_${version}_${arch}.deb"
[[ -f "$changes" && -f "$deb" ]] || fail "no $(basename "$deb") and its .changes in $out"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends Recommends
dpkg-deb --contents "$deb" | awk '{print $6}'

echo "== lintian -I -E --pedantic, the source package and the binary packages"
# lintian says that it runs as root; that is CI's way, not a finding.
lintian -I -E --pedantic --fail-on error,warning "$changes" 2> >(grep -v 'root privileges' >&2) ||
  fail "lintian found errors or warnings"
echo "lintian: no errors, no warnings"

# An installation left over from an earlier run would hide a missing file.
if dpkg-query -W -f='${Status}' brimwell 2>/dev/null | grep -q 'install ok installed'; then
  "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null
fi
echo "== apt-get install ./$(basename "$deb")"
(cd "$out" && DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
  "./$(basename "$deb")" >/dev/null)
trap 'DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null' EXIT

metainfo=/usr/share/metainfo/org.example.brimwell.metainfo.xml
desktop=/usr/share/applications/org.example.brimwell.desktop
modules=("/usr/lib/$multiarch/brimwell/brimwell-plan-pdf.so"
  "/usr/lib/$multiarch/brimwell/brimwell-print.so"
  "/usr/lib/$multiarch/brimwell/brimwell-simbrief.so"
  "/usr/lib/$multiarch/brimwell/brimwell-xplane.so")
for path in /usr/bin/brimwell-plan /usr/bin/brimwell "${modules[@]}" "$desktop" "$metainfo" \
  /usr/share/icons/hicolor/16x16/apps/brimwell.png \
  /usr/share/icons/hicolor/32x32/apps/brimwell.png \
  /usr/share/icons/hicolor/scalable/apps/brimwell.svg \
  /usr/share/man/man1/brimwell.1.gz /usr/share/man/man1/brimwell-plan.1.gz \
  /usr/share/doc/brimwell/copyright /usr/share/doc/brimwell/changelog.gz; do
  [[ -f "$path" ]] || fail "$path is not installed"
done

echo "== hardening"
grep -q -- '-D_FORTIFY_SOURCE=2' "$out/build.log" || fail "the sources were not compiled with FORTIFY"
for elf in /usr/bin/brimwell /usr/bin/brimwell-plan "${modules[@]}"; do
  # A program that names the folder it was built in could load code from there.
  if strings "$elf" | grep -F -e "$root" -e "$out"; then
    fail "$elf names the build folder"
  fi
  grep -q 'BIND_NOW' <<<"$(readelf -d "$elf")" || fail "$elf is not linked with BIND_NOW"
  grep -q 'GNU_RELRO' <<<"$(readelf -lW "$elf")" || fail "$elf has no RELRO segment"
  grep -q 'Type:.*DYN' <<<"$(readelf -hW "$elf")" || fail "$elf is not position independent"
done
echo "FORTIFY, BIND_NOW, RELRO, PIE, no build path"

echo "== --version, --help and the manual pages"
# Without a display: both answer before the window system is opened.
for program in brimwell brimwell-plan; do
  said="$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY "/usr/bin/$program" --version)" ||
    fail "$program --version ended with status $?"
  [[ "$said" == "$program $version" ]] || fail "$program --version said \"$said\", not \"$program $version\""
  echo "$said"
  # Read in full first: grep -q would leave at its first match, and a program still writing
  # the rest of its text would then fail on the closed pipe.
  help="$(cd / && env -u DISPLAY -u WAYLAND_DISPLAY "/usr/bin/$program" --help)" ||
    fail "$program --help ended with status $?"
  grep -q -- '--version' <<<"$help" || fail "$program --help does not name --version"
  page="$(man -P cat "$program" 2>/dev/null)" || fail "man $program shows no page"
  grep -Eq "^ +$program +- +plan +the +fuel +load" <<<"$page" || fail "man $program: no NAME line"
  echo "man $program: $(wc -l <<<"$page") lines"
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
pdf="$out/installed-plan.pdf"
(cd / && /usr/bin/brimwell-plan --distance 4000 --alternate-distance 200 --wind-direction Head \
  --wind 50 --flight-level FL350 --payload 100000 --contingency 30 --min-landing-fuel 19000 \
  --pdf "$pdf" >/dev/null) || fail "brimwell-plan --pdf ended with status $?"
pages="$(pdfinfo "$pdf" | sed -n 's/^Pages:[[:space:]]*//p')"
[[ "$pages" == 1 ]] || fail "the PDF of the installed brimwell-plan has ${pages:-no} pages"
pdftotext "$pdf" - | grep -q 'Zero Fuel Weight: 494088' || fail "the PDF page lacks the plan"
echo "--pdf: one page with the plan"
# The installed X-Plane link is found and asks the address; nothing listens on the discard port.
said="$(cd / && /usr/bin/brimwell-plan --distance 4000 --alternate-distance 200 \
  --wind-direction Head --wind 50 --flight-level FL350 --payload 100000 --contingency 30 \
  --min-landing-fuel 19000 --send-to-xplane --xplane-url http://127.0.0.1:9 2>&1 >/dev/null)" &&
  fail "brimwell-plan --send-to-xplane loaded an X-Plane that is not there"
grep -q '^brimwell-plan: X-Plane does not answer at http://127.0.0.1:9\.' <<<"$said" ||
  fail "brimwell-plan --send-to-xplane said: $said"
echo "--send-to-xplane: the installed link tells that X-Plane does not answer"
# So is the SimBrief link, pointed at the same port.
said="$(cd / && BRIMWELL_SIMBRIEF_URL=http://127.0.0.1:9 /usr/bin/brimwell-plan \
  --simbrief-user jo --contingency 30 --min-landing-fuel 19000 2>&1 >/dev/null)" &&
  fail "brimwell-plan --simbrief-user fetched from a SimBrief that is not there"
grep -q 'SimBrief could not be reached: nothing answers at 127.0.0.1:9$' <<<"$said" ||
  fail "brimwell-plan --simbrief-user said: $said"
echo "--simbrief-user: the installed link tells that SimBrief does not answer"

echo "== brimwell on the offscreen platform"
# A fresh runtime directory keeps Qt quiet about a missing or foreign one.
runtime="$(mktemp -d)"
chmod 700 "$runtime"
(cd / && exec env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" /usr/bin/brimwell) \
  >"$out/brimwell-window.log" 2>&1 &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || {
  cat "$out/brimwell-window.log" >&2
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

echo "== menu entry and AppStream metadata"
desktop-file-validate "$desktop"
echo "desktop-file-validate: no complaints"
appstreamcli validate --no-net --pedantic "$metainfo"

echo "== removing"
trap - EXIT
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get remove -y -qq brimwell >/dev/null
[[ ! -e /usr/bin/brimwell-plan ]] || fail "/usr/bin/brimwell-plan is still there after removal"
echo "package-check: all good"
