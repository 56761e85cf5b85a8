#!/usr/bin/env bash
# Fixture of the whole end-to-end run: boots one Wine prefix that every station
# copies (booting takes a while; a copy of hard links takes nothing), finds out how
# this machine runs 32-bit Windows programs, and settles the texture tiles.
# Writes $E2E_WORK/run.env.
set -euo pipefail
: "${E2E_WORK:?}" "${E2E_TILES_SOURCE:?}"
here=$(cd "$(dirname "$0")" && pwd)
# Nothing of an outer faked clock reaches Wine (see CleanClock in lib.sh).
unset LD_PRELOAD "${!FAKETIME@}"
mkdir -p "$E2E_WORK"
# Without a Windows build every case skips: no prefix to boot (CTest's skip code).
if [ ! -f "${E2E_WIN32_DIR:-}/solvane.scr" ] && [ ! -f "${E2E_WIN64_DIR:-}/solvane.scr" ]; then
    echo "SKIP: no Windows build: cmake --preset win32 && cmake --build --preset win32 (and win64)"
    exit 77
fi

template=$E2E_WORK/prefix-template
rm -rf "$template" "$E2E_WORK/run.env"
export WINEPREFIX=$template WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# No display while booting: nothing here shows a window, and no Xvfb needs to outlive it.
unset DISPLAY
# A 64-bit prefix holds both kinds of program: the 64-bit ones in system32, the
# 32-bit ones in syswow64.
timeout 300 /usr/lib/wine/wine64 wineboot -i >"$E2E_WORK/boot.log" 2>&1 || true
timeout 120 /usr/bin/wineserver -w || true
[ -f "$template/system.reg" ] || { echo "the Wine prefix did not boot" >&2; cat "$E2E_WORK/boot.log" >&2; exit 1; }
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >/dev/null 2>&1 || { echo "cannot write the prefix's registry" >&2; exit 1; }

# Where the 32-bit loader runs, the boot filled syswow64 itself. Where the kernel
# refuses 32-bit code, the 64-bit boot could not, and QEMU runs the 32-bit loader:
# it then finds Wine's i386 DLLs through links.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    win32=native
else
    win32=emulated
    command -v qemu-i386 >/dev/null || { echo "no qemu-i386: run scripts/install-deps.sh" >&2; exit 1; }
    syswow64=$template/drive_c/windows/syswow64
    [ -f "$syswow64/kernel32.dll" ] || cp -s /usr/lib/i386-linux-gnu/wine/i386-windows/* "$syswow64/"
fi
timeout 120 /usr/bin/wineserver -w || true
echo "-- prefix booted; 32-bit programs run $win32"

tiles=$E2E_TILES_SOURCE
if [ ! -f "$tiles/d11.bmp" ]; then
    tiles=$E2E_WORK/tiles
    "$here/make_test_tiles.sh" "$tiles"
fi
[ -f "$tiles/tex.tex" ] || echo "Solvane texture folder" >"$tiles/tex.tex"
echo "-- textures from $tiles"

cat >"$E2E_WORK/run.env" <<STATE
E2E_WIN32_RUNS=$win32
E2E_TILES=$tiles
E2E_TEMPLATE=$template
STATE
