#!/usr/bin/env bash
# Installs what is missing, builds the host and 32-bit Windows targets, and runs
# every test: unit (AddressSanitizer + UBSan), pictures and end to end under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Both Windows builds: the 32-bit saver is the product; the 64-bit one is what the
# end-to-end tests run where the machine cannot execute 32-bit code.
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native "$@"
