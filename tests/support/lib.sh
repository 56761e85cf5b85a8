# What the system tests of every front end share: running a case, its log, the
# processes it starts and their end, bounded waits, X windows, and judging pictures
# against solvane-snapshot's with one tolerance. Sourced by tests/e2e/lib.sh (the
# Windows saver under Wine), tests/hack/lib.sh (the X11 hack) and the Wayland test.
# Every wait is a bounded poll on the monotonic clock, so a test ends by itself
# whatever the load, and no check reads the machine's clock or time zone.
# shellcheck shell=bash
[ -z "${SUPPORT_LIB_SOURCED:-}" ] || return 0
SUPPORT_LIB_SOURCED=1

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Ends a case whose inputs have not been built with CTest's skip code (77).
Skip() {
    echo "SKIP: $*"
    exit 77
}

# Seconds since boot: the deadlines of every wait. The wall clock may be faked
# for the whole run, standing or jumping; this one is not.
Now() {
    local up _
    read -r up _ </proc/uptime
    echo "${up%.*}"
}

# A line of the case's log, with the seconds since the case began.
Note() { echo "-- [$(($(Now) - ${CASE_START:-0}))s] $*"; }

# Runs `check args...` every POLL seconds (0.2 unless set) until it succeeds;
# returns 1 once `seconds` have passed on the monotonic clock without it.
WaitUntil() { # seconds check args...
    local up _ deadline
    read -r up _ </proc/uptime
    deadline=$((${up/./} + $1 * 100))
    shift
    until "$@"; do
        read -r up _ </proc/uptime
        [ "${up/./}" -lt "$deadline" ] || return 1
        sleep "${POLL:-0.2}"
    done
}

# ---------------------------------------------------------------- processes

# The processes a case started; they end with the case, however it ends.
TRACKED_PIDS=()
# Where a process leaves the exit code it gave itself, when its parent's may hide it.
declare -A EXIT_FILES=()
Track() { TRACKED_PIDS+=("$1"); }
# A collected process's number may soon belong to someone else: forget it.
Untrack() {
    unset "EXIT_FILES[$1]"
    local kept=() pid
    for pid in "${TRACKED_PIDS[@]+"${TRACKED_PIDS[@]}"}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
    TRACKED_PIDS=("${kept[@]+"${kept[@]}"}")
}

Running() { kill -0 "$1" 2>/dev/null; }
Ended() { ! kill -0 "$1" 2>/dev/null; }

# Waits for a background process of this shell (only the starting shell can
# collect it) for up to `seconds` and sets EXIT_CODE to its exit code, or to
# "timeout" after killing it.
WaitExit() { # pid seconds
    if ! WaitUntil "$2" Ended "$1"; then
        kill -KILL "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
        Untrack "$1"
        EXIT_CODE=timeout
        return
    fi
    EXIT_CODE=0
    wait "$1" 2>/dev/null || EXIT_CODE=$?
    local file=${EXIT_FILES[$1]:-}
    if [ -n "$file" ] && [ -s "$file" ]; then EXIT_CODE=$(<"$file"); fi
    Untrack "$1"
}

# The process ends within `seconds` with `code`; with an error file, nothing in it
# unless told otherwise (`quiet` or `any`). `what` names the process and the cause.
ExpectExit() { # pid seconds code what [errors-file [quiet|any]]
    WaitExit "$1" "$2"
    local errors=""
    [ ! -s "${5:-}" ] || errors=": $(cat "$5")"
    [ "$EXIT_CODE" = "$3" ] || Fail "$4: exit code $EXIT_CODE, expected $3$errors"
    [ -z "${5:-}" ] || [ "${6:-quiet}" = any ] || [ ! -s "$5" ] || Fail "$4: wrote to stderr$errors"
}

# Succeeds if the process is still running after `seconds`.
StillRunningAfter() { # pid seconds
    sleep "$2"
    Running "$1"
}

# What ends a case, however it ends: every tracked process (told with END_SIGNAL,
# TERM unless set, woken if stopped, and killed after 10 s), then each command given
# to AtEnd, in order.
END_COMMANDS=()
AtEnd() { END_COMMANDS+=("$*"); }
EndTest() {
    local pid command
    for pid in "${TRACKED_PIDS[@]+"${TRACKED_PIDS[@]}"}"; do
        kill "-${END_SIGNAL:-TERM}" "$pid" 2>/dev/null || true
        kill -CONT "$pid" 2>/dev/null || true
    done
    for pid in "${TRACKED_PIDS[@]+"${TRACKED_PIDS[@]}"}"; do
        timeout 10 tail --pid="$pid" -f /dev/null 2>/dev/null || kill -KILL "$pid" 2>/dev/null || true
    done
    for command in "${END_COMMANDS[@]+"${END_COMMANDS[@]}"}"; do eval "$command" || true; done
}

# Runs Case_<name> of the sourcing script after the harness's StartCase, with
# EndTest on every exit.
RunCase() { # name
    declare -F "Case_$1" >/dev/null || Fail "no case $1"
    CASE_START=$(Now)
    trap EndTest EXIT
    StartCase "$1"
    "Case_$1"
    echo "PASS $1"
}

# A folder, emptied first, of the sixteen tiles of `source` (and their marker,
# where it has one) less the files named.
TileFolder() { # folder source [file-to-leave-out...]
    rm -rf "$1"
    mkdir -p "$1"
    cp "$2"/[dn][12][1-4].bmp "$1/"
    [ ! -f "$2/tex.tex" ] || cp "$2/tex.tex" "$1/"
    local name
    for name in "${@:3}"; do rm -f "$1/$name"; done
    echo "$1"
}

# ---------------------------------------------------------------- X windows

# The first mapped X window whose name matches the anchored pattern, waiting up to
# `seconds` (or until the process given ends); prints its id, or nothing. Each try
# is a fresh search that gives up at once: a window that vanishes while xdotool
# looks at it makes that search fail with an X error, and the next try goes on.
WaitWindow() { # pattern seconds [pid]
    local found
    Found() {
        found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$found" ] || { [ -n "${2:-}" ] && Ended "$2"; }
    }
    WaitUntil "$2" Found "$1" "${3:-}" || true
    echo "$found"
}

# The same, failing the case when none comes; for a plain assignment, id=$(...),
# which ends the case when the search fails.
ExpectWindow() { # pattern seconds what
    local id
    id=$(WaitWindow "$1" "$2")
    [ -n "$id" ] || Fail "no $3 within $2 s"
    echo "$id"
}

WindowExists() { [ -n "$(xdotool search --name "$1" 2>/dev/null || true)" ]; }

# Succeeds once the X window with this id is gone (or unmapped), within `seconds`.
WaitWindowGone() { # window-id seconds
    Unmapped() { ! xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }
    WaitUntil "$2" Unmapped "$1"
}

# Gives the window the keyboard (there is no window manager: the focus is set
# directly); a dialog ignores typed keys until then.
FocusWindow() { # window-id
    POLL=0.5 WaitUntil 30 timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null ||
        Fail "cannot focus window $1"
    sleep 0.5
}

# A picture of a window, or of the root window, or of a part of either; fails,
# without ending the case, while the window is not mapped.
Screenshot() { # window-id|root png [geometry(WxH+X+Y)]
    local id=(-id "$1")
    [ "$1" != root ] || id=(-root)
    xwd "${id[@]}" -silent 2>/dev/null | convert xwd:- ${3:+-crop "$3" +repage} "$2" 2>/dev/null
}

# Compares two decimal numbers with awk: FloatAbove a b succeeds if a > b.
FloatAbove() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Share (0..1) of the pixels in a region brighter than 10% in any channel.
LitShare() { # png geometry
    convert "$1" -crop "$2" +repage -channel RGB -separate -evaluate-sequence max \
        -threshold 10% -format '%[fx:mean]' info:
}

# Share (0..1) of the pixels in a region whose channels differ by more than 15%:
# coloured, as a textured globe is, where grey shading alone would not be.
ColourShare() { # png geometry
    convert "$1" -crop "$2" +repage -fx 'max(r,max(g,b)) - min(r,min(g,b)) > 0.15' \
        -colorspace Gray -format '%[fx:mean]' info:
}

# ---------------------------------------------------------------- the oracle

# Every front end draws through Mesa's llvmpipe (WGL under Wine, GLX on Xvfb, EGL in
# sway), solvane-snapshot through headless EGL, all running the same frame step; so
# at the same moment, zone and size they draw the same picture up to rounding.
# Measured with ImageMagick's compare: the 64-bit saver, the hack and solvane-wayland
# differ from the snapshot by at most 1 of 255 in any channel; in the 32-bit saver's
# picture about a hundred pixels of the stroke text and the globe's rim fall one pixel
# aside, and on Xvfb a handful of rasterisation ties fall the other way. So a pixel
# counts as a mismatch only if it lies more than 3% (8 of 255) outside the range of
# the other picture over its 3x3 neighbourhood, in either direction; every front end
# measured 0 such pixels at every moment tried. Against the saver's real picture at
# dusk, an oracle one second off gives 34 (21 of them in the clock rows), one whose
# clock shows 3 for 8 in one digit 62 (12 in the clock rows), a day off 215, an hour
# of zone off over 100000; the camera one spin step (0.25 degree) off gives over
# 1500. Up to ORACLE_MAX_MISMATCH stray pixels are forgiven.
readonly ORACLE_FUZZ=3%
readonly ORACLE_MAX_MISMATCH=5

# solvane-snapshot's (SNAPSHOT's) picture of MOMENT_UTC, in the zone MOMENT_ZONE
# (UTC unless set), with ORACLE_OPTIONS, at a size (the screen's 1024x768 unless
# given). The tiles go through a short link: the tool, like the savers, takes a
# folder of at most 92 characters.
OraclePicture() { # png tiles [WxH]
    local link status=0
    link=$(mktemp -d /tmp/solvane-oracle.XXXXXX)
    ln -s "$(readlink -f "$2")" "$link/tiles"
    TZ=${MOMENT_ZONE:-UTC} "$SNAPSHOT" --textures "$link/tiles" --utc "$MOMENT_UTC" \
        --size "${3:-1024x768}" --out "$1" ${ORACLE_OPTIONS[@]+"${ORACLE_OPTIONS[@]}"} \
        >"$1.log" 2>&1 || status=$?
    rm -rf "$link"
    [ "$status" = 0 ] || Fail "solvane-snapshot failed: $(cat "$1.log")"
}

# Writes the mask of mismatching pixels of two pictures of one size (white where one
# lies outside the other's neighbourhood range by more than ORACLE_FUZZ).
MismatchMask() { # png reference mask
    convert \
        \( "$1" \( "$2" -morphology Dilate Square:1 \) -compose minus_src -composite \) \
        \( \( "$2" -morphology Erode Square:1 \) "$1" -compose minus_src -composite \) \
        \( "$2" \( "$1" -morphology Dilate Square:1 \) -compose minus_src -composite \) \
        \( \( "$1" -morphology Erode Square:1 \) "$2" -compose minus_src -composite \) \
        -evaluate-sequence max -separate -evaluate-sequence max \
        -threshold "$ORACLE_FUZZ" "$3"
}

WhitePixels() { # png [geometry]
    convert "$1" ${2:+-crop "$2"} +repage -format '%[fx:round(mean * w * h)]' info:
}

# The mismatching pixels of two pictures (in `area` alone, when given), the mask kept
# beside the first; a large number when the pictures are not of one size or unreadable.
Mismatches() { # png reference [area]
    local sizes
    sizes=$(identify -format '%wx%h\n' "$1" "$2" 2>/dev/null | sort -u | wc -l) || sizes=0
    if [ "$sizes" != 1 ]; then
        echo 999999999
        return
    fi
    MismatchMask "$1" "$2" "${1%.png}-mismatch.png"
    WhitePixels "${1%.png}-mismatch.png" "${3:-}"
}

# Waits up to `seconds` until `shoot... png` takes a picture that differs from the
# oracle in at most ORACLE_MAX_MISMATCH pixels (in `area` alone, when given), then,
# as the clock stands, checks that it still does a second later (unless
# ORACLE_RECHECK=0, for a picture a case has already seen stay). `shoot` fails
# while no picture can be taken, and fails the case when the program has ended.
# Sets MISMATCHES to the last count.
ExpectOracleMatch() { # seconds png oracle area shoot...
    local seconds=$1 png=$2 oracle=$3 area=$4 size clockRows
    shift 4
    MISMATCHES=unknown
    Matches() {
        "$@" "$png" || return 1
        MISMATCHES=$(Mismatches "$png" "$oracle" "$area")
        [ "$MISMATCHES" -le "$ORACLE_MAX_MISMATCH" ]
    }
    if ! POLL=1 WaitUntil "$seconds" Matches "$@"; then
        # The clock text's two rows, at the bottom: a wrong moment shows there first.
        size=$(identify -format '%wx%h' "$oracle")
        clockRows=${size%x*}x62+0+$((${size#*x} - 62))
        Fail "$png is not the oracle's $oracle: $MISMATCHES pixels differ ($(WhitePixels \
            "${png%.png}-mismatch.png" "$clockRows" 2>/dev/null) in the clock rows; see ${png%.png}-mismatch.png)"
    fi
    if [ "${ORACLE_RECHECK:-1}" != 0 ]; then
        sleep 1
        Matches "$@" || Fail "$png left the oracle's picture a second later: $MISMATCHES pixels differ"
    fi
    Note "$(basename "$png") matches the oracle: $MISMATCHES stray pixels"
}
