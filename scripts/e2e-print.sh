#!/usr/bin/env bash
# The print spooler test from scratch on Debian 12: installs CUPS and what the build needs,
# builds the window's Print test and runs it (tests/e2e/print_spooler_test.sh): a CUPS scheduler
# of the test's own in a temporary folder, with a queue that keeps what it receives; Print
# pressed in the real window (offscreen); the page the spooler received read back. The machine's
# printers, default printer and print service are neither used nor changed.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh" print
cmake --preset e2e-print >/dev/null
cmake --build --preset e2e-print -j "$(nproc)"
ctest --preset e2e-print
