#!/usr/bin/env bash
# solvane-wayland in a real compositor: Debian's sway, headless, drawing in software,
# run as an ordinary user (sway refuses root). One sway serves every check in turn:
# swayidle's timeout starts the program and its picture is the oracle's; a second
# output gets a surface and a globe of its own at its own size; a second instance on
# the display leaves at once; SIGTERM ends it with status 0; the next one outlives an
# output switched off, draws its clock at the scale of its output, and a key from a
# virtual keyboard ends it within 2 s; swayidle starts
# it again on the next idle, and the compositor's close ends it.
#   wayland_test.sh sway
set -euo pipefail
here=$(dirname "$0")
# The hack's helpers, with the oracle comparison of every system test.
# Its display is the compositor the case starts, not an Xvfb.
HACK_DISPLAY=none
source "$here/../hack/lib.sh"
source "$here/lib.sh"

readonly KEY_BOUND=2

# The launcher that swayidle (or swaymsg exec) runs: the program at the test's moment,
# its pid in saver.pids and, once it has ended, its exit status in status.PID.
WriteLauncher() {
    cat >"$USER_DIR/start-saver.sh" <<EOF
#!/bin/sh
env TZ=UTC LD_PRELOAD=$FAKETIME_LIB FAKETIME="$MOMENT" FAKETIME_DONT_FAKE_MONOTONIC=1 \\
    ASAN_OPTIONS=verify_asan_link_order=0 $HACK --textures $HACK_TILES \\
    >>$USER_DIR/saver.out 2>>$USER_DIR/saver.err &
pid=\$!
echo \$pid >>$USER_DIR/saver.pids
wait \$pid
echo \$? >$USER_DIR/status.\$pid
EOF
    chmod 755 "$USER_DIR/start-saver.sh"
}

# Starts sway with swayidle in its configuration, as the README shows it.
StartSwayWithIdle() {
    USER_DIR=$CASE_DIR/user
    mkdir -p "$USER_DIR"
    WriteLauncher
    cat >"$CASE_DIR/sway.config" <<EOF
xwayland disable
output HEADLESS-1 mode 1024x768
exec swayidle -w timeout 2 '$USER_DIR/start-saver.sh &'
EOF
    StartSway "$CASE_DIR/sway.config" "$CASE_DIR/sway.log" "$USER_DIR" ||
        Fail "sway did not start: $(tail -n 5 "$CASE_DIR/sway.log")"
    # Every program the launchers started ends with the case, and so does sway.
    AtEnd 'kill -KILL $(cat "$USER_DIR/saver.pids" 2>/dev/null) 2>/dev/null'
    AtEnd StopSway
    Note "sway runs as $SWAY_USER, pid $SWAY_PID"
}

# The pid of the launcher's run number n (1 for the first), waiting for it.
SaverPid() { # n seconds
    WaitUntil "$2" eval '[ "$(wc -l 2>/dev/null <"$USER_DIR/saver.pids" || echo 0)" -ge '"$1"' ]' ||
        Fail "no program number $1 started within $2 s"
    sed -n "$1p" "$USER_DIR/saver.pids"
}

# A lit, textured globe: more than 2 % of the picture coloured (channels over 5 %
# apart; the Blue Marble tiles at dusk measured 5.7 %), which neither grey
# shading nor the compositor's background is (ColourShare's measure, without its
# per-pixel expression, which takes seconds at these sizes).
Lit() { # png
    FloatAbove "$(convert "$1" \( -clone 0 -separate -evaluate-sequence max \) \
        \( -clone 0 -separate -evaluate-sequence min \) -delete 0 -compose minus_src \
        -composite -threshold 5% -format '%[fx:mean]' info:)" 0.02
}
# Waits for a lit globe on an output; its picture is kept as `name`.png.
ExpectOutputLit() { # output name
    OutputLit() { InSway grim -o "$1" - >"$2" 2>/dev/null && Lit "$2"; }
    WaitUntil 30 OutputLit "$1" "$CASE_DIR/$2.png" || Fail "$1 shows no lit globe ($2.png)"
}

# grim's picture of one output matches the oracle at its size (in `area` alone, when
# given), and goes on matching it, as the clock stands.
ExpectOutputOracle() { # output WxH name [area]
    local oracle
    oracle=$(Oracle "$2")
    OutputShot() { # output png
        Running "$HACK_PID" || Fail "the program ended: $(cat "$USER_DIR/saver.err")"
        InSway grim -o "$1" - >"$2" 2>/dev/null
    }
    ExpectOracleMatch 30 "$CASE_DIR/$3.png" "$oracle" "${4:-}" OutputShot "$1"
    Lit "$CASE_DIR/$3.png" || Fail "$1 shows no lit globe"
}

# The program ends with status 0 within `seconds`, quiet on stderr.
ExpectCleanExit() { # pid seconds what
    WaitUntil "$2" test -f "$USER_DIR/status.$1" || Fail "the program still runs $2 s after $3"
    local status
    status=$(cat "$USER_DIR/status.$1")
    [ "$status" = 0 ] || Fail "the program ended with $status after $3: $(cat "$USER_DIR/saver.err")"
    [ ! -s "$USER_DIR/saver.err" ] || Fail "the program complained: $(cat "$USER_DIR/saver.err")"
    Note "it ended with status 0 after $3"
}

Case_sway() {
    command -v sway >/dev/null || Fail "sway is not installed (scripts/install-deps.sh)"
    StartSwayWithIdle
    HACK_PID=$(SaverPid 1 30)
    Note "swayidle started the program, pid $HACK_PID"
    ExpectOutputOracle HEADLESS-1 1024x768 first-output

    # Started again on the same display, as an idle daemon does after input that did
    # not end the run: the second one leaves at once, and the first shows on.
    local start second
    start=$(date +%s%N)
    InSway swaymsg exec "$USER_DIR/start-saver.sh" >/dev/null
    second=$(SaverPid 2 10)
    ExpectCleanExit "$second" 2 "it found another on the display"
    Note "the second instance left $((($(date +%s%N) - start) / 1000000)) ms after its start"
    ExpectOutputOracle HEADLESS-1 1024x768 first-output-stays

    # A second output gets a globe of its own; then a new size, for which the view is
    # laid out anew.
    InSway swaymsg create_output >/dev/null
    ExpectOutputLit HEADLESS-2 second-output-new
    InSway swaymsg output HEADLESS-2 mode 800x600 pos 1024 0 >/dev/null
    ExpectOutputOracle HEADLESS-2 800x600 second-output
    ExpectOutputOracle HEADLESS-1 1024x768 first-output-again

    kill -TERM "$HACK_PID"
    ExpectCleanExit "$HACK_PID" 10 SIGTERM

    # No input came, so swayidle stays quiet; the next one is started by hand. The key
    # is for the surface with the keyboard, so the program is awaited on both outputs.
    InSway swaymsg exec "$USER_DIR/start-saver.sh" >/dev/null
    HACK_PID=$(SaverPid 3 30)
    ExpectOutputOracle HEADLESS-1 1024x768 by-hand
    ExpectOutputLit HEADLESS-2 by-hand-second

    # An output switched off, as a sleeping DisplayPort monitor or dock does it, takes
    # its surface away; the run goes on on the other.
    InSway swaymsg output HEADLESS-2 disable >/dev/null
    sleep 2
    ExpectOutputOracle HEADLESS-1 1024x768 one-output-left

    # At scale 2 the buffer keeps the output's pixels and the clock's strokes are two
    # pixels wide, as the Windows saver draws them at 200 %.
    InSway swaymsg output HEADLESS-1 scale 2 >/dev/null
    ExpectOutputOracle HEADLESS-1 1024x768 scaled 1024x698+0+0
    local saverLit oracleLit
    saverLit=$(LitShare "$CASE_DIR/scaled.png" 256x62+0+706)
    oracleLit=$(LitShare "$(Oracle 1024x768)" 256x62+0+706)
    FloatAbove "$saverLit" "$(awk -v o="$oracleLit" 'BEGIN { print o * 1.6 }')" ||
        Fail "at scale 2 the clock's strokes are not twice as heavy: $saverLit against $oracleLit"
    Note "at scale 2 the clock lights $saverLit of its corner, $oracleLit at scale 1"

    InSway wtype -s 400 -k space || Fail "wtype failed"
    ExpectCleanExit "$HACK_PID" "$KEY_BOUND" "a key"

    # The key was input, so swayidle starts it again on the next idle; the compositor
    # closing its surfaces ends it.
    HACK_PID=$(SaverPid 4 30)
    ExpectOutputLit HEADLESS-1 idle-again  # started again on the next idle
    InSway swaymsg '[app_id=solvane] kill' >/dev/null || Fail "sway found no surface to close"
    ExpectCleanExit "$HACK_PID" 10 "the compositor's close"
}

RunCase "$1"
