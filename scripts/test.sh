#!/usr/bin/env bash
# Installs what is missing, builds the host and 32-bit Windows targets, and runs
# every test: unit (AddressSanitizer + UBSan), pictures, end to end under Wine, and
# the XScreenSaver hack with its Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Both Windows builds: the 32-bit saver is the product; the 64-bit one is what the
# end-to-end tests run where the machine cannot execute 32-bit code.
for preset in win32 win64; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
# The Debian package comes from a release build: the native preset's sanitizers
# would ship their runtimes. Only what the package holds is built here.
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target solvane solvane-snapshot solvane-tiles \
  default_textures deb_files
(cd build/native-release && cpack -G DEB >/dev/null)
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native "$@"
