#!/usr/bin/env bash
# Installs the Debian 12 packages that Brimwell's scripts need, by group; safe to run again, as
# apt-get skips what is already there.
#   scripts/install-deps.sh [GROUP]...
#     program   building and running the program (scripts/start.sh)
#     tests     the test suites as well (scripts/test.sh); the groups taken when none is named
#     checks    clang-format and clang-tidy, the fuzzers, the benchmarks, the pictures
#     package   the Debian package: building it, lintian, AppStream, the package check
#     print     the print spooler test: CUPS, and the tests (--with-print says the same)
#     all       every group (CI)
set -euo pipefail

program=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libcups2-dev # the report hands its page to the print spooler itself
  libpugixml-dev nlohmann-json3-dev # the flight-plan reader; all JSON
  libcurl4-openssl-dev # the one HTTP client, of the SimBrief and X-Plane links
  libcivetweb-dev # the tablet's server: HTTP and WebSocket
  libqrencode-dev # the QR code of the tablet's address in the window
  libsqlite3-dev # the flight log
  ca-certificates # SimBrief over HTTPS
  # fonts: Liberation Sans stands in for Arial, DejaVu for the rest
  fonts-liberation fonts-dejavu-core fontconfig
  libfontconfig-dev # the window reads the font configuration ahead, while it connects
)
tests=(
  libgtest-dev libgmock-dev
  zlib1g-dev # the gzip bomb of the tests' web stand-in on 127.0.0.1
  poppler-utils # reading back the PDF page of the report
  chromium chromium-driver python3-selenium # the tablet's page in a real, headless browser
  clang # the sanitizer build (the asan preset) is clang's
)
checks=(
  clang clang-format clang-tidy # the fuzzers are built with clang
  libbenchmark-dev
  zlib1g-dev # the benchmarks' X-Plane stand-in, as the tests'
  xvfb xauth # scripts/screenshot-window.sh, the picture of the window in docs/; the start-up benchmark
  libxcb-damage0-dev # the start-up benchmark watches the X server's drawing (DAMAGE extension)
  valgrind # the start-up benchmark's count of instructions (bench_window_start --callgrind)
  qt6-gtk-platformtheme # the same under GNOME's dark scheme, docs/window-dark.png
  librsvg2-bin imagemagick # tools/draw_pictures.py, the icon and the window's pictures
  chromium chromium-driver python3-selenium # the tablet's benchmark and pictures
)
package=(
  dpkg-dev debhelper help2man # dpkg-buildpackage; help2man makes brimwell-plan(1)
  lintian appstream desktop-file-utils file man-db
  poppler-utils # the package check reads the installed planner's PDF page
)
print=(cups cups-client cups-bsd)

groups=("$@")
((${#groups[@]})) || groups=(program tests)
packages=("${program[@]}")
for group in "${groups[@]}"; do
  case "$group" in
    program) ;;
    tests) packages+=("${tests[@]}") ;;
    checks) packages+=("${checks[@]}") ;;
    package) packages+=("${package[@]}") ;;
    print | --with-print) packages+=("${tests[@]}" "${print[@]}") ;;
    all) packages+=("${tests[@]}" "${checks[@]}" "${package[@]}" "${print[@]}") ;;
    *)
      echo "usage: $0 [program|tests|checks|package|print|all]..." >&2
      exit 2
      ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
