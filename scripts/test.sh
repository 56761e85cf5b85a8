#!/usr/bin/env bash
# Installs what is missing, builds the host and both Windows targets, the zip, the
# installer and the Debian package, and runs every test: unit (AddressSanitizer +
# UBSan), pictures, package, end to end under Wine, the XScreenSaver hack with its
# package, and the Wayland front end in headless sway.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

# Under a faked clock (faketime ... scripts/test.sh) libfaketime is preloaded into
# every program, ahead of the sanitizer runtime of the host build, which then
# refuses to start unless told not to check the order.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

# The host build first: it makes the default textures that the zip and the
# installer carry.
cmake --preset native >/dev/null
cmake --build --preset native
# Both Windows builds: the 32-bit saver is the product and the 64-bit one ships
# beside it; the 64-bit one also runs the end-to-end cases that need a Windows
# program to start the saver. The 32-bit build then packs both.
for preset in win64 win32; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
cmake --build --preset win32 --target package
cmake --build --preset win32 --target installer
# The Debian package comes from a release build: the native preset's sanitizers
# would ship their runtimes. Only what the package holds is built here.
cmake --preset native-release >/dev/null
cmake --build --preset native-release --target solvane solvane-wayland solvane-snapshot \
  solvane-tiles default_textures still_clouds deb_files
(cd build/native-release && cpack -G DEB >/dev/null)
ctest --preset native "$@"
