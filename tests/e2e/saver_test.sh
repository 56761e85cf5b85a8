#!/usr/bin/env bash
# The full-screen saver: what it shows, and what closes it and what does not.
#   saver_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The window covers the screen and shows a textured, lit globe in the middle;
# the space bar ends it with exit code 0.
Case_picture() {
    local dir
    dir=$(SaverDir picture)
    StartSaver "$dir"
    local geometry
    geometry=$(xdotool getwindowgeometry "$SAVER_WINDOW" | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "1024x768" ] || Fail "SaverWindow is $geometry, not the screen's 1024x768"
    sleep 3
    local png=$E2E_WORK/saver.png
    Screenshot "$SAVER_WINDOW" "$png"
    Note "picture: $png"

    local middle=300x300+362+234
    local lit spread colour
    lit=$(LitShare "$png" "$middle")
    spread=$(RegionStats "$png" "$middle" | awk '{ print $2 }')
    colour=$(ColourShare "$png" "$middle")
    Note "middle: lit $lit, grey spread $spread, coloured $colour"
    FloatAbove "$lit" 0.5 || Fail "the middle of the picture is mostly black (lit share $lit)"
    FloatAbove "$spread" 0.01 || Fail "the middle of the picture is flat (spread $spread): no texture"
    FloatAbove "$colour" 0.2 || Fail "the globe shows no colour (coloured share $colour)"

    CloseWithSpace "after the space bar"
}

# The local date and time stand on rows 23 and 24 of 25: the bottom 62 pixels of
# 768, starting at the left edge, where the globe does not reach.
Case_clock_text() {
    local dir
    dir=$(SaverDir clock)
    StartSaver "$dir"
    sleep 3
    local png=$E2E_WORK/clock.png
    Screenshot "$SAVER_WINDOW" "$png"
    Note "picture: $png"
    local text
    text=$(LitShare "$png" 400x62+0+706)
    Note "clock rows: lit $text"
    FloatAbove "$text" 0.005 || Fail "no clock text on the bottom rows (lit share $text)"
    CloseWithSpace "after the space bar"
}

# Keys other than the space bar steer the camera or do nothing; none closes.
Case_other_keys_keep_running() {
    local dir
    dir=$(SaverDir keys)
    StartSaver "$dir"
    sleep 1
    local key
    for key in a Return Escape KP_6 KP_8 Num_Lock Tab F1; do
        PressKey "$key"
    done
    StillRunningAfter "$SAVER_PID" 2 || Fail "a key other than space closed the saver"
    WindowExists '^SaverWindow$' || Fail "SaverWindow gone after other keys"
    CloseWithSpace "after the space bar"
}

# Travel is measured from where the pointer stood at the start, on each axis:
# exactly the threshold stays, one pixel more closes.
ThresholdRun() { # name threshold axis(x|y)
    local dir
    dir=$(SaverDir "$1")
    local threshold=$2 axis=$3
    StartSaver "$dir"
    sleep 1
    local x=$CENTRE_X y=$CENTRE_Y
    # Back and forth within the threshold, ending on it: never more than it.
    if [ "$axis" = x ]; then
        ParkPointer $((x - threshold)) "$y"
        ParkPointer $((x + threshold)) "$y"
    else
        ParkPointer "$x" $((y - threshold))
        ParkPointer "$x" $((y + threshold))
    fi
    StillRunningAfter "$SAVER_PID" 2 ||
        Fail "travel of exactly $threshold pixels on $axis closed the saver"
    if [ "$axis" = x ]; then
        ParkPointer $((x + threshold + 1)) "$y"
    else
        ParkPointer "$x" $((y + threshold + 1))
    fi
    WaitExit "$SAVER_PID" 15
    [ "$EXIT_CODE" = 0 ] || Fail "travel of $((threshold + 1)) pixels on $axis: exit $EXIT_CODE"
}

Case_mouse_threshold_default() {
    ThresholdRun threshold-x 50 x
    ThresholdRun threshold-y 50 y
}

Case_mouse_threshold_from_registry() {
    RegAdd "$SCREEN_SAVERS_KEY" "Mouse Threshold" REG_DWORD 7
    ThresholdRun threshold-registry 7 x
}

# Taking the activation away ends the saver, as the screen-saver machinery
# expects when another program comes to the front.
Case_deactivation_closes() {
    local dir
    dir=$(SaverDir deactivation)
    StartSaver "$dir"
    sleep 1
    StartWine "$dir/other.out" "$E2E_WINDOWS_DIR/e2e_helper.exe" window "Another program" 5000
    local other=$LAST_PID
    WaitExit "$SAVER_PID" 15
    [ "$EXIT_CODE" = 0 ] || Fail "exit code after losing activation: $EXIT_CODE"
    WaitExit "$other" 10
}

RunCase "$1"
