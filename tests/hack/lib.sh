# Shared by the hack's end-to-end scripts: an Xvfb of the test's own, the hack run at
# a chosen moment, and pictures judged against solvane-snapshot of the same moment.
# Sourced, not run. Every wait is a bounded poll, so a test ends by itself.
# shellcheck shell=bash
set -euo pipefail

: "${HACK:?HACK names the solvane program under test}"
: "${HACK_TILES:?HACK_TILES names the tile folder}"
: "${SNAPSHOT:?SNAPSHOT names solvane-snapshot, the oracle}"
: "${X_HELPER:?X_HELPER names the x_helper test program}"
: "${HACK_WORK:?HACK_WORK names the work folder}"

# The moment every picture shows, with the clock standing still there: the
# terminator crosses the view (the camera stands above longitude -15, the Sun above
# -90), so both day and night tiles are on the screen. The local time is UTC in the
# hack and the oracle alike, whatever the machine's zone.
readonly MOMENT="2026-12-22 18:00:00"
readonly MOMENT_UTC=2026-12-22T18:00:00Z
export TZ=UTC
FAKETIME_LIB=$(echo /usr/lib/*/faketime/libfaketime.so.1)
readonly FAKETIME_LIB

# The harness of every system test; the oracle's tolerance covers the hack's GLX
# picture on Xvfb too.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

CASE_DIR=""
XVFB_PID=""

# A fresh folder for the case and, unless HACK_DISPLAY=none (the Wayland test, whose
# display is the compositor it starts), an Xvfb display of its own, from :90 up.
StartCase() { # name
    CASE_DIR=$HACK_WORK/$1
    rm -rf "$CASE_DIR"
    mkdir -p "$CASE_DIR"
    [ "${HACK_DISPLAY:-}" != none ] || return 0
    # No reset when the last client leaves: a hack started just then would find no
    # server (seen between two hacks of one case).
    read -r DISPLAY XVFB_PID < <("$(dirname "${BASH_SOURCE[0]}")/../e2e/start_xvfb.sh" \
        "$CASE_DIR/xvfb.log" 1024x768 -noreset) || Fail "no Xvfb display could be started"
    export DISPLAY
    # Ended after the programs on it, and woken first, as a case may have stopped it.
    AtEnd 'kill -CONT "$XVFB_PID" 2>/dev/null; kill "$XVFB_PID" 2>/dev/null'
    Note "display $DISPLAY"
}

# Starts the hack at MOMENT with the clock standing, or as HACK_FAKETIME says ("@$MOMENT"
# starts the clock there and lets it run); HACK_PID is its process. The monotonic clock
# stays real: the hack's pauses run on it.
StartHack() { # hack-arguments...
    env LD_PRELOAD="$FAKETIME_LIB" FAKETIME="${HACK_FAKETIME:-$MOMENT}" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        ASAN_OPTIONS=verify_asan_link_order=0 "$HACK" "$@" \
        >"$CASE_DIR/hack.out" 2>"$CASE_DIR/hack.err" &
    HACK_PID=$!
    Track "$HACK_PID"
}

# The hack ends (on the signal, when one is named) with 0 and says nothing on
# stderr: no X or GL error on the way.
ExpectCleanEnd() { # seconds [signal]
    [ -z "${2:-}" ] || kill "-$2" "$HACK_PID"
    ExpectExit "$HACK_PID" "$1" 0 "the hack" "$CASE_DIR/hack.err"
}

ExpectRunning() {
    kill -0 "$HACK_PID" 2>/dev/null ||
        Fail "the hack has ended: $(cat "$CASE_DIR/hack.err")"
}

# The oracle of MOMENT at a size, with ORACLE_OPTIONS (such as --no-clock), made
# once per size and options for all cases (a case running beside another may make the
# same one; the last to finish replaces it whole).
Oracle() { # WxH
    # Named after the tiles and the tool too: a build that cut other tiles or changed
    # the tool must not meet an oracle of the old ones.
    local key png
    key=$(stat -c %Y "$HACK_TILES"/[dn][12][1-4].bmp "$SNAPSHOT" | md5sum | cut -c1-8)
    png=$HACK_WORK/oracles/$1${ORACLE_OPTIONS:-}-$key.png
    if [ ! -f "$png" ]; then
        mkdir -p "$HACK_WORK/oracles"
        OraclePicture "$CASE_DIR/oracle-$1.png" "$HACK_TILES" "$1"
        mv -f "$CASE_DIR/oracle-$1.png" "$png"
    fi
    echo "$png"
}

# Waits until the window shows what the oracle shows at that size, and goes on
# showing it; fails with the count, the picture and the difference kept in the
# case folder.
ExpectPicture() { # window-id|root WxH name [seconds]
    local oracle
    oracle=$(Oracle "$2")
    HackShot() { ExpectRunning && Screenshot "$1" "$2"; }
    ExpectOracleMatch "${4:-60}" "$CASE_DIR/$3.png" "$oracle" "" HackShot "$1"
}
