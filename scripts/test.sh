#!/usr/bin/env bash
# Installs what is missing, builds every test suite and runs them.
#   scripts/test.sh [preset [ctest option]...]    dev (default) or asan (AddressSanitizer + UBSan)
set -euo pipefail

preset="${1:-dev}"
shift $(($# > 0))
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh"
cmake --preset "$preset"
cmake --build --preset "$preset" -j "$(nproc)"
# The window's tests need no screen.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
ctest --preset "$preset" -j "$(nproc)" "$@"
