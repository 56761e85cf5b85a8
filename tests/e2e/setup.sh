#!/usr/bin/env bash
# Fixture set-up of the end-to-end tests, once per CTest run: picks the saver
# this machine can run, starts an Xvfb display of its own, boots a fresh Wine
# prefix under the build tree and writes what it chose to $E2E_WORK/state.env.
set -euo pipefail
: "${E2E_WORK:?}" "${E2E_WIN32_DIR:?}" "${E2E_WIN64_DIR:?}" "${E2E_TILES_SOURCE:?}"
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$E2E_WORK"

# Whatever a previous run left behind goes first.
"$here/cleanup.sh" || true

# The 32-bit saver is the product; it runs only where the 32-bit loader can.
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1 &&
    [ -f "$E2E_WIN32_DIR/solvane.scr" ]; then
    arch=win32
    loader=/usr/lib/wine/wine
    build=$E2E_WIN32_DIR
else
    arch=win64
    loader=/usr/lib/wine/wine64
    build=$E2E_WIN64_DIR
fi
echo "-- running the $arch saver with $loader"
scr=$build/solvane.scr
windows=$build/tests/e2e/windows
[ -f "$scr" ] || { echo "no $scr: build the $arch preset first" >&2; exit 1; }
for f in PASSWORD.CPL MPR.DLL preview_host.exe e2e_helper.exe; do
    [ -f "$windows/$f" ] || { echo "no $windows/$f: build the $arch preset first" >&2; exit 1; }
done

read -r display xvfbPid < <("$here/start_xvfb.sh" "$E2E_WORK/xvfb.log") || exit 1
echo "-- Xvfb $display (pid $xvfbPid)"

prefix=$E2E_WORK/prefix
rm -rf "$prefix"
export DISPLAY=$display WINEPREFIX=$prefix WINEARCH=$arch WINELOADER=$loader WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The 64-bit boot complains about syswow64 on a machine without 32-bit support.
timeout 120 "$loader" wineboot -i >"$E2E_WORK/boot.log" 2>&1 || true
timeout 60 /usr/bin/wineserver -w || true
[ -f "$prefix/system.reg" ] || { echo "the Wine prefix did not boot" >&2; cat "$E2E_WORK/boot.log" >&2; exit 1; }
# A crash ends the process instead of waiting in a dialog.
"$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
/usr/bin/wineserver -w
# Kept up for the whole run: each test then starts its programs at once.
/usr/bin/wineserver -p </dev/null >/dev/null 2>&1

tiles=$E2E_TILES_SOURCE
if [ ! -f "$tiles/d11.bmp" ]; then
    tiles=$E2E_WORK/tiles
    "$here/make_test_tiles.sh" "$tiles"
fi
[ -f "$tiles/tex.tex" ] || echo "Solvane texture folder" >"$tiles/tex.tex"
echo "-- textures from $tiles"

cat >"$E2E_WORK/state.env" <<STATE
E2E_ARCH=$arch
E2E_SCR=$scr
E2E_WINDOWS_DIR=$windows
E2E_TILES=$tiles
XVFB_PID=$xvfbPid
DISPLAY=$display
WINEPREFIX=$prefix
WINEARCH=$arch
WINELOADER=$loader
WINESERVER=/usr/bin/wineserver
CENTRE_X=512
CENTRE_Y=384
STATE
