# Shared by the end-to-end scripts: the Wine prefix, the Xvfb display and the
# saver chosen by setup.sh, and small steps for driving and watching the saver.
# Sourced, not run. Every wait here is bounded, so a test ends by itself.

E2E_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

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

# Keeps the wineserver up for the whole test, so that Wine's own services are
# running before any program of ours starts and nothing holds our output open.
StartWineServer() {
    "$WINESERVER" -p
    Wine reg query 'HKCU\Software\Wine' >/dev/null 2>&1 || true
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
# platform, and the texture folder of the good tiles stored as an installer would.
ResetRegistry() {
    RegDelete "$SCREEN_SAVERS_KEY"
    RegDelete "$APP_DEFAULTS_KEY"
    RegAdd "$APP_KEY" path REG_SZ "$(WinPath "$E2E_TILES")\\"
}

# The first X window whose name matches the anchored pattern, waiting up to
# $2 seconds; prints its id, or nothing.
WaitWindow() { # pattern seconds
    timeout "$2" xdotool search --sync --name "$1" 2>/dev/null | head -n 1
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
            EXIT_CODE=timeout
            return
        fi
        sleep 0.2
    done
    EXIT_CODE=0
    wait "$1" || EXIT_CODE=$?
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

# Stops everything of ours when a test ends, however it ends.
InstallCleanup() {
    trap 'StopWine' EXIT
}

# Starts the saver in full-screen mode from its own copy in $dir (so that test
# doubles next to it are found), with the working directory there too, and
# waits for its window. Sets SAVER_PID and SAVER_WINDOW.
StartSaver() { # dir [switch]
    local dir=$1 switch=${2:-/s}
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    (cd "$dir" && exec "$WINELOADER" "$dir/solvane.scr" "$switch" >"$dir/saver.out" 2>"$dir/saver.err") &
    SAVER_PID=$!
    SAVER_WINDOW=$(WaitWindow '^SaverWindow$' 30)
    if [ -z "$SAVER_WINDOW" ]; then
        WaitExit "$SAVER_PID" 1
        Fail "no SaverWindow within 30 s (saver exit: $EXIT_CODE)"
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
