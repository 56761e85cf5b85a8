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

# Failing and judging pictures, as every system test does: the oracle's tolerance
# covers the hack's GLX picture on Xvfb too.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

Note() { echo "-- $*"; }

CASE_DIR=""
PIDS=()
XVFB_PID=""

Track() { PIDS+=("$1"); }

# Ends whatever the test started and is still running: the hack, helpers, then what
# the script's own CaseCleanup undoes, if it has one, and Xvfb.
EndTest() {
    local pid
    # A case may have stopped the server to hold the hack up.
    if [ -n "$XVFB_PID" ]; then kill -CONT "$XVFB_PID" 2>/dev/null || true; fi
    for pid in "${PIDS[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do
        timeout 10 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    done
    if declare -F CaseCleanup >/dev/null; then CaseCleanup; fi
    if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi
}

# A fresh folder for the case and an Xvfb display of its own, from :90 up.
StartCase() { # name
    CASE_DIR=$HACK_WORK/$1
    rm -rf "$CASE_DIR"
    mkdir -p "$CASE_DIR"
    trap EndTest EXIT
    # No reset when the last client leaves: a hack started just then would find no
    # server (seen between two hacks of one case).
    read -r DISPLAY XVFB_PID < <("$(dirname "${BASH_SOURCE[0]}")/../e2e/start_xvfb.sh" \
        "$CASE_DIR/xvfb.log" 1024x768 -noreset) || Fail "no Xvfb display could be started"
    export DISPLAY
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

# EXIT_CODE of a process of ours once it has ended; fails when it runs on.
WaitExit() { # pid seconds
    local waited=0
    while kill -0 "$1" 2>/dev/null; do
        [ "$waited" -lt "$(($2 * 10))" ] || Fail "process $1 still runs after $2 s"
        sleep 0.1
        waited=$((waited + 1))
    done
    EXIT_CODE=0
    wait "$1" || EXIT_CODE=$?
}

# The hack ends with 0 and says nothing on stderr: no X or GL error on the way.
ExpectCleanEnd() { # seconds
    WaitExit "$HACK_PID" "$1"
    [ "$EXIT_CODE" = 0 ] || Fail "the hack ended with $EXIT_CODE: $(cat "$CASE_DIR/hack.err")"
    [ ! -s "$CASE_DIR/hack.err" ] || Fail "the hack wrote to stderr: $(cat "$CASE_DIR/hack.err")"
}

ExpectRunning() {
    kill -0 "$HACK_PID" 2>/dev/null ||
        Fail "the hack has ended: $(cat "$CASE_DIR/hack.err")"
}

# The id of the first window whose name matches, waiting for it while the hack runs.
WaitWindow() { # pattern seconds
    local waited=0 id
    while [ "$waited" -lt "$(($2 * 10))" ] && kill -0 "$HACK_PID" 2>/dev/null; do
        id=$(xdotool search --name "$1" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Gives a window the keyboard. There is no window manager: the focus is set directly.
Focus() { # window-id
    xdotool windowfocus --sync "$1" 2>/dev/null || Fail "cannot focus window $1"
}

# Fails, without ending the test, while the window is not yet mapped.
Screenshot() { # window-id|root png
    if [ "$1" = root ]; then
        xwd -root -silent 2>/dev/null | convert xwd:- "$2" 2>/dev/null
    else
        xwd -id "$1" -silent 2>/dev/null | convert xwd:- "$2" 2>/dev/null
    fi
}

# solvane-snapshot of MOMENT at a size, with ORACLE_OPTIONS (such as --no-clock), made
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
        # shellcheck disable=SC2086 # options, split as words
        "$SNAPSHOT" --textures "$HACK_TILES" --utc "$MOMENT_UTC" --size "$1" ${ORACLE_OPTIONS:-} \
            --out "$CASE_DIR/oracle-$1.png" >/dev/null 2>"$CASE_DIR/oracle.err" ||
            Fail "the oracle failed: $(cat "$CASE_DIR/oracle.err")"
        mv -f "$CASE_DIR/oracle-$1.png" "$png"
    fi
    echo "$png"
}

# Waits until the window shows what the oracle shows at that size; fails with the
# count, the picture and the difference kept in the case folder.
ExpectPicture() { # window-id|root WxH name [seconds]
    local oracle png different=999999999 waited=0 limit=${4:-60}
    oracle=$(Oracle "$2")
    png=$CASE_DIR/$3.png
    while [ "$waited" -lt "$limit" ]; do
        ExpectRunning
        different=999999999
        if Screenshot "$1" "$png"; then different=$(Mismatches "$png" "$oracle"); fi
        if [ "$different" -le "$ORACLE_MAX_MISMATCH" ]; then
            Note "$3: $different pixels differ from the oracle at $2"
            return
        fi
        sleep 1
        waited=$((waited + 1))
    done
    Fail "$3 differs from the oracle at $2 in $different pixels (see ${png%.png}-mismatch.png)"
}

# A folder of the good tiles less some, and some spoilt.
TileCopy() { # name
    local folder=$CASE_DIR/$1
    mkdir -p "$folder"
    cp "$HACK_TILES"/[dn][12][1-4].bmp "$folder/"
    echo "$folder"
}

# Runs Case_<name> of the sourcing script.
RunCase() { # name
    declare -F "Case_$1" >/dev/null || Fail "no case $1"
    StartCase "$1"
    "Case_$1"
    Note "passed"
}
