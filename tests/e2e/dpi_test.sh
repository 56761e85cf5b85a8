#!/usr/bin/env bash
# The saver on a display scaled to 150 % (LogPixels 144). Wine 8 treats every
# program as aware of the scale, with a manifest or without (an unaware program's
# window is not shrunk or stretched, and dpi_probe reports awareness 2 for any
# window), so what can be seen here is that the saver draws the whole screen at its
# physical pixels, and that Wine reads the saver's manifest and binds what it asks
# for. That the manifest declares the right things is checked in both builds by the
# package tests.
#   dpi_test.sh <case>
# Environment: PLATFORM_WORK, SAVER64, PROBE64, SOLVANE_SNAPSHOT, TILES.
set -euo pipefail
source "$(dirname "$0")/platform_lib.sh"
: "${SAVER64:?}" "${PROBE64:?}" "${SOLVANE_SNAPSHOT:?}" "${TILES:?}"

ExpectTrace() { # trace pattern what
    grep -q -- "$2" "$1" || Fail "Wine's actctx trace does not show $3"
    Note "Wine: $3"
}

Case_scaled_display_physical_pixels() {
    BeginCase scaled
    StartXvfb
    BootPrefix
    RegSet 'HKCU\Software\QMT_kvr' path REG_SZ "$(Wine64 winepath -w "$TILES/" | tr -d '\r')"
    RegSet 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD 144
    RegSet 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        LogPixels REG_DWORD 144
    RestartWineServer

    xdotool mousemove 512 384
    WINEDEBUG=+actctx StartFrozen "$CASE_DIR/saver.out" "$SAVER64" /s
    WaitSaverDrawing 60

    local probe=$CASE_DIR/probe.txt
    Probe "$probe"
    grep -qx 'system-dpi 144' "$probe" || Fail "the display is not scaled to 144 dots per inch"
    grep -qx 'window 0 0 1024 768' "$probe" ||
        Fail "the saver window does not cover the screen's 1024 x 768 physical pixels"
    local geometry
    geometry=$(xwininfo -id "$SAVER_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$geometry" = 1024x768 ] || Fail "the saver's X window is $geometry, not 1024x768"

    # Drawn at the physical size: a picture drawn at 683 x 512 and scaled up would
    # differ from the 1024 x 768 oracle almost everywhere along the globe.
    local png=$CASE_DIR/screen.png
    ScreenshotRoot "$png"
    Note "screenshot: $png"
    ExpectOracle "$png" 1024x768+0+0 screen
    CloseWithSpace

    local trace=$CASE_DIR/saver.out.err
    ExpectTrace "$trace" 'looking for res #0001 in module .*solvane.scr' \
        "it looks for the manifest as resource 1 of solvane.scr"
    ExpectTrace "$trace" 'got L"dpiAwareness" L"PerMonitorV2, PerMonitor"' \
        "per-monitor v2 awareness read"
    ExpectTrace "$trace" 'got L"dpiAware" L"true/pm"' "the dpiAware fallback read"
    ExpectTrace "$trace" \
        'loading manifest file .*microsoft.windows.common-controls_6595b64144ccf1df_6\.' \
        "common controls 6 bound"
}

"Case_$1"
echo "PASS $1"
