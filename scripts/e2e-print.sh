#!/usr/bin/env bash
# The print spooler test from scratch, as root on Debian 12 without systemd: installs CUPS and
# what the build needs, builds the window's Print test, starts cupsd, sets up a queue that keeps
# what it receives as the default printer, presses Print in the real window (offscreen), checks
# the document the spooler received, and takes everything down again.
#   scripts/e2e-print.sh [build folder]     default: build/e2e
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/e2e}"
cd "$root"

if [[ $(id -u) -ne 0 ]]; then
  echo "e2e-print.sh: must run as root (it starts cupsd and installs a CUPS backend)" >&2
  exit 1
fi
"$root/scripts/install-deps.sh" --with-print
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DBRIMWELL_BUILD_TESTS=ON -DBRIMWELL_E2E_PRINT=ON
cmake --build "$build" -j "$(nproc)" --target e2e_print_spooler_test
ctest --test-dir "$build" -R '^e2e_print_spooler$' --output-on-failure
