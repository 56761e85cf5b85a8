#!/usr/bin/env bash
# The saver on a display scaled to 150 % (LogPixels 144) and 200 % (192), where the
# clock's strokes widen with the scale to keep their weight. Wine 8 treats every
# program as aware of the scale, with a manifest or without (an unaware program's
# window is neither shrunk nor stretched, and dpi_probe reports per-monitor
# awareness for any window), so what can be seen here is that the saver draws the
# whole screen at its physical pixels, and that Wine reads the saver's manifest and
# binds what it asks for. What the manifest declares is checked in both builds by
# the package tests. The case has a station of its own: the scale stays in its
# prefix.
#   dpi_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

ExpectTrace() { # trace pattern what
    grep -q -- "$2" "$1" || Fail "Wine's actctx trace does not show $3"
    Note "Wine: $3"
}

# The saver on a display of `dpi` starts; its window covers the physical pixels.
# Sets DIR.
StartScaled() { # dpi name
    RegAdd 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$1"
    RegAdd 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' \
        LogPixels REG_DWORD "$1"
    # Wine takes the scale when its server starts.
    StopWine
    StartWineServer

    DIR=$(SaverDir "$2")
    WINEDEBUG=+actctx StartSaver "$DIR"

    # Scaled, and the window covers the screen's physical pixels.
    ExpectProbed "$DIR/probe.txt" "system-dpi $1" "window 0 0 $SCREEN_WIDTH $SCREEN_HEIGHT"
    local geometry
    geometry=$(xwininfo -id "$SAVER_WINDOW" |
        awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
    [ "$geometry" = "${SCREEN_WIDTH}x$SCREEN_HEIGHT" ] ||
        Fail "the saver's X window is $geometry, not the screen's ${SCREEN_WIDTH}x$SCREEN_HEIGHT"
}

# The picture is the oracle's above the clock, and the clock's strokes, drawn at
# the display's scale, light at least `weight` times the pixels of the oracle's,
# whose strokes are one pixel wide.
ExpectScaledPicture() { # name weight
    local base=$STATION_DIR/cases/$1 saverLit oracleLit
    ExpectOracleIn "$1" "${SCREEN_WIDTH}x$SCREEN_HEIGHT+0+0" "$E2E_TILES" \
        "${SCREEN_WIDTH}x$((SCREEN_HEIGHT - 70))+0+0"
    saverLit=$(LitShare "$base-saver.png" "$CLOCK_AREA")
    oracleLit=$(LitShare "$base-oracle.png" "$CLOCK_AREA")
    Note "the clock lights $saverLit of its corner, $oracleLit at 96 DPI"
    FloatAbove "$saverLit" "$(awk -v o="$oracleLit" -v w="$2" 'BEGIN { print o * w }')" ||
        Fail "the clock's strokes are not $2 times as heavy: $saverLit against $oracleLit"
}

Case_scaled_display_physical_pixels() {
    StartScaled 144 scaled
    # Drawn at the physical size: the picture drawn at two thirds of it and scaled
    # up, as a saver unaware of the scale would be shown, differs from the oracle
    # in 3312 pixels at this moment (measured, the text included), along the edges
    # of the globe and of the text.
    ExpectScaledPicture scaled 1.3
    CloseWithSpace "on the scaled display"

    local trace=$DIR/saver.out.err
    ExpectTrace "$trace" 'looking for res #0001 in module .*solvane.scr' \
        "it looks for the manifest as resource 1 of solvane.scr"
    ExpectTrace "$trace" 'got L"dpiAwareness" L"PerMonitorV2, PerMonitor"' \
        "per-monitor v2 awareness read"
    ExpectTrace "$trace" 'got L"dpiAware" L"true/pm"' "the dpiAware fallback read"
    if [ "$E2E_ARCH" = win32 ] && [ "$E2E_WIN32_RUNS" = emulated ]; then
        # The prefix was booted without the 32-bit loader, which installs the 32-bit
        # side-by-side assemblies: there is no 32-bit common controls 6 to bind.
        Note "common controls 6: not bound here, where the prefix has no 32-bit assemblies"
    else
        ExpectTrace "$trace" \
            'loading manifest file .*microsoft.windows.common-controls_6595b64144ccf1df_6\.' \
            "common controls 6 bound"
    fi
}

# At 200 % the clock's strokes are two pixels wide. (At 150 % they are too: the GL
# rounds the width of lines drawn without smoothing.)
Case_doubled_display_clock_weight() {
    StartScaled 192 doubled
    ExpectScaledPicture doubled 1.6
    CloseWithSpace "on the display scaled to 200 %"
}

RunCase "$1"
