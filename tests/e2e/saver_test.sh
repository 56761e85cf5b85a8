#!/usr/bin/env bash
# The full-screen saver: what it shows, and what closes it and what does not.
#   saver_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The window covers the screen and shows, once its camera is aligned, exactly the
# picture solvane-snapshot renders for the same moment: globe, light and clock text.
ExpectFullScreenOracle() { # name
    local geometry
    geometry=$(xdotool getwindowgeometry "$SAVER_WINDOW" | awk '/Geometry/ { print $2 }')
    [ "$geometry" = "${SCREEN_WIDTH}x$SCREEN_HEIGHT" ] ||
        Fail "SaverWindow is $geometry, not the screen's ${SCREEN_WIDTH}x$SCREEN_HEIGHT"
    ExpectOracle "$1"
}

# Dusk over North America on 20 June, local time (UTC is already 21 June): the
# terminator crosses the view, city lights on its night side, and the clock shows
# the local date. The saver is above a window that is always on top and was there
# first: for Windows too, which finds the saver at that window's place (Wine, which
# has no window manager here, stacks the later X window on top either way). The
# space bar ends the saver with exit code 0.
Case_picture_at_dusk() {
    AtMoment 2026-06-21T00:01:17Z SLV+5
    local dir
    dir=$(SaverDir dusk)
    StartHelper "$dir/other.out" e2e_helper.exe window "Always on top" $((3 * START_BOUND * 1000))
    [ -n "$(WaitWindow '^Always on top$' "$START_BOUND")" ] || Fail "no window always on top"
    StartSaver "$dir"
    ExpectFullScreenOracle dusk
    ProbeSaverWindow "$dir/probe.txt" 250 200
    grep -qx 'window-at 250 200 SaverWindow' "$dir/probe.txt" ||
        Fail "the saver is not above the window always on top: $(cat "$dir/probe.txt")"
    CloseWithSpace "after the space bar"
}

# Midday over the open Indian Ocean, where a picture has little texture to show;
# then keys other than the space bar steer the camera (keypad 6 orbits it) or do
# nothing, and none closes the saver.
Case_picture_over_ocean_other_keys() {
    AtMoment 2026-12-07T06:40:00Z SLV-7
    local dir
    dir=$(SaverDir ocean)
    StartSaver "$dir"
    ExpectFullScreenOracle ocean
    TurnCameraAway ocean
    local key
    for key in a Return Escape KP_8 Num_Lock Tab F1; do
        PressKey "$key"
    done
    StillRunningAfter "$SAVER_PID" 2 || Fail "a key other than space closed the saver"
    WindowExists '^SaverWindow$' || Fail "SaverWindow gone after other keys"
    CloseWithSpace "after the space bar"
}

# Travel is measured from where the pointer stood at the start, on each axis:
# exactly the threshold on both axes at once stays, one pixel more on either
# closes. The camera key after the moves shows when the saver has handled them.
ThresholdRun() { # name threshold closing-axis(x|y)
    local dir
    dir=$(SaverDir "$1")
    local threshold=$2 axis=$3
    StartSaver "$dir"
    ExpectOracle "$1"
    local x=$CENTRE_X y=$CENTRE_Y
    # Back and forth within the threshold, ending on it on both axes.
    ParkPointer $((x - threshold)) "$y"
    ParkPointer $((x + threshold)) "$y"
    ParkPointer $((x + threshold)) $((y - threshold))
    ParkPointer $((x + threshold)) $((y + threshold))
    TurnCameraAway "$1"
    StillRunningAfter "$SAVER_PID" 1 ||
        Fail "travel of exactly $threshold pixels closed the saver"
    if [ "$axis" = x ]; then
        ParkPointer $((x + threshold + 1)) $((y + threshold))
    else
        ParkPointer $((x + threshold)) $((y + threshold + 1))
    fi
    ExpectSaverExit "after travel of $((threshold + 1)) pixels on $axis"
}

Case_mouse_threshold_default() { ThresholdRun threshold 50 y; }

Case_mouse_threshold_from_registry() {
    RegAdd "$SCREEN_SAVERS_KEY" "Mouse Threshold" REG_DWORD 7
    ThresholdRun threshold-registry 7 x
}

# The calendar clock stepped while the saver runs, back an hour and on a day: the
# next second's frame shows each new moment and nothing stalls. The camera keeps
# the alignment of the saver's start, which the oracle of the new moment does not
# share, so the clock text is what is compared. Then, with the clock running, two
# pictures 1.5 s apart differ in the clock's text.
Case_stepped_clock() {
    SteppableClock
    local dir
    dir=$(SaverDir stepped)
    StartSaver "$dir"
    ExpectOracle stepped
    local whole=${SCREEN_WIDTH}x$SCREEN_HEIGHT+0+0
    StepClock 2026-12-22T11:00:07Z
    ExpectOracleIn stepped-back "$whole" "$E2E_TILES" "$CLOCK_AREA"
    StepClock 2026-12-23T12:00:07Z
    ExpectOracleIn stepped-day "$whole" "$E2E_TILES" "$CLOCK_AREA"
    local first=$dir/running-1.png second=$dir/running-2.png standing=$dir/standing.png
    Screenshot "$SAVER_WINDOW" "$standing" "$CLOCK_AREA" || Fail "no picture of the saver"
    StepClock 2026-12-23T12:01:00Z running
    ClockMoved() {
        Screenshot "$SAVER_WINDOW" "$first" "$CLOCK_AREA" &&
            [ "$(compare -metric AE "$first" "$standing" null: 2>&1 || true)" != 0 ]
    }
    WaitUntil "$EXIT_BOUND" ClockMoved || Fail "the clock did not start running"
    sleep 1.5
    Screenshot "$SAVER_WINDOW" "$second" "$CLOCK_AREA" || Fail "no picture of the saver"
    [ "$(compare -metric AE "$first" "$second" null: 2>&1 || true)" != 0 ] ||
        Fail "the clock's text stood still for 1.5 s: $first, $second"
    CloseWithSpace "after the stepped clock"
}

# Taking the activation away ends the saver, as the screen-saver machinery
# expects when another program comes to the front.
Case_deactivation_closes() {
    local dir
    dir=$(SaverDir deactivation)
    StartSaver "$dir"
    StartHelper "$dir/other.out" e2e_helper.exe window "Another program" 15000
    local other=$LAST_PID
    ExpectSaverExit "after losing activation"
    WaitExit "$other" "$START_BOUND"
}

# Without OpenGL the saver says so in a message box and, once it is answered, ends
# with a status that is not 0, so that whoever started it can tell.
Case_no_opengl_fails() {
    local dir
    dir=$(SaverDir no-opengl)
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;opengl32=d" LaunchSaver "$dir" /s
    local box
    box=$(ExpectWindow '^Error$' "$START_BOUND" "message box when OpenGL cannot be loaded")
    FocusWindow "$box"
    PressKey Return
    WaitExit "$SAVER_PID" "$EXIT_BOUND"
    case $EXIT_CODE in
    0 | timeout) Fail "exit code without OpenGL: $EXIT_CODE" ;;
    esac
}

# The Natural look, chosen in the registry: at dusk its blend of day and night, with
# twilight and city lights, is solvane-snapshot's --look natural picture, which the
# Classic look's is not.
Case_natural_look_from_registry() {
    AtMoment 2026-06-21T00:01:17Z SLV+5
    RegAdd "$APP_KEY" Look REG_DWORD 1
    local dir
    dir=$(SaverDir natural)
    StartSaver "$dir"
    ORACLE_OPTIONS=(--look natural)
    ExpectOracle natural
    CloseWithSpace "in the Natural look"
}

# Two cloud maps of the fetcher's least size that no camera can miss: good.jpg, as
# a server would send it, bands along the parallels; other.png bands along meridians.
MakeCloudMaps() { # folder
    convert -size 1024x512 xc:black -fill white -draw \
        'rectangle 0,150 1023,185 rectangle 0,260 1023,300 rectangle 0,350 1023,375' \
        -blur 0x6 -colorspace Gray -quality 90 "$1/good.jpg" || Fail "cannot make good.jpg"
    convert -size 1024x512 xc:black -fill white -draw \
        'rectangle 0,0 63,511 rectangle 256,0 319,511 rectangle 512,0 575,511 rectangle 768,0 831,511' \
        -blur 0x6 -colorspace Gray -depth 8 "$1/other.png" || Fail "cannot make other.png"
}

# Live clouds from a server on the loopback, nothing cached yet: the saver fetches the
# map beside its frame loop and, without a restart, shows it as solvane-snapshot
# --clouds draws it (WinHTTP and WIC's decoding under Wine); the cache keeps the
# image as served, fetched at the saver's moment. Then the server's map changes and
# the kept one ages past its refresh and retry times (as a night, or another saver's
# cache, ages it): the running fetcher, which looks at the cache every minute,
# fetches and shows the new map, still without a restart.
Case_live_clouds_from_loopback() {
    local dir cache
    dir=$(SaverDir live)
    MakeCloudMaps "$dir"
    convert "$dir/other.png" -quality 90 "$dir/second.jpg" || Fail "cannot make second.jpg"
    StartCloudServer "$dir"
    RegAdd "$APP_KEY" Clouds REG_DWORD 2
    RegAdd "$APP_KEY" CloudsUrl REG_SZ "http://127.0.0.1:$CLOUD_PORT/good.jpg"
    StartSaver "$dir"
    ORACLE_OPTIONS=(--clouds "$dir/good.jpg")
    ExpectOracle live
    cache=$(CloudCacheDir)
    cmp -s "$cache/clouds.img" "$dir/good.jpg" || Fail "the cache does not hold the served image"
    grep -qx "fetched $MOMENT_SECONDS" "$cache/clouds.state" ||
        Fail "the cache's state is not of the saver's moment: $(cat "$cache/clouds.state")"
    cp "$dir/good.jpg" "$dir/first.jpg"
    cp "$dir/second.jpg" "$dir/good.jpg.new" && mv "$dir/good.jpg.new" "$dir/good.jpg"
    SeedCloudCache "$dir/first.jpg"
    ORACLE_OPTIONS=(--clouds "$dir/second.jpg")
    ExpectOracle live-refreshed
    cmp -s "$cache/clouds.img" "$dir/second.jpg" || Fail "the cache does not hold the new map"
    CloseWithSpace "with live clouds"
}

# A server that fails the fetch, with clouds cached and due for a refresh: the cached
# clouds stay on the screen and in the cache, and the space bar ends the saver as
# ever, while a body comes one byte a second (the fetch is abandoned, not awaited)
# and after a body cut off halfway.
Case_bad_server_keeps_clouds_and_closes() {
    local dir path
    dir=$(SaverDir bad-server)
    MakeCloudMaps "$dir"
    StartCloudServer "$dir"
    RegAdd "$APP_KEY" Clouds REG_DWORD 2
    ORACLE_OPTIONS=(--clouds "$dir/other.png")
    for path in slow half; do
        SeedCloudCache "$dir/other.png"
        RegAdd "$APP_KEY" CloudsUrl REG_SZ "http://127.0.0.1:$CLOUD_PORT/$path"
        StartSaver "$dir"
        ExpectFetchBegun
        ExpectOracle "kept-$path"
        CloseWithSpace "during or after the /$path fetch"
        cmp -s "$(CloudCacheDir)/clouds.img" "$dir/other.png" ||
            Fail "the /$path fetch replaced the cached image"
    done
}

RunCase "$1"
