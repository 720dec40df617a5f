#!/usr/bin/env bash
# Builds the window and saves pictures of it under a virtual screen: after a calculation with one
# cell over its limit; with the File menu open; and with the summary of a SimBrief flight plan
# opened from that menu; with --xplane, with the box that tells of the plan loaded into X-Plane;
# with --fuel-check, the fuel check window after readings of the X-Plane stand-in flying a flight
# plan's route past two of its fixes; with --flights, File > Flights… over a log of eight flights.
# With --kg first the window shows kilograms, the same plan typed in them, the Units menu and a
# flight plan in kilograms.
#   scripts/screenshot-window.sh [--kg] [window.png [menu.png import.png]]
#   scripts/screenshot-window.sh --xplane xplane.png
#   scripts/screenshot-window.sh --fuel-check fuel-check.png
#   scripts/screenshot-window.sh --flights flights.png
# With no files named: docs/window.png, docs/menu.png and docs/import.png, docs/xplane.png,
# docs/fuel-check.png, docs/flights.png, then docs/window-kg.png, docs/units-menu.png and docs/import-kg.png.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if (($# == 0)); then
  "$0" "$root/docs/window.png" "$root/docs/menu.png" "$root/docs/import.png"
  "$0" --xplane "$root/docs/xplane.png"
  "$0" --fuel-check "$root/docs/fuel-check.png"
  "$0" --flights "$root/docs/flights.png"
  set -- --kg
fi
cd "$root"

"$root/scripts/install-deps.sh" tests checks
cmake --preset screenshot >/dev/null
cmake --build --preset screenshot -j "$(nproc)"
for out in "$@"; do [[ "$out" == --* ]] || mkdir -p "$(dirname "$out")"; done
xvfb-run -a -s '-screen 0 1280x1024x24' "$root/build/screenshot/bin/brimwell-screenshot" "$@"
echo "saved $*"
