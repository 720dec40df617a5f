#!/usr/bin/env bash
# Builds the window and saves a picture of it after a calculation with one cell over its
# limit, under a virtual screen:  scripts/screenshot-window.sh [out.png [kg]]  (docs/window.png);
# with kg the window shows kilograms (docs/window-kg.png).
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/docs/window.png}"
cd "$root"

"$root/scripts/install-deps.sh" tests checks
cmake --preset screenshot >/dev/null
cmake --build --preset screenshot -j "$(nproc)"
mkdir -p "$(dirname "$out")"
xvfb-run -a -s '-screen 0 1280x1024x24' "$root/build/screenshot/ui/tests/brimwell-screenshot" "$out" "${@:2}"
echo "saved $out"
