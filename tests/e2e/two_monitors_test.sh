#!/usr/bin/env bash
# The saver on two monitors of different sizes, the primary on the right, so that
# the other one lies at negative Windows coordinates (layout "two" of
# start_dummy_xorg.sh): one window over both, each monitor showing the picture a
# screen of its own size would, and the close policy measuring travel on the
# whole virtual screen; the user's other layouts; displays changed while it runs.
#   two_monitors_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The monitors in X's coordinates, which are also the saver window's: the left one
# at 0,0, the primary at 1280,0, and no monitor below the primary. LaunchSaver parks
# the pointer at 512,384: on the left monitor, at -768,384 for Windows.
readonly LEFT=1280x1024+0+0 RIGHT=1024x768+1280+0 BELOW_RIGHT=1024x256+1280+768

Case_each_monitor_its_own_picture() {
    StartMonitorsDisplay two
    local dir
    dir=$(SaverDir two-monitors)
    StartSaver "$dir"

    # What Windows reports: two monitors, and the saver's window over both.
    ExpectProbed "$dir/probe.txt" 'monitor -1280 0 0 1024' 'virtual-screen -1280 0 1024 1024' \
        'window -1280 0 1024 1024'

    ExpectOracleIn two-monitors-left "$LEFT"
    ExpectOracleIn two-monitors-right "$RIGHT"
    local whole=$dir/both-monitors.png below
    Screenshot "$SAVER_WINDOW" "$whole" || Fail "no picture of the saver"
    Note "both monitors: $whole"
    below=$(convert "$whole" -crop "$BELOW_RIGHT" +repage -format '%[fx:maxima]' info:)
    [ "$below" = 0 ] || Fail "something is drawn below the smaller monitor (maximum $below)"
    CloseWithSpace "on two monitors"
}

# On the left monitor, at negative x, travel of exactly the default threshold (50
# pixels) on both axes keeps the saver, one pixel more closes it.
Case_travel_on_the_negative_side() {
    StartMonitorsDisplay two
    local dir
    dir=$(SaverDir travel)
    StartSaver "$dir"
    ExpectOracleIn travel "$LEFT"
    local x=$CENTRE_X y=$CENTRE_Y
    ParkPointer $((x - 50)) "$y"
    ParkPointer $((x + 50)) "$y"
    ParkPointer $((x + 50)) $((y - 50))
    ParkPointer $((x + 50)) $((y + 50))
    TurnCameraAway travel
    StillRunningAfter "$SAVER_PID" 1 || Fail "travel of exactly 50 pixels closed the saver"
    ParkPointer $((x + 51)) $((y + 50))
    ExpectSaverExit "after travel of 51 pixels on the left monitor"
}

# The user's choice of layout (Monitors under the application's key). Across all:
# one globe over the whole virtual screen with its aspect, across the seam. Main
# only: the primary's picture, black elsewhere. The window covers the virtual
# screen either way, so the close policy does too.
Case_monitor_settings() {
    StartMonitorsDisplay two
    RegAdd "$APP_KEY" Monitors REG_DWORD 1
    local dir
    dir=$(SaverDir across)
    StartSaver "$dir"
    ExpectOracleIn across 2304x1024+0+0
    CloseWithSpace "with one globe across the monitors"

    RegAdd "$APP_KEY" Monitors REG_DWORD 2
    dir=$(SaverDir main-only)
    StartSaver "$dir"
    # The window covers the virtual screen all the same.
    ExpectProbed "$dir/probe.txt" 'window -1280 0 1024 1024'
    ExpectOracleIn main-only "$RIGHT"
    local whole=$dir/both-monitors.png part
    Screenshot "$SAVER_WINDOW" "$whole" || Fail "no picture of the saver"
    for part in "$LEFT" "$BELOW_RIGHT"; do
        [ "$(convert "$whole" -crop "$part" +repage -format '%[fx:maxima]' info:)" = 0 ] ||
            Fail "something is drawn at $part beside the main monitor: $whole"
    done
    CloseWithSpace "on the main monitor only"
}

# Displays changed under the running saver (layout "right"): the second monitor
# switched off, back on at a larger size, then the primary's resolution lowered.
# After each change the saver runs on, in the one GL context it made, and every
# monitor present shows its own picture; then travel still counts from where the
# pointer stood, on the primary.
Case_display_changes() {
    StartMonitorsDisplay right
    local dir
    dir=$(SaverDir display-changes)
    WINEDEBUG=-all,+wgl StartSaver "$dir"
    ExpectOracleIn changes-first 1024x768+0+0
    ExpectOracleIn changes-second 1024x768+1024+0

    ChangeMonitors 1 DUMMY1 off
    ExpectOracleIn changes-alone 1024x768+0+0
    ExpectProbed "$dir/probe.txt" 'window 0 0 1024 768'  # it follows the virtual screen

    ChangeMonitors 2 DUMMY1 1280x1024 --right-of DUMMY0
    ExpectOracleIn changes-larger 1280x1024+1024+0
    ExpectOracleIn changes-primary 1024x768+0+0

    ChangeMonitors 2 DUMMY0 800x600
    ExpectOracleIn changes-lower 800x600+0+0
    ExpectOracleIn changes-larger-again 1280x1024+1024+0
    [ "$(grep -c 'wglCreateContext' "$dir/saver.out.err")" = 1 ] ||
        Fail "the saver made another GL context for the new displays"

    local x=$CENTRE_X y=$CENTRE_Y
    ParkPointer $((x + 50)) $((y - 50))
    TurnCameraAway changes-lower
    StillRunningAfter "$SAVER_PID" 1 || Fail "travel of 50 pixels closed the saver"
    ParkPointer $((x + 51)) $((y - 50))
    ExpectSaverExit "after travel of 51 pixels once the displays changed"
}

RunCase "$1"
