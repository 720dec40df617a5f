#!/usr/bin/env bash
# Builds the window and saves a picture of it after a calculation with one cell over its
# limit, under a virtual screen:  scripts/screenshot-window.sh [out.png]  (docs/window.png)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${1:-$root/docs/window.png}"
build="$root/build/screenshot"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target brimwell-screenshot -j 2
mkdir -p "$(dirname "$out")"
xvfb-run -a -s '-screen 0 1280x1024x24' "$build/ui/tests/brimwell-screenshot" "$out"
echo "saved $out"
