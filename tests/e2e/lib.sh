# Shared by the end-to-end scripts: the Wine prefix, the Xvfb display and the
# saver chosen by setup.sh, and small steps for driving and watching the saver.
# Sourced, not run. Every wait here is bounded, so a test ends by itself.
# shellcheck shell=bash

# The state setup.sh left for the tests of this CTest run.
LoadState() {
    : "${E2E_WORK:?E2E_WORK names the work folder of the end-to-end tests}"
    local state="$E2E_WORK/state.env"
    if [ ! -f "$state" ]; then
        echo "no $state: the e2e setup fixture has not run" >&2
        exit 1
    fi
    # shellcheck disable=SC1090
    source "$state"
    export DISPLAY WINEPREFIX WINELOADER WINEARCH
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko installers: they would open dialogs of their own.
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
    TZ=$(DayFacingZone)
    export TZ
}

# The camera starts above the longitude 15 x (local hour - UTC hour - 1) degrees
# (less a quarter degree per UTC minute), while the Sun stands above about
# 180 - 15 x UTC hour (less the same). A time zone 13 - UTC hour ahead puts the
# camera over the lit side whatever the hour the test runs at, so that every
# picture a test takes shows the day tiles.
DayFacingZone() {
    local hour ahead
    hour=$((10#$(date -u +%H)))
    ahead=$(((13 - hour + 24) % 24))
    [ "$ahead" -le 14 ] || ahead=$((ahead - 24))
    # Written the way both the C library of Windows and POSIX read it: hours west
    # of UTC, so "SLV-9" is nine hours ahead.
    if [ "$ahead" -ge 0 ]; then echo "SLV-$ahead"; else echo "SLV$((-ahead))"; fi
}

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

Note() { echo "-- $*"; }

# A Windows path for a Unix path, through Wine's Z: drive.
WinPath() {
    local path
    path=$(readlink -m "$1")
    echo "Z:${path//\//\\}"
}

Wine() { "$WINELOADER" "$@"; }

# The wineserver of the prefix stays up between tests (setup.sh starts it, and
# this starts it again if a test had to kill it), so that Wine's own services
# are running before a program of ours starts and nothing holds our output open.
StartWineServer() {
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    Wine reg query 'HKCU\Software\Wine' </dev/null >/dev/null 2>&1 || true
}

StopWine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
}

RegAdd() { # key value type data
    Wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 || Fail "reg add $1 $2"
}

RegDelete() { # key [value]
    if [ $# -eq 2 ]; then
        Wine reg delete "$1" /v "$2" /f >/dev/null 2>&1 || true
    else
        Wine reg delete "$1" /f >/dev/null 2>&1 || true
    fi
}

# The data of a REG_SZ value, or nothing.
RegQuery() { # key value
    Wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print }'
}

readonly SCREEN_SAVERS_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers'
readonly APP_KEY='HKCU\Software\QMT_kvr'
readonly APP_DEFAULTS_KEY='HKCU\Software\Wine\AppDefaults\solvane.scr'

# The registry as a test starts from it: no screen-saver settings, an NT
# platform, and the texture folder of the good tiles stored as an installer
# would. One regedit run instead of three reg runs: each Wine start costs.
ResetRegistry() {
    local folder file=$E2E_WORK/reset.reg
    folder="$(WinPath "$E2E_TILES")\\"
    {
        printf 'REGEDIT4\r\n\r\n'
        printf '[-%s]\r\n\r\n' "${SCREEN_SAVERS_KEY/HKCU/HKEY_CURRENT_USER}"
        printf '[-%s]\r\n\r\n' "${APP_DEFAULTS_KEY/HKCU/HKEY_CURRENT_USER}"
        printf '[%s]\r\n"path"="%s"\r\n\r\n' "${APP_KEY/HKCU/HKEY_CURRENT_USER}" "${folder//\\/\\\\}"
    } >"$file"
    Wine regedit /S "$(WinPath "$file")" >/dev/null 2>&1 || Fail "regedit $file"
}

# The first mapped X window whose name matches the anchored pattern, waiting up to
# $2 seconds; prints its id, or nothing.
WaitWindow() { # pattern seconds
    timeout "$2" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true
}

# Succeeds once no X window matches the pattern, within $2 seconds.
WaitNoWindow() { # pattern seconds
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -le $deadline ]; do
        xdotool search --name "$1" >/dev/null 2>&1 || return 0
        sleep 0.2
    done
    return 1
}

WindowExists() { xdotool search --name "$1" >/dev/null 2>&1; }

# Starts a Windows program in the background; its Unix process is the Windows
# process, so `wait` yields the program's exit code. Sets LAST_PID.
StartWine() { # stdout-file program args...
    local out=$1
    shift
    "$WINELOADER" "$@" >"$out" 2>"$out.err" &
    LAST_PID=$!
    Track "$LAST_PID"
}

# Waits for a background process of this shell (not a subshell: only the
# starting shell can collect it) for up to $2 seconds and sets EXIT_CODE to its
# exit code, or to "timeout" after killing it.
WaitExit() { # pid seconds
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            kill -9 "$1" 2>/dev/null || true
            wait "$1" 2>/dev/null || true
            Untrack "$1"
            EXIT_CODE=timeout
            return
        fi
        sleep 0.2
    done
    EXIT_CODE=0
    wait "$1" || EXIT_CODE=$?
    Untrack "$1"
}

# Succeeds if the process is still running after $2 seconds.
StillRunningAfter() { # pid seconds
    sleep "$2"
    kill -0 "$1" 2>/dev/null
}

ParkPointer() { xdotool mousemove --sync "$1" "$2" >/dev/null 2>&1 || xdotool mousemove "$1" "$2"; }

# Holds a key long enough for GetAsyncKeyState, read in the key-down handling,
# to see it down.
PressKey() { # keysym
    xdotool keydown "$1"
    sleep 0.5
    xdotool keyup "$1"
}

# Ends the saver with the space bar and expects exit code 0; `when` names the
# situation in the failure message.
CloseWithSpace() { # when
    PressKey space
    WaitExit "$SAVER_PID" 15
    [ "$EXIT_CODE" = 0 ] || Fail "exit code $1: $EXIT_CODE"
}

Screenshot() { # window-id png
    xwd -id "$1" -silent | convert xwd:- "$2" || Fail "screenshot of window $1"
}

# Mean (0..1) and standard deviation of the grey level in a region.
RegionStats() { # png geometry(WxH+X+Y)
    convert "$1" -crop "$2" +repage -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:
}

# Share (0..1) of the pixels in a region brighter than 10% in any channel.
LitShare() { # png geometry
    convert "$1" -crop "$2" +repage -channel RGB -separate -evaluate-sequence max \
        -threshold 10% -format '%[fx:mean]' info:
}

# Compares two decimal numbers with awk: FloatAbove a b succeeds if a > b.
FloatAbove() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# A folder of its own for a test, emptied first.
TestDir() { # name
    local dir="$E2E_WORK/cases/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$dir"
}

# The Windows processes a test started; they end with the test, however it ends.
E2E_PIDS=()
Track() { E2E_PIDS+=("$1"); }
# A collected process's number may soon belong to someone else: forget it.
Untrack() {
    local kept=() pid
    for pid in "${E2E_PIDS[@]+"${E2E_PIDS[@]}"}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
    E2E_PIDS=("${kept[@]+"${kept[@]}"}")
}

readonly OUR_WINDOWS='^(SaverWindow|About Solvane Release 1|Browse for textures path|Solvane preview host|Another program|Error)$'

EndTest() {
    local pid
    for pid in "${E2E_PIDS[@]+"${E2E_PIDS[@]}"}"; do kill -9 "$pid" 2>/dev/null || true; done
    # Anything still showing came from a process we did not track (the saver
    # that a host program started): end every Wine process of our prefix.
    if WindowExists "$OUR_WINDOWS"; then StopWine; fi
}

InstallCleanup() {
    trap 'EndTest' EXIT
    # A test that its runner killed could not clean up after itself.
    if WindowExists "$OUR_WINDOWS"; then StopWine; fi
}

# Starts the saver in full-screen mode from its own copy in $dir (so that test
# doubles next to it are found), with the working directory there too, and
# waits for its window. Sets SAVER_PID and SAVER_WINDOW.
StartSaver() { # dir [switch]
    local dir=$1 switch=${2:-/s}
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    (cd "$dir" && exec "$WINELOADER" "$dir/solvane.scr" "$switch" >"$dir/saver.out" 2>"$dir/saver.err") &
    SAVER_PID=$!
    Track "$SAVER_PID"
    SAVER_WINDOW=$(WaitWindow '^SaverWindow$' 40)
    if [ -z "$SAVER_WINDOW" ]; then
        WaitExit "$SAVER_PID" 1
        Fail "no SaverWindow within 40 s (saver exit: $EXIT_CODE)"
    fi
}

# A fresh folder holding the saver (and, if named, test doubles beside it).
SaverDir() { # name [double-file...]
    local dir
    dir=$(TestDir "$1")
    shift
    cp "$E2E_SCR" "$dir/solvane.scr"
    local double
    for double in "$@"; do cp "$E2E_WINDOWS_DIR/$double" "$dir/"; done
    echo "$dir"
}

# Share (0..1) of the pixels in a region whose channels differ by more than 15%:
# coloured, as a textured globe is, where grey shading alone would not be.
ColourShare() { # png geometry
    convert "$1" -crop "$2" +repage -fx 'max(r,max(g,b)) - min(r,min(g,b)) > 0.15' \
        -colorspace Gray -format '%[fx:mean]' info:
}

# Presses Esc in a dialog until it goes (the first press can come before the
# dialog has taken the keyboard on a busy machine); fails after three tries.
EscapeDialog() { # window-id
    local try
    for try in 1 2 3; do
        xdotool windowfocus --sync "$1" 2>/dev/null || true
        sleep 0.5
        xdotool key Escape
        WaitWindowGone "$1" 5 && return 0
        Note "Esc try $try did not close window $1"
    done
    Fail "Esc did not close window $1"
}

# Succeeds once the X window with this id is gone (or unmapped), within $2 s.
WaitWindowGone() { # window-id seconds
    local deadline=$((SECONDS + $2))
    while [ $SECONDS -le $deadline ]; do
        xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable' || return 0
        sleep 0.2
    done
    return 1
}

# Runs the case named on a test script's command line (its function Case_<name>)
# with the shared state loaded, a clean registry and cleanup on every exit.
RunCase() {
    LoadState
    InstallCleanup
    StartWineServer
    ResetRegistry
    "Case_$1"
    echo "PASS $1"
}
