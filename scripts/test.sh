#!/usr/bin/env bash
# Installs what is missing, builds the host and both Windows targets with the zip
# and the installer, and runs every test: unit (AddressSanitizer + UBSan),
# pictures, package, end to end under Wine, and the XScreenSaver hack with its
# Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# The host build first: it makes the default textures that the zip and the
# installer carry.
cmake --preset native >/dev/null
cmake --build --preset native
# Both Windows builds: the 32-bit saver is the product and the 64-bit one ships
# beside it; the 64-bit one is also what the end-to-end tests run where the
# machine cannot execute 32-bit code. The 32-bit build then packs both.
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
cmake --build --preset win32 --target package >/dev/null
cmake --build --preset win32 --target installer >/dev/null
# The Debian package comes from a release build: the native preset's sanitizers
# would ship their runtimes. Only what the package holds is built here.
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target solvane solvane-snapshot solvane-tiles \
  default_textures deb_files
(cd build/native-release && cpack -G DEB >/dev/null)
ctest --preset native "$@"
