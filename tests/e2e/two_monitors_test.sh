#!/usr/bin/env bash
# The saver on two monitors of different sizes, the primary on the right, so that
# the other one lies at negative Windows coordinates. Xorg's dummy driver gives
# Wine the two monitors through RandR (Xvfb cannot). The 64-bit saver runs here:
# what is tested is Windows' monitor layout and our drawing into it, which are the
# same code in both builds.
#   two_monitors_test.sh <case>
# Environment: PLATFORM_WORK, SAVER64 (solvane.scr), PROBE64 (dpi_probe.exe),
# SOLVANE_SNAPSHOT, TILES (the default texture folder).
set -euo pipefail
source "$(dirname "$0")/platform_lib.sh"
: "${SAVER64:?}" "${PROBE64:?}" "${SOLVANE_SNAPSHOT:?}" "${TILES:?}"

# X places the outputs from its own origin: the left monitor at 0,0 and the primary
# at 1280,0. Windows puts the primary's top left at 0,0.
readonly LEFT=1280x1024+0+0 RIGHT=1024x768+1280+0 BELOW_RIGHT=1024x256+1280+768

SetUpTwoMonitors() {
    BeginCase "$1"
    StartDummyXorg
    xrandr --output DUMMY0 --mode 1024x768 --primary
    xrandr --addmode DUMMY1 1280x1024
    xrandr --output DUMMY1 --mode 1280x1024 --left-of DUMMY0
    # Also what makes Wine see both: booted without this question, the prefix found
    # one monitor and kept it.
    xrandr --listmonitors | grep -q '^Monitors: 2' || Fail "RandR shows no two monitors"
    BootPrefix
    RegSet 'HKCU\Software\QMT_kvr' path REG_SZ "$(Wine64 winepath -w "$TILES/" | tr -d '\r')"
}

StartSaverAt() { # x y (X coordinates of the pointer)
    xdotool mousemove --sync "$1" "$2" 2>/dev/null || xdotool mousemove "$1" "$2"
    StartFrozen "$CASE_DIR/saver.out" "$SAVER64" /s
    WaitSaverDrawing 60
}

# One window over both monitors; each monitor shows the picture a screen of its own
# size would, clock included; nothing is drawn where no monitor is.
Case_each_monitor_its_own_picture() {
    SetUpTwoMonitors each_monitor
    StartSaverAt 1792 384

    local probe=$CASE_DIR/probe.txt
    Probe "$probe"
    grep -qx 'virtual-screen -1280 0 1024 1024' "$probe" ||
        Fail "Wine does not report the two monitors' virtual screen"
    grep -qx 'monitor -1280 0 0 1024' "$probe" || Fail "Wine reports no left monitor"
    grep -qx 'window -1280 0 1024 1024' "$probe" ||
        Fail "the saver window does not cover the virtual screen"

    local png=$CASE_DIR/screen.png
    ScreenshotRoot "$png"
    Note "screenshot: $png"
    ExpectOracle "$png" "$LEFT" left
    ExpectOracle "$png" "$RIGHT" right
    local below
    below=$(convert "$png" -crop "$BELOW_RIGHT" +repage -format '%[fx:maxima]' info:)
    [ "$below" = 0 ] || Fail "something is drawn below the smaller monitor (maximum $below)"
    CloseWithSpace
}

# Travel is measured on the virtual screen: on the left monitor, at negative x,
# 50 pixels (the default threshold) keep the saver, 51 close it.
Case_travel_on_the_negative_side() {
    SetUpTwoMonitors travel
    StartSaverAt 640 512
    xdotool mousemove 590 512
    sleep 3
    kill -0 "$SAVER_PID" 2>/dev/null || Fail "50 pixels of travel closed the saver"
    xdotool mousemove 589 512
    WaitExit "$SAVER_PID" 30
    [ "$EXIT_CODE" = 0 ] || Fail "51 pixels of travel did not close the saver: $EXIT_CODE"
}

"Case_$1"
echo "PASS $1"
