#!/usr/bin/env bash
# Installs every Debian package Solvane needs to build, test and run.
# Idempotent and quiet: packages already present are not fetched again.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  # host build and tests
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev valgrind
  # GL for the host tools and tests (headless EGL through Mesa)
  libgl-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  # image codecs and the source imagery of the default tiles
  libstb-dev xplanet-images
  # the Windows build
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  # running the saver on Linux, and its end-to-end tests
  wine wine32:i386 wine64 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  xvfb xdotool x11-apps x11-utils imagemagick
  # the 32-bit saver and installer where the kernel refuses 32-bit code,
  # and chosen moments for both architectures
  qemu-user faketime gcc-i686-linux-gnu libc6-dev-i386-cross
  # two monitors in tests: Xorg's dummy driver gives RandR outputs Wine sees
  xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils
  # the Windows installer; reading and checking the manifest the .scr files embed
  nsis icoutils libxml2-utils
  # the Linux display hack, the real daemon that runs it, and its package
  libx11-dev xscreensaver xscreensaver-gl dpkg-dev
  # a fresh Debian root for installing the package as a user would (by hand)
  debootstrap
  # the peer saver that the frame-rate benchmark measures against
  xscreensaver-gl-extra
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

# wine32 lives in the i386 architecture
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
