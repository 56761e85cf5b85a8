#!/usr/bin/env bash
# Installs what is missing, builds the host and 32-bit Windows targets, and runs
# every test: unit (AddressSanitizer + UBSan), pictures and end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native "$@"
