#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing Brimwell need.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain
  g++ cmake ninja-build pkg-config clang clang-format clang-tidy
  librsvg2-bin # rsvg-convert, for ui/resources/draw_pictures.py
  # libraries
  qt6-base-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev
  libcups2-dev # the report hands its page to the print spooler itself
  # fonts: Liberation Sans stands in for Arial, DejaVu for the rest
  fonts-liberation fonts-dejavu-core fontconfig
  # checking what the window and the report look like
  xvfb xauth imagemagick poppler-utils
  # the Debian package: dpkg-shlibdeps finds its library dependencies; the menu entry check
  dpkg-dev file desktop-file-utils
)
if [[ "${1:-}" == "--with-print" ]]; then
  packages+=(cups cups-client cups-bsd)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=()
  [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
