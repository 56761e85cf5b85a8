#!/usr/bin/env bash
# The hack inside the real XScreenSaver daemon (Debian's xscreensaver 6): a settings
# file of our own lists it, -activate runs it on the daemon's window, and -deactivate
# ends it. The daemon starts no hack as root, so it runs as an ordinary user here.
#   xscreensaver_test.sh daemon
set -euo pipefail
source "$(dirname "$0")/lib.sh"

readonly USER_NAME=solvane-hack

# Runs a command as the daemon's user, with the case's home and display.
AsUser() {
    if [ "$(id -u)" = 0 ]; then
        runuser -u "$USER_NAME" -- env HOME="$HOME_DIR" DISPLAY="$DISPLAY" "$@"
    else
        env HOME="$HOME_DIR" DISPLAY="$DISPLAY" "$@"
    fi
}

# Waits for a line of the daemon's log (it prints every step with -verbose).
WaitLog() { # pattern seconds
    WaitUntil "$2" grep -q "$1" "$CASE_DIR/daemon.log" 2>/dev/null ||
        Fail "no \"$1\" in the daemon's log after $2 s"
}

Case_daemon() {
    command -v xscreensaver >/dev/null || Fail "xscreensaver is not installed (scripts/install-deps.sh)"
    HOME_DIR=$CASE_DIR/home
    mkdir -p "$HOME_DIR"
    if [ "$(id -u)" = 0 ]; then
        id "$USER_NAME" >/dev/null 2>&1 ||
            useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
    fi
    # The hack at the test's moment; the daemon runs the line through execvp, and
    # env sets what faketime needs.
    local command="env TZ=UTC LD_PRELOAD=$FAKETIME_LIB FAKETIME=\"$MOMENT\""
    command+=" FAKETIME_DONT_FAKE_MONOTONIC=1 ASAN_OPTIONS=verify_asan_link_order=0"
    command+=" $HACK -root -textures $HACK_TILES"
    # No fade, lock or splash: the hack runs as soon as the screen blanks.
    cat >"$HOME_DIR/.xscreensaver" <<EOF
mode:		one
selected:	0
lock:		False
splash:		False
fade:		False
unfade:		False
timeout:	1:00:00
programs:	GL: $command \\n\\

EOF
    [ "$(id -u)" != 0 ] || chown -R "$USER_NAME" "$HOME_DIR"

    AsUser xscreensaver -no-splash -verbose >"$CASE_DIR/daemon.log" 2>&1 &
    Track $!
    WaitLog "running in process" 30
    # The daemon takes commands once it has set up; until then the command fails.
    WaitUntil 20 AsUser xscreensaver-command -activate >>"$CASE_DIR/command.log" 2>&1 ||
        Fail "the daemon refused -activate: $(cat "$CASE_DIR/command.log")"
    WaitLog 'forked ".*solvane.*" in pid' 30
    local line pid window
    line=$(grep -o 'forked ".*solvane.*" in pid [0-9]* on window 0x[0-9a-f]*' "$CASE_DIR/daemon.log")
    pid=${line##*in pid }
    pid=${pid%% *}
    window=${line##* }
    Note "the daemon started the hack as pid $pid on window $window"

    # Its window covers the screen: the whole picture is the oracle's.
    HACK_PID=$pid
    ExpectPicture "$window" 1024x768 daemon

    AsUser xscreensaver-command -deactivate >>"$CASE_DIR/command.log" 2>&1 ||
        Fail "the daemon refused -deactivate"
    local asked=$SECONDS
    POLL=0.1 WaitUntil 15 Ended "$pid" || Fail "the hack still runs 15 s after -deactivate"
    Note "the hack ended within $((SECONDS - asked + 1)) s of -deactivate"
    # The daemon passes the hack's stderr on to its own: nothing from the hack there.
    ! grep -q "^solvane:" "$CASE_DIR/daemon.log" ||
        Fail "the hack complained: $(grep "^solvane:" "$CASE_DIR/daemon.log")"
    AsUser xscreensaver-command -exit >>"$CASE_DIR/command.log" 2>&1 || true
}

RunCase "$1"
