# The end-to-end harness, sourced by every *_test.sh; not run by itself.
# shellcheck shell=bash
#
# How a case runs
#   CTest runs `bash <group>_test.sh <case>` with E2E_STATION and E2E_ARCH set.
#   A station is a Wine prefix of its own (setup_station.sh, a copy of the one
#   prefix that setup_prefix.sh boots per run); the cases of one station run one
#   after another, stations run side by side. RunCase gives the case a fresh Xvfb
#   display and wineserver on the station's prefix (nothing of the keyboard or the
#   windows of an earlier case is left), resets the registry, gives the saver's
#   clock a fixed moment and calls Case_<case>. E2E_ARCH picks the saver the case
#   runs: win32 (the product; run by the 32-bit Wine loader, or by QEMU's user mode
#   where the kernel refuses 32-bit code) or win64.
#
# Adding a case
#   1. Write Case_<name> in a <group>_test.sh that ends with `RunCase "$1"`.
#   2. Register it in CMakeLists.txt:
#        add_e2e_cases(<group>_test.sh ARCH win32|win64 [STATION <name>] CASES <name>...)
#      The station defaults to the group; name another to run beside the group.
#   3. In the case, typically:
#        AtMoment 2026-06-21T00:01:17Z SLV+5   # the saver's clock stands there
#        dir=$(SaverDir my-case)               # a folder with the saver of E2E_ARCH
#        StartSaver "$dir"                     # its full-screen window
#        ExpectOracle my-case                  # its picture is solvane-snapshot's
#        CloseWithSpace "after the space bar"  # exit code 0
#      Programs that must start the saver themselves (e2e_helper, preview_host)
#      are 64-bit (StartHelper): QEMU cannot run a 32-bit child of a Wine process,
#      so a case that needs one registers ARCH win64.
#
# The harness of every system test: cases, processes, waits, windows, the oracle.
source "$(dirname "${BASH_SOURCE[0]}")/../support/lib.sh"

# ---------------------------------------------------------------- state and clock

# Nothing of a clock faked around the whole run (faketime ctest ...) reaches the
# programs a case starts: Wine keeps the real time unless a case asks for a moment,
# and its processes must agree on the monotonic clock.
CleanClock() {
    unset LD_PRELOAD "${!FAKETIME@}"
}

# The state of the run and of this case's station.
LoadState() {
    : "${E2E_WORK:?E2E_WORK names the work folder of the end-to-end tests}"
    : "${E2E_STATION:?E2E_STATION names the station (display and prefix) of the case}"
    : "${E2E_ARCH:=win32}"
    case $E2E_ARCH in
    win32) E2E_BUILD=${E2E_WIN32_DIR:?} ;;
    win64) E2E_BUILD=${E2E_WIN64_DIR:?} ;;
    *) Fail "unknown E2E_ARCH $E2E_ARCH" ;;
    esac
    E2E_SCR=$E2E_BUILD/solvane.scr
    # The doubles are loaded into the saver, so they are built for its architecture.
    E2E_DOUBLES=$E2E_BUILD/tests/e2e/windows
    E2E_HELPERS=${E2E_WIN64_DIR:?}/tests/e2e/windows
    # Before anything of the run's state: without the build the fixtures skipped too.
    [ -f "$E2E_SCR" ] || Skip "no $E2E_SCR: cmake --preset $E2E_ARCH && cmake --build --preset $E2E_ARCH"
    STATION_DIR=$E2E_WORK/stations/$E2E_STATION
    mkdir -p "$STATION_DIR/cases"
    local file
    for file in "$E2E_WORK/run.env" "$STATION_DIR/state.env"; do
        if [ ! -f "$file" ]; then
            echo "no $file: the e2e fixtures have not run" >&2
            exit 1
        fi
        # shellcheck disable=SC1090
        source "$file"
    done
    CleanClock
    SNAPSHOT=${E2E_SNAPSHOT:?}
    export WINEPREFIX
    export WINEDEBUG=${WINEDEBUG:--all}
    # No Mono or Gecko installers: they would open dialogs of their own.
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
}

readonly LOADER64=/usr/lib/wine/wine64
readonly LOADER32=/usr/lib/wine/wine
readonly WINESERVER=/usr/bin/wineserver
readonly LIBFAKETIME=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
readonly SCREEN_WIDTH=1024 SCREEN_HEIGHT=768
readonly CENTRE_X=512 CENTRE_Y=384
# How long a started program may take to show its window or end: generous, as the
# emulated 32-bit saver on a loaded machine is slow, and only a failing case waits
# this long.
readonly START_BOUND=180
readonly EXIT_BOUND=60

# The moment the saver's clock stands still at, and the time zone it runs in
# (POSIX form, read the same way by the C library of Windows: hours west of UTC,
# "SLV-7" is seven hours ahead; no daylight-saving part). The camera starts above
# a longitude taken from the local hour and the clock text shows local time, so
# both are fixed for every case. A still clock keeps the picture still: the
# camera spins only when the UTC second changes.
AtMoment() { # utc(YYYY-MM-DDTHH:MM:SSZ) zone
    MOMENT_UTC=$1
    MOMENT_ZONE=$2
    MOMENT_SECONDS=$(date -u -d "$1" +%s) || Fail "bad moment $1"
    # libfaketime reads its absolute time as local time, in the zone of the process.
    MOMENT_LOCAL=$(TZ=$2 date -d "@$MOMENT_SECONDS" '+%Y-%m-%d %H:%M:%S')
}

# Makes the case's moment a clock that StepClock can move while the saver runs
# (the 64-bit saver: libfaketime reads the moment from a file).
SteppableClock() {
    [ "$E2E_ARCH" = win64 ] || Fail "a steppable clock needs the 64-bit saver"
    MOMENT_FILE=$STATION_DIR/moment
    echo "$MOMENT_LOCAL" >"$MOMENT_FILE"
}

# Moves the steppable clock, standing, to another moment (of the oracle too), or
# with `running` sets it going from there.
StepClock() { # utc [running]
    AtMoment "$1" "$MOMENT_ZONE"
    # Renamed into place: the saver never reads half a line.
    echo "${2:+@}$MOMENT_LOCAL" >"$MOMENT_FILE.new"
    mv "$MOMENT_FILE.new" "$MOMENT_FILE"
}

# Fills WINDOWS_COMMAND with what starts a Windows program of the architecture at
# the case's moment: libfaketime for a 64-bit Wine process; for a 32-bit one the
# guest shim (emulation/guest_shim.c), natively or through QEMU. Without a moment
# (no AtMoment) the program sees the real clock.
WindowsCommand() { # arch
    local clock=()
    case $1 in
    win64)
        [ -z "${MOMENT_SECONDS:-}" ] || clock=(TZ="$MOMENT_ZONE" LD_PRELOAD="$LIBFAKETIME"
            FAKETIME="$MOMENT_LOCAL" FAKETIME_DONT_FAKE_MONOTONIC=1)
        # libfaketime reads a steppable clock's file again every second.
        [ -z "${MOMENT_FILE:-}" ] || clock=(TZ="$MOMENT_ZONE" LD_PRELOAD="$LIBFAKETIME"
            FAKETIME_TIMESTAMP_FILE="$MOMENT_FILE" FAKETIME_CACHE_DURATION=1
            FAKETIME_DONT_FAKE_MONOTONIC=1)
        WINDOWS_COMMAND=(env "${clock[@]}" "$LOADER64")
        ;;
    win32)
        [ -f "${E2E_GUEST_SHIM:-}" ] || Fail "no guest shim ${E2E_GUEST_SHIM:-}: build the native preset"
        [ -z "${MOMENT_SECONDS:-}" ] || clock=(TZ="$MOMENT_ZONE" SOLVANE_CLOCK_AT="$MOMENT_SECONDS")
        if [ "$E2E_WIN32_RUNS" = native ]; then
            WINDOWS_COMMAND=(env "${clock[@]}" LD_PRELOAD="$E2E_GUEST_SHIM" "$LOADER32")
        else
            # The loader must not re-execute itself through the preloader, which
            # the kernel would refuse again. -R keeps QEMU's mappings where Wine
            # expects them when a library is preloaded. QEMU hands its own
            # environment to the program.
            WINDOWS_COMMAND=(env "${clock[@]}" WINELOADERNOEXEC=1 qemu-i386 -R 0xffff0000
                -E LD_PRELOAD="$E2E_GUEST_SHIM" "$LOADER32")
        fi
        ;;
    esac
}

# Starts a Windows program in the background from folder $2, with its output in
# $3 and $3.err. Its Unix process is the Windows process (or QEMU running it), so
# `wait` yields the program's exit code; a 32-bit one also leaves it in $3.exit
# (see the guest shim). Sets LAST_PID.
StartWindows() { # arch dir out program args...
    local arch=$1 dir=$2 out=$3
    shift 3
    WindowsCommand "$arch"
    rm -f "$out.exit"
    (cd "$dir" && SOLVANE_EXIT_CODE_FILE=$out.exit exec "${WINDOWS_COMMAND[@]}" "$@" >"$out" 2>"$out.err") &
    LAST_PID=$!
    Track "$LAST_PID"
    EXIT_FILES[$LAST_PID]=$out.exit
}

# A test program of tests/e2e/windows that starts or hosts the saver (64-bit).
StartHelper() { # out program args...
    local out=$1 program=$2
    shift 2
    StartWindows win64 "$(dirname "$out")" "$out" "$E2E_HELPERS/$program" "$@"
}

# The Windows path of a Unix path: on the prefix's C: drive if it lies there, else
# through Wine's Z: drive (the whole Unix file system).
WinPath() {
    local path driveC drive
    path=$(readlink -m "$1")
    driveC=$(readlink -m "$WINEPREFIX/drive_c")
    case $path in
    "$driveC"/*) path=${path#"$driveC"} drive=C: ;;
    *) drive=Z: ;;
    esac
    echo "$drive${path//\//\\}"
}

Wine() { "$LOADER64" "$@"; }

# A Wine tool whose work may be done twice without harm (reg add, reg export,
# regedit). The wineserver gives a process that has ended on the Windows side half
# a second to leave and then kills it; on a loaded machine a tool that did its work
# can lose its exit code that way (137, SIGKILL), so such a run is made once more.
WineTool() {
    local status=0
    "$LOADER64" "$@" || status=$?
    [ "$status" = 137 ] || return "$status"
    "$LOADER64" "$@"
}

# A display of the case's own: an Xvfb whose number is kept in the station, so that
# the next case or the station's clean-up can end it if the case could not.
StartDisplay() {
    StopDisplay
    local display pid
    read -r display pid < <("$(dirname "${BASH_SOURCE[0]}")/start_xvfb.sh" "$STATION_DIR/xvfb.log") ||
        Fail "no Xvfb display"
    echo "$pid" >"$STATION_DIR/xvfb.pid"
    export DISPLAY=$display
}

StopDisplay() {
    local pid
    pid=$(cat "$STATION_DIR/xvfb.pid" 2>/dev/null || true)
    if [ -n "$pid" ] && grep -qE 'Xvfb|Xorg' "/proc/$pid/cmdline" 2>/dev/null; then kill "$pid"; fi
    rm -f "$STATION_DIR/xvfb.pid"
}

# Replaces the case's display by an Xorg with the dummy driver and the monitors of
# a layout of start_dummy_xorg.sh (Xvfb gives Wine one monitor whatever its heads),
# with a fresh wineserver on it. Skips the case where that Xorg cannot run here.
StartMonitorsDisplay() { # layout
    StopWine
    StopDisplay
    local started status=0
    started=$("$(dirname "${BASH_SOURCE[0]}")/start_dummy_xorg.sh" "$1" "$STATION_DIR/xorg.log") ||
        status=$?
    [ "$status" != 77 ] || exit 77
    [ "$status" = 0 ] || Fail "no Xorg with the dummy driver; see $STATION_DIR/xorg.log"
    echo "${started#* }" >"$STATION_DIR/xvfb.pid"
    export DISPLAY=${started% *}
    StartWineServer
    Note "Xorg (dummy driver) $DISPLAY with the monitors of layout $1"
}

# Changes the dummy-driver Xorg's monitors with xrandr while programs run (a mode
# an output lacks is added first), then waits until RandR has `count` monitors.
ChangeMonitors() { # count output mode|off [xrandr placement...]
    local count=$1 output=$2 mode=$3
    shift 3
    if [ "$mode" = off ]; then
        xrandr --output "$output" --off || Fail "xrandr cannot switch $output off"
    else
        xrandr --addmode "$output" "$mode" 2>/dev/null || true
        xrandr --output "$output" --mode "$mode" "$@" || Fail "xrandr cannot set $output $mode $*"
    fi
    WaitUntil "$EXIT_BOUND" eval 'xrandr --listmonitors | grep -q "^Monitors: $count\$"' ||
        Fail "RandR does not show $count monitors"
    Note "monitors changed: $output $mode $*"
}

# The case's wineserver, started before a program of ours, so that Wine's own
# services are running by then and nothing holds our output open.
StartWineServer() {
    "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
    Wine reg query 'HKCU\Software\Wine' </dev/null >/dev/null 2>&1 || true
}

StopWine() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    "$WINESERVER" -w >/dev/null 2>&1 || true
}

# ---------------------------------------------------------------- registry

RegAdd() { # key value type data
    WineTool reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 || Fail "reg add $1 $2"
}

RegDelete() { # key [value]
    Wine reg delete "$1" ${2:+/v "$2"} /f >/dev/null 2>&1 || true
}

# The data of a REG_SZ value, or nothing.
RegQuery() { # key value
    # A missing value makes reg fail; that is the "nothing", not an end of the case.
    { Wine reg query "$1" /v "$2" 2>/dev/null || true; } | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print }'
}

# Waits until the texture folder stored in the registry is the given Windows path
# (the saver writes it after the dialog has gone); fails naming what is stored.
ExpectStoredFolder() { # windows-path
    Stored() { [ "$(RegQuery "$APP_KEY" path)" = "$1" ]; }
    POLL=0.5 WaitUntil "$EXIT_BOUND" Stored "$1" ||
        Fail "stored folder '$(RegQuery "$APP_KEY" path)', wanted '$1'"
}

readonly SCREEN_SAVERS_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Screen Savers'
readonly APP_KEY='HKCU\Software\QMT_kvr'
readonly APP_DEFAULTS_KEY='HKCU\Software\Wine\AppDefaults\solvane.scr'

# The registry as a case starts from it: no screen-saver settings, an NT
# platform, and of the saver's own values only the texture folder of the good
# tiles, stored as an installer would. One regedit run instead of three reg runs: each Wine start costs.
ResetRegistry() {
    local folder file=$STATION_DIR/reset.reg
    folder="$(WinPath "$E2E_TILES")\\"
    {
        printf 'REGEDIT4\r\n\r\n'
        printf '[-%s]\r\n\r\n' "${SCREEN_SAVERS_KEY/HKCU/HKEY_CURRENT_USER}"
        printf '[-%s]\r\n\r\n' "${APP_DEFAULTS_KEY/HKCU/HKEY_CURRENT_USER}"
        printf '[-%s]\r\n\r\n' "${APP_KEY/HKCU/HKEY_CURRENT_USER}"
        printf '[%s]\r\n"path"="%s"\r\n\r\n' "${APP_KEY/HKCU/HKEY_CURRENT_USER}" "${folder//\\/\\\\}"
    } >"$file"
    WineTool regedit /S "$(WinPath "$file")" >/dev/null 2>&1 || Fail "regedit $file"
}

# ---------------------------------------------------------------- windows and input

# Moves the pointer and waits until it is there. xdotool's --sync waits for a
# motion that never comes when the pointer already stands there.
ParkPointer() { # x y
    [ "$(xdotool getmouselocation 2>/dev/null | cut -d' ' -f1-2)" != "x:$1 y:$2" ] || return 0
    timeout 5 xdotool mousemove --sync "$1" "$2" >/dev/null 2>&1 || xdotool mousemove "$1" "$2"
}

# Presses a key that nothing is awaited from, held for a second.
PressKey() { # keysym
    xdotool keydown "$1"
    sleep 1
    xdotool keyup "$1"
}

# Holds a key down until a condition holds, for up to $2 seconds, then lets it go;
# fails if the condition never held. The saver reads the key's state
# (GetAsyncKeyState) when it handles the key-down message, which may come a whole
# frame after the press, and a frame of the emulated saver on a busy machine is
# slow: a fixed short press could be over before it is read. Without auto-repeat
# (start_xvfb.sh) a held key stays one press.
HoldKeyUntil() { # keysym seconds condition...
    local key=$1 met=0
    shift
    xdotool keydown "$key"
    WaitUntil "$@" || met=1
    xdotool keyup "$key"
    return "$met"
}

SaverEnded() { Ended "$SAVER_PID"; }
SaverWindowGone() { ! WindowExists '^SaverWindow$'; }

# Ends the saver with the space bar and expects exit code 0; `when` names the
# situation in the failure message.
CloseWithSpace() { # when
    HoldKeyUntil space "$EXIT_BOUND" SaverEnded || true
    ExpectSaverExit "$1"
}

# Waits for the saver to end and expects exit code 0.
ExpectSaverExit() { # when
    WaitExit "$SAVER_PID" "$EXIT_BOUND"
    if [ "$EXIT_CODE" != 0 ]; then
        local shown=no
        WindowExists '^SaverWindow$' && shown=yes
        Fail "exit code $1: $EXIT_CODE (SaverWindow still there: $shown)"
    fi
}

# Presses Esc in a dialog until it goes (the first press can come before the
# dialog has taken the keyboard on a busy machine); fails after three tries.
# Each try waits long: an Esc too many would cancel whatever comes next.
EscapeDialog() { # window-id
    local try
    for try in 1 2 3; do
        FocusWindow "$1"
        xdotool key Escape
        WaitWindowGone "$1" 60 && return 0
        Note "Esc try $try did not close window $1"
    done
    Fail "Esc did not close window $1"
}

readonly FOLDER_DIALOG='^Browse for textures path$'

# Waits for the texture-folder dialog and answers it: with the marker file of a
# folder, or, given cancel-in, by browsing to a folder (typing it and Return opens
# it) and cancelling there.
AnswerFolderDialog() { # marker-unix-path | cancel-in folder-unix-path
    local dialog
    dialog=$(ExpectWindow "$FOLDER_DIALOG" "$START_BOUND" '"Browse for textures path" dialog')
    FocusWindow "$dialog"
    if [ "$1" = cancel-in ]; then
        xdotool type --delay 20 "$(WinPath "$2")\\"
        xdotool key Return
        sleep 1
        EscapeDialog "$dialog"
        return
    fi
    xdotool type --delay 20 "$(WinPath "$1")"
    xdotool key Return
    WaitWindowGone "$dialog" "$START_BOUND" || Fail "the dialog stayed after it was answered"
}

# ---------------------------------------------------------------- the saver

# A folder of its own for a case, emptied first.
TestDir() { # name
    local dir="$STATION_DIR/cases/$1"
    rm -rf "$dir"
    mkdir -p "$dir"
    echo "$dir"
}

# A fresh folder holding the saver of the case's architecture and, if named, test
# doubles planted beside it.
SaverDir() { # name [double-file...]
    local dir
    dir=$(TestDir "$1")
    shift
    cp "$E2E_SCR" "$dir/solvane.scr"
    local double
    for double in "$@"; do cp "$E2E_DOUBLES/$double" "$dir/"; done
    echo "$dir"
}

# Puts a test double where the saver looks for a system library: the system folder
# of its architecture (GetSystemDirectory; a 32-bit program's is syswow64 in this
# 64-bit prefix). It takes the place of Wine's own file of that name, whatever its
# case; the station's file comes back when the case ends. The prefix's files are
# links into the run's template (hard, or symbolic to Wine's own), so the double
# replaces the link and never writes through it.
InstallSystemDouble() { # double-file
    local folder=system32 target
    [ "$E2E_ARCH" = win64 ] || folder=syswow64
    target=$(find "$WINEPREFIX/drive_c/windows/$folder" -maxdepth 1 -iname "$1" | head -n 1)
    target=${target:-$WINEPREFIX/drive_c/windows/$folder/$1}
    echo "$target" >>"$STATION_DIR/system-doubles"
    cp --remove-destination "$E2E_DOUBLES/$1" "$target"
}

RestoreSystemFiles() {
    local target original
    [ -f "$STATION_DIR/system-doubles" ] || return 0
    while read -r target; do
        original=$E2E_TEMPLATE/${target#"$WINEPREFIX"/}
        rm -f "$target"
        if [ -e "$original" ] || [ -L "$original" ]; then cp -al "$original" "$target"; fi
    done <"$STATION_DIR/system-doubles"
    rm -f "$STATION_DIR/system-doubles"
}

# Starts the saver from its folder, with the working directory there too (where a
# library planted beside it would be found, were it searched for there), without
# waiting. Sets SAVER_PID.
LaunchSaver() { # dir [args...]
    local dir=$1
    shift
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    StartWindows "$E2E_ARCH" "$dir" "$dir/saver.out" "$dir/solvane.scr" "$@"
    SAVER_PID=$LAST_PID
}

# Starts the saver in full-screen mode and waits for its window. Sets SAVER_PID
# and SAVER_WINDOW.
StartSaver() { # dir [switch]
    LaunchSaver "$1" "${2:-/s}"
    ExpectSaverWindow
}

ExpectSaverWindow() {
    SAVER_WINDOW=$(WaitWindow '^SaverWindow$' "$START_BOUND")
    if [ -z "$SAVER_WINDOW" ]; then
        WaitExit "$SAVER_PID" 1
        Fail "no SaverWindow within $START_BOUND s (saver exit: $EXIT_CODE)"
    fi
    Note "SaverWindow $SAVER_WINDOW shown"
}

# Expects the saver's window with no folder dialog before it (a good folder is
# stored). Sets SAVER_WINDOW.
ExpectSaverWindowAskingNothing() {
    local window
    window=$(ExpectWindow '^(SaverWindow|Browse for textures path)$' "$START_BOUND" "saver's window nor dialog")
    [ "$(xdotool getwindowname "$window" 2>/dev/null)" = SaverWindow ] ||
        Fail "the folder dialog came although a good folder was stored"
    SAVER_WINDOW=$window
    Note "SaverWindow $SAVER_WINDOW shown, no dialog before it"
}

# What Windows tells another process about the saver's window and the screen
# (windows/dpi_probe.c), one fact a line, into a file; with a point, also which
# window Windows finds there.
ProbeSaverWindow() { # file [x y]
    Wine "$E2E_HELPERS/dpi_probe.exe" SaverWindow "${@:2}" >"$1.raw" 2>"$1.err" ||
        Fail "dpi_probe: $(cat "$1.raw")"
    tr -d '\r' <"$1.raw" >"$1"
}

# Probes the saver's window and expects each fact, a whole line of the probe's.
ExpectProbed() { # file fact...
    ProbeSaverWindow "$1"
    local fact
    for fact in "${@:2}"; do
        grep -qxF "$fact" "$1" || Fail "Windows does not report '$fact': $(cat "$1")"
    done
}

# ---------------------------------------------------------------- the oracle

# The tolerance is the one of every system test (tests/support/lib.sh).
# The clock text's corner of a picture of the screen: its two rows, as far as the
# longest text reaches, clear of the globe whatever the camera.
readonly CLOCK_AREA=256x62+0+$((SCREEN_HEIGHT - 62))

# The oracle (OraclePicture) draws the case's moment in its zone, with
# ORACLE_OPTIONS such as --no-clock for a saver told to show no clock.
ORACLE_OPTIONS=()

# Waits until the saver's window shows solvane-snapshot's picture of the case's
# moment (from the second frame on, once the camera is aligned) and checks that it
# stays so. Everything is kept in the case folder under `name`.
ExpectOracle() { # name [tiles]
    ExpectOracleIn "$1" "${SCREEN_WIDTH}x$SCREEN_HEIGHT+0+0" "${2:-$E2E_TILES}"
}

# The same for a part of the saver's window (one monitor's, where it spans
# several), against the oracle at that part's size; with an area (in the part), only
# there.
declare -A ORACLE_PARTS=()
ExpectOracleIn() { # name geometry(WxH+X+Y, in the window) [tiles] [area]
    local base=$STATION_DIR/cases/$1 part=$2 tiles=${3:-$E2E_TILES}
    local shot=$base-saver.png oracle=$base-oracle.png size=${part%%+*}
    ORACLE_PARTS[$1]=$part
    OraclePicture "$oracle" "$tiles" "$size"
    Note "oracle $oracle rendered"
    local oracleLit
    oracleLit=$(LitShare "$oracle" "$size+0+0")
    FloatAbove "$oracleLit" 0.05 || Fail "the oracle $oracle shows no globe (lit share $oracleLit)"

    SaverShot() { # png
        Running "$SAVER_PID" || Fail "the saver ended while its picture was awaited"
        Screenshot "$SAVER_WINDOW" "$1" "$part"
    }
    ExpectOracleMatch "$START_BOUND" "$shot" "$oracle" "${4:-}" SaverShot
}

# Succeeds once the saver's picture is far from the oracle that ExpectOracle
# rendered for `name`: the camera has moved. Input that the saver handled before
# a camera key has been handled once the camera moves.
PictureLeftOracle() { # name
    local base=$STATION_DIR/cases/$1
    Screenshot "$SAVER_WINDOW" "$base-moved.png" "${ORACLE_PARTS[$1]}" &&
        [ "$(Mismatches "$base-moved.png" "$base-oracle.png")" -gt 1000 ]
}

# Turns the camera with keypad 6 and waits until the picture shows it.
TurnCameraAway() { # name
    HoldKeyUntil KP_6 "$START_BOUND" PictureLeftOracle "$1" || Fail "keypad 6 did not turn the camera"
}

# ---------------------------------------------------------------- live clouds

# The saver's cloud cache (%LOCALAPPDATA%\Solvane of the prefix's user, who is named
# after the Unix one): clouds.img holds the image as served, clouds.state its times.
CloudCacheDir() { echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Solvane"; }

# Keeps `image` as the cached live clouds, fetched three hours and a second before
# the case's moment and never tried since: shown at the start, and due for a fetch.
SeedCloudCache() { # image
    local cache
    cache=$(CloudCacheDir)
    mkdir -p "$cache"
    cp "$1" "$cache/clouds.img"
    printf 'fetched %s\ntried 0\n' $((MOMENT_SECONDS - 3 * 3600 - 1)) >"$cache/clouds.state"
}

# Waits until a saver has begun a fetch at the case's moment (it records the try in
# the cache before it connects).
ExpectFetchBegun() {
    local state
    state=$(CloudCacheDir)/clouds.state
    WaitUntil "$START_BOUND" grep -qx "tried $MOMENT_SECONDS" "$state" 2>/dev/null ||
        Fail "the saver began no fetch: $(cat "$state" 2>&1)"
    Note "the saver began its fetch"
}

# The fetcher tests' server (tests/support/cloud_server.py) on 127.0.0.1, serving
# the files of `folder` (good.jpg is the image of /good.jpg, /half and /slow), with
# a certificate of its own for its HTTPS port. Sets CLOUD_PORT to its HTTP port. It
# reads its stdin until that closes: a descriptor of this shell, so it ends with
# the case however the case ends.
StartCloudServer() { # folder
    local folder=$1
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=localhost \
        -addext subjectAltName=DNS:localhost,IP:127.0.0.1 \
        -keyout "$folder/key.pem" -out "$folder/cert.pem" >/dev/null 2>&1 ||
        Fail "openssl made no certificate for the cloud server"
    # shellcheck disable=SC2034 # held open, never written
    exec {CLOUD_SERVER_INPUT}> >(exec python3 "$(dirname "${BASH_SOURCE[0]}")/../support/cloud_server.py" \
        "$folder" "$folder/cert.pem" "$folder/key.pem" >"$folder/ports" 2>"$folder/server.err")
    Track $!
    # Only a whole line is read: a half-written one would name a wrong port.
    POLL=0.1 WaitUntil 30 eval 'read -r CLOUD_PORT _ 2>/dev/null <"$folder/ports"' ||
        Fail "the cloud server did not start: $(cat "$folder/server.err")"
    Note "cloud server on 127.0.0.1:$CLOUD_PORT"
}

# ---------------------------------------------------------------- running a case

# The case with the station loaded, a clean registry, no cached clouds and the
# default moment; its Windows processes, whatever else runs in the prefix (a saver
# that a host program started, the wineserver and Wine's services) and its display
# end with it.
END_SIGNAL=KILL
StartCase() { # name
    LoadState
    AtEnd StopWine
    AtEnd StopDisplay
    AtEnd RestoreSystemFiles
    # A case that its runner killed could not clean up after itself.
    StopWine
    RestoreSystemFiles
    StartDisplay
    StartWineServer
    ResetRegistry
    # Nor are the clouds an earlier case fetched.
    rm -rf "$(CloudCacheDir)"
    # Noon over the Greenwich meridian, the camera over the lit side: the moment of
    # every case that names none.
    AtMoment 2026-12-22T12:00:07Z SLV-1
    Note "$E2E_ARCH saver on station $E2E_STATION ($DISPLAY)"
}
