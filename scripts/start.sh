#!/usr/bin/env bash
# Installs what is missing, builds the optimised program and opens its window.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

"$root/scripts/install-deps.sh" program
cmake --preset release
cmake --build --preset release -j "$(nproc)"
exec "$root/build/release/bin/brimwell" "$@"
