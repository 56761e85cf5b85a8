#!/usr/bin/env bash
# solvane-wayland in a real compositor: Debian's sway, headless, drawing in software,
# run as an ordinary user (sway refuses root). One sway serves every check in turn:
# swayidle's timeout starts the program and its picture is the oracle's; a second
# output gets a surface and a globe of its own at its own size; SIGTERM ends it with
# status 0; a key from a virtual keyboard ends the next one within 2 s.
#   wayland_test.sh sway
set -euo pipefail
here=$(dirname "$0")
# The oracle comparison of the Windows saver's tests (MismatchMask, WhitePixels), then
# the hack's helpers, which replace the e2e ones of the same names.
source "$here/../e2e/lib.sh"
source "$here/../hack/lib.sh"

readonly USER_NAME=solvane-wayland
readonly KEY_BOUND=2

# The case's folder; its display is the sway that the case starts.
StartCase() { # name
    CASE_DIR=$HACK_WORK/$1
    rm -rf "$CASE_DIR"
    mkdir -p "$CASE_DIR"
    trap EndTest EXIT
}

# What runs a command as the compositor's user; setpriv execs it, so a command put in
# the background keeps its pid.
AS_USER=()
[ "$(id -u)" != 0 ] || AS_USER=(setpriv --reuid="$USER_NAME" --regid="$USER_NAME" --clear-groups)

# A command in the compositor's session, as its user.
InSway() {
    "${AS_USER[@]}" env XDG_RUNTIME_DIR="$RUNTIME_DIR" WAYLAND_DISPLAY=wayland-1 SWAYSOCK="$SWAYSOCK" "$@"
}

# Polls `check args...` every tenth of a second for up to `seconds`.
WaitFor() { # seconds check args...
    local limit=$(($1 * 10)) waited=0
    shift
    until "$@"; do
        [ "$waited" -lt "$limit" ] || return 1
        sleep 0.1
        waited=$((waited + 1))
    done
}

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

# Starts sway with swayidle in its configuration, as the README shows it. The
# runtime folder lies in /tmp: a socket's path must stay short.
StartSway() {
    if [ "$(id -u)" = 0 ] && ! id "$USER_NAME" >/dev/null 2>&1; then
        useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
    fi
    USER_DIR=$CASE_DIR/user
    mkdir -p "$USER_DIR"
    RUNTIME_DIR=$(mktemp -d /tmp/solvane-wayland.XXXXXX)
    chmod 700 "$RUNTIME_DIR"
    if [ "$(id -u)" = 0 ]; then chown "$USER_NAME" "$USER_DIR" "$RUNTIME_DIR"; fi
    WriteLauncher
    cat >"$CASE_DIR/sway.config" <<EOF
xwayland disable
output HEADLESS-1 mode 1024x768
exec swayidle -w timeout 2 '$USER_DIR/start-saver.sh &'
EOF
    "${AS_USER[@]}" env -i PATH=/usr/bin:/bin HOME="$USER_DIR" XDG_RUNTIME_DIR="$RUNTIME_DIR" \
        WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 \
        sway -c "$CASE_DIR/sway.config" >"$CASE_DIR/sway.log" 2>&1 &
    SWAY_PID=$!
    Track "$SWAY_PID"
    WaitFor 30 eval 'compgen -G "$RUNTIME_DIR/sway-ipc.*.sock" >/dev/null' ||
        Fail "sway did not start: $(tail -n 5 "$CASE_DIR/sway.log")"
    SWAYSOCK=$(compgen -G "$RUNTIME_DIR/sway-ipc.*.sock")
    Note "sway runs as $USER_NAME, pid $SWAY_PID"
}

# Every program the launchers started ends with the case, and so does sway.
CaseCleanup() {
    local pid
    for pid in $(cat "$USER_DIR/saver.pids" 2>/dev/null); do kill -KILL "$pid" 2>/dev/null || true; done
    [ -z "${RUNTIME_DIR:-}" ] || rm -rf "$RUNTIME_DIR"
}

# The pid of the launcher's run number n (1 for the first), waiting for it.
SaverPid() { # n seconds
    WaitFor "$2" eval '[ "$(wc -l 2>/dev/null <"$USER_DIR/saver.pids" || echo 0)" -ge '"$1"' ]' ||
        Fail "no program number $1 started within $2 s"
    sed -n "$1p" "$USER_DIR/saver.pids"
}

# grim's picture of one output matches the oracle at its size; waits for it, then
# checks that it stays, as the clock stands.
ExpectOutputOracle() { # output WxH name
    local oracle shot=$CASE_DIR/$3.png mask=$CASE_DIR/$3-mismatch.png total=unknown
    oracle=$(Oracle "$2")
    Matches() {
        kill -0 "$HACK_PID" 2>/dev/null || Fail "the program ended: $(cat "$USER_DIR/saver.err")"
        InSway grim -o "$1" - >"$shot" 2>/dev/null || return 1
        MismatchMask "$shot" "$oracle" "$mask"
        total=$(WhitePixels "$mask")
        [ "$total" -le "$ORACLE_MAX_MISMATCH" ]
    }
    WaitFor 30 Matches "$1" || Fail "$1 does not show the oracle's $2 picture: $total pixels differ ($mask)"
    sleep 1
    Matches "$1" || Fail "$1 left the oracle's picture a second later: $total pixels differ"
    # LitShare's measure, without its per-pixel expression (seconds at this size).
    FloatAbove "$(convert "$shot" -separate -evaluate-sequence max -threshold 10% \
        -format '%[fx:mean]' info:)" 0.05 || Fail "$1 shows no lit globe"
    Note "$1 shows the oracle's $2 picture ($total stray pixels)"
}

# The program ends with status 0 within `seconds`, quiet on stderr.
ExpectCleanExit() { # pid seconds what
    WaitFor "$2" test -f "$USER_DIR/status.$1" || Fail "the program still runs $2 s after $3"
    local status
    status=$(cat "$USER_DIR/status.$1")
    [ "$status" = 0 ] || Fail "the program ended with $status after $3: $(cat "$USER_DIR/saver.err")"
    [ ! -s "$USER_DIR/saver.err" ] || Fail "the program complained: $(cat "$USER_DIR/saver.err")"
    Note "it ended with status 0 after $3"
}

Case_sway() {
    command -v sway >/dev/null || Fail "sway is not installed (scripts/install-deps.sh)"
    StartSway
    HACK_PID=$(SaverPid 1 30)
    Note "swayidle started the program, pid $HACK_PID"
    ExpectOutputOracle HEADLESS-1 1024x768 first-output

    # A second output, then its size: the program makes it a surface of its own and
    # lays the view out anew for the new size.
    InSway swaymsg create_output >/dev/null
    InSway swaymsg output HEADLESS-2 mode 800x600 pos 1024 0 >/dev/null
    ExpectOutputOracle HEADLESS-2 800x600 second-output
    ExpectOutputOracle HEADLESS-1 1024x768 first-output-again

    kill -TERM "$HACK_PID"
    ExpectCleanExit "$HACK_PID" 10 SIGTERM

    # No input came, so swayidle stays quiet; the next one is started by hand. The key
    # is for the surface with the keyboard, so the program is awaited on both outputs.
    InSway swaymsg exec "$USER_DIR/start-saver.sh" >/dev/null
    HACK_PID=$(SaverPid 2 30)
    ExpectOutputOracle HEADLESS-1 1024x768 by-hand
    ExpectOutputOracle HEADLESS-2 800x600 by-hand-second
    InSway wtype -s 400 -k space || Fail "wtype failed"
    ExpectCleanExit "$HACK_PID" "$KEY_BOUND" "a key"
}

RunCase "$1"
