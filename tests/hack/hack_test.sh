#!/usr/bin/env bash
# The hack on an Xvfb of its own: where it draws, what it draws (against the oracle),
# its own window's keypad, size and close, and how it ends.
#   hack_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# A window of someone else's, as XScreenSaver's daemon makes one; HOST is its id.
StartHost() { # WxH
    "$X_HELPER" host "$1" >"$CASE_DIR/host.id" 2>"$CASE_DIR/host.err" &
    Track $!
    WaitUntil 10 test -s "$CASE_DIR/host.id" || Fail "the host window did not come"
    HOST=$(cat "$CASE_DIR/host.id")
}

Case_root() {
    StartHack -root -textures "$HACK_TILES"
    ExpectPicture root 1024x768 root
    ExpectCleanEnd 20 TERM

    # With the clock running it draws each second by itself: pictures 1.5 s apart keep
    # changing, three times in a row, which its first two frames alone cannot do.
    HACK_FAKETIME="@$MOMENT" StartHack -root -textures "$HACK_TILES"
    local changes=0 shot=0
    Screenshot root "$CASE_DIR/running-0.png" || Fail "no picture of the root window"
    while [ "$changes" -lt 3 ] && [ "$shot" -lt 30 ] && sleep 1.5 && ExpectRunning; do
        shot=$((shot + 1))
        Screenshot root "$CASE_DIR/running-$shot.png" || Fail "no picture of the root window"
        changes=$(($(Mismatches "$CASE_DIR/running-$((shot - 1)).png" "$CASE_DIR/running-$shot.png") > \
            ORACLE_MAX_MISMATCH ? changes + 1 : 0))
    done
    [ "$changes" -ge 3 ] || Fail "the picture stood still with the clock running"

    # A second end signal ends it at once, even while the clean end waits on a server
    # that does not answer. The first must be taken before the second is sent, or the
    # two would arrive as one.
    kill -STOP "$XVFB_PID"
    kill -TERM "$HACK_PID"
    POLL=0.1 WaitUntil 10 eval '! grep -q "^ShdPnd:.*[1-9a-f]" "/proc/$HACK_PID/status"' || true
    kill -TERM "$HACK_PID"
    WaitExit "$HACK_PID" 10
    kill -CONT "$XVFB_PID"
    [ "$EXIT_CODE" = 143 ] || Fail "a second SIGTERM ended the hack with $EXIT_CODE"
}

# As the daemon starts a hack: --root, with its window in the environment; and its
# settings' cleared date and time checkbox.
Case_environment_window() {
    StartHost 640x400
    XSCREENSAVER_WINDOW=$HOST StartHack --root -delay 0 --no-clock -textures "$HACK_TILES"
    ORACLE_OPTIONS=--no-clock ExpectPicture "$HOST" 640x400 environment-window
    # Running free, with no wait between frames, it still ends on a signal.
    ExpectCleanEnd 20 INT
}

# -window-id in decimal; the hack ends by itself, quietly, when its window goes.
Case_window_id() {
    StartHost 640x400
    StartHack -window-id "$((HOST))" -textures "$HACK_TILES"
    ExpectPicture "$HOST" 640x400 window-id
    # Someone else's window, resized: drawn at once at its new size.
    xdotool windowsize "$HOST" 480 300
    ExpectPicture "$HOST" 480x300 window-id-smaller
    "$X_HELPER" destroy "$HOST" || Fail "cannot destroy the host window"
    ExpectCleanEnd 20
}

Case_own_window() {
    unset XSCREENSAVER_WINDOW
    StartHack -textures "$HACK_TILES"
    local window
    window=$(WaitWindow '^Solvane$' 60)
    [ -n "$window" ] || Fail "no window named Solvane: $(cat "$CASE_DIR/hack.err")"
    ExpectPicture "$window" 600x480 own-window

    # A new size goes through the same view set-up as the first.
    xdotool windowsize "$window" 720 405
    ExpectPicture "$window" 720x405 resized

    # Keypad 6 orbits the camera six degrees; keypad 4 turns it back. Num Lock is
    # off on Xvfb, so these are the keys' KP_Right and KP_Left. A step changes about
    # 11600 pixels of the 720x405 view beyond the oracle's tolerance.
    local before=$CASE_DIR/keys-before.png now=$CASE_DIR/keys-now.png changed=0
    Screenshot "$window" "$before" || Fail "no picture of the window"
    FocusWindow "$window"
    Changed() { # test bound
        Screenshot "$window" "$now" && changed=$(Mismatches "$before" "$now")
        test "$changed" "$1" "$2"
    }
    xdotool key KP_Right
    POLL=0.5 WaitUntil 15 Changed -ge 5000 || true
    Note "keypad 6: $changed pixels changed"
    [ "$changed" -ge 5000 ] || Fail "keypad 6 did not turn the view ($changed pixels changed)"
    xdotool key KP_Left
    # Six degrees there and back in floats leaves the camera a hair off, which the
    # tolerance forgives almost whole.
    POLL=0.5 WaitUntil 15 Changed -le 1000 || true
    Note "keypad 4: $changed pixels differ from before keypad 6"
    [ "$changed" -le 1000 ] || Fail "keypad 4 did not turn the view back ($changed pixels differ)"

    # The window manager's close: WM_DELETE_WINDOW.
    "$X_HELPER" close "$window" || Fail "cannot send WM_DELETE_WINDOW"
    ExpectCleanEnd 20
}

# XScreenSaver's hacks end on q and Escape in their own window; so does this one on a
# button, and on pointer travel beyond 50 pixels from where the pointer first showed.
Case_quit_keys() {
    unset XSCREENSAVER_WINDOW
    local key window
    for key in q Escape click travel; do
        StartHack -window -textures "$HACK_TILES"
        window=$(ExpectWindow '^Solvane$' 60 "window named Solvane")
        # The same picture each time: that it stays is seen once.
        if [ "$key" = q ]; then ORACLE_RECHECK=1; else ORACLE_RECHECK=0; fi
        ExpectPicture "$window" 600x480 "quit-$key"
        FocusWindow "$window"
        case $key in
        click) xdotool mousemove --window "$window" 300 240 click 1 ;;
        travel)
            xdotool mousemove --window "$window" 300 240 mousemove --window "$window" 350 290
            sleep 1
            ExpectRunning
            xdotool mousemove --window "$window" 351 240
            ;;
        *) xdotool key "$key" ;;
        esac
        ExpectCleanEnd 20
    done
}

# Missing, empty, cut short and foreign tiles: each is named on stderr, and the globe
# is drawn in its shading alone, grey where lit, never a crash.
Case_bad_tiles() {
    local folder
    folder=$(TileFolder "$CASE_DIR/bad-tiles" "$HACK_TILES" d12.bmp)
    : >"$folder/d21.bmp"
    head -c 200 "$HACK_TILES/n13.bmp" >"$folder/n13.bmp"
    echo "not a bitmap" >"$folder/n21.bmp"
    StartHack -root -textures "$folder"
    local png=$CASE_DIR/bad-tiles.png lit=0 colour
    # The lit left part of the globe at this moment.
    GreyGlobe() {
        ExpectRunning
        Screenshot root "$png" && lit=$(LitShare "$png" 200x300+262+234) && FloatAbove "$lit" 0.2
    }
    POLL=1 WaitUntil 60 GreyGlobe || true
    colour=$(ColourShare "$png" 200x300+262+234)
    Note "bad tiles: lit share $lit, coloured share $colour"
    FloatAbove "$lit" 0.2 || Fail "no lit globe without tiles (lit share $lit)"
    FloatAbove 0.02 "$colour" || Fail "colour on a globe without tiles (coloured share $colour)"
    kill -TERM "$HACK_PID"
    ExpectExit "$HACK_PID" 20 0 "the hack with bad tiles"
    local name
    for name in d12 d21 n13 n21; do
        grep -q "$folder/$name.bmp: " "$CASE_DIR/hack.err" || Fail "$name.bmp is not named on stderr"
    done
    [ "$(grep -c "^  " "$CASE_DIR/hack.err")" = 4 ] || Fail "other tiles named: $(cat "$CASE_DIR/hack.err")"
    grep -q "without pictures" "$CASE_DIR/hack.err" || Fail "no word of the fallback on stderr"
    ! grep -q "X error\|GL error" "$CASE_DIR/hack.err" || Fail "an error on the way"
}

# -fps writes the rate in the top left corner and nothing else changes.
Case_fps() {
    StartHack -root -fps -textures "$HACK_TILES"
    local png=$CASE_DIR/fps.png oracle corner=0 rest=999999999
    oracle=$(Oracle 1024x768)
    # The first frame, drawn before the camera is aligned, differs everywhere.
    RateShown() {
        ExpectRunning
        Screenshot root "$png" || return 1
        corner=$(LitShare "$png" 160x40+0+0)
        rest=$(Mismatches "$png" "$oracle" 1024x700+0+68)
        FloatAbove "$corner" 0.005 && [ "$rest" -le "$ORACLE_MAX_MISMATCH" ]
    }
    POLL=1 WaitUntil 60 RateShown || true
    Note "fps corner: lit share $corner; below it $rest pixels differ from the oracle"
    FloatAbove "$corner" 0.005 || Fail "no frame rate in the corner"
    [ "$rest" -le "$ORACLE_MAX_MISMATCH" ] || Fail "below the corner $rest pixels differ"
    ExpectCleanEnd 20 TERM
}

# What cannot work says so and ends with 1, without a window left behind.
Case_refusals() {
    Refused() { # reason hack-arguments...
        StartHack "${@:2}"
        ExpectExit "$HACK_PID" 20 1 "the hack with ${*:2}" "$CASE_DIR/hack.err" any
        grep -q "$1" "$CASE_DIR/hack.err" || Fail "no \"$1\": $(cat "$CASE_DIR/hack.err")"
    }
    Refused "unknown option '-wireframe'" -root -wireframe
    grep -q "^usage: solvane" "$CASE_DIR/hack.err" || Fail "no usage given"
    Refused "there is no window 0x7ffffff" -window-id 0x7ffffff -textures "$HACK_TILES"
    # Xlib would cut it to 0x400007, another window.
    Refused "'0x100400007' is not a window id" -window-id 0x100400007 -textures "$HACK_TILES"
    Refused "cannot open the display :999" -display :999 -root
}

RunCase "$1"
