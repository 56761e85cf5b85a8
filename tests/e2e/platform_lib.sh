# Shared by the end-to-end tests of the Windows platform (installer, monitors,
# scaled display): each case starts its own X server and boots its own Wine prefix
# under $PLATFORM_WORK/<case>, and ends only what it started. Sourced, not run.
# Every wait is a bounded poll.
# shellcheck shell=bash

: "${PLATFORM_WORK:?PLATFORM_WORK names the work folder of these tests}"
PLATFORM_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
readonly PLATFORM_HERE
readonly WINE64=/usr/lib/wine/wine64
readonly WINESERVER=/usr/bin/wineserver
readonly FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
# The moment every picture is taken at, with the clock standing still there: the
# camera then does not spin, and the saver's picture is the snapshot tool's.
readonly MOMENT="2026-12-22 12:00:00"
readonly MOMENT_ISO="2026-12-22T12:00:00Z"
readonly SKIP=77

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}
Note() { echo "-- $*"; }
Skip() {
    echo "SKIP: $*"
    exit $SKIP
}

# What this case started, ended however the case ends. A prefix is a gigabyte: it
# goes when the case passed, and stays for a look when it failed.
OWN_PIDS=()
OWN_X_PIDS=()
Cleanup() {
    local status=$? pid
    for pid in "${OWN_PIDS[@]+"${OWN_PIDS[@]}"}"; do kill -9 "$pid" 2>/dev/null || true; done
    if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
        "$WINESERVER" -k >/dev/null 2>&1 || true
        timeout 30 "$WINESERVER" -w >/dev/null 2>&1 || true
    fi
    for pid in "${OWN_X_PIDS[@]+"${OWN_X_PIDS[@]}"}"; do kill "$pid" 2>/dev/null || true; done
    if [ "$status" = 0 ] && [ -n "${WINEPREFIX:-}" ]; then rm -rf "$WINEPREFIX"; fi
}

# A fresh work folder for the case, and the clean-up on exit.
BeginCase() { # name
    CASE_DIR=$PLATFORM_WORK/$1
    rm -rf "$CASE_DIR"
    mkdir -p "$CASE_DIR"
    trap Cleanup EXIT
    export TZ=UTC
}

# An Xvfb of its own with one 1024 x 768 screen.
StartXvfb() {
    local display pid
    read -r display pid < <("$PLATFORM_HERE/start_xvfb.sh" "$CASE_DIR/xvfb.log") ||
        Fail "no Xvfb display"
    OWN_X_PIDS+=("$pid")
    export DISPLAY=$display
    Note "Xvfb $DISPLAY"
}

# Xorg with the dummy driver, whose RandR outputs Wine takes for monitors (Xvfb
# gives it one monitor whatever its heads). It must run as root here; elsewhere the
# case is skipped. Sets DISPLAY; the outputs are then placed with xrandr.
StartDummyXorg() {
    [ "$(id -u)" = 0 ] || Skip "Xorg with the dummy driver needs root here"
    if [ ! -x /usr/bin/Xorg ] || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
        Skip "no Xorg dummy driver (xserver-xorg-video-dummy)"
    fi
    local config=$CASE_DIR/xorg.conf number
    cat >"$config" <<'CONFIG'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
CONFIG
    for number in $(seq 200 260); do
        [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
        setsid Xorg ":$number" -noreset -nolisten tcp -config "$config" \
            -logfile "$CASE_DIR/xorg$number.log" </dev/null >"$CASE_DIR/xorg$number.out" 2>&1 &
        local pid=$! _
        for _ in $(seq 150); do
            if xdpyinfo -display ":$number" >/dev/null 2>&1; then
                OWN_X_PIDS+=("$pid")
                export DISPLAY=:$number
                Note "Xorg (dummy) $DISPLAY"
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.2
        done
        kill "$pid" 2>/dev/null || true
    done
    Fail "Xorg with the dummy driver did not start; see $CASE_DIR/xorg*.log"
}

# The 32-bit Wine loader, native where the machine runs 32-bit code, else under
# QEMU's user mode (WINE-TESTING.md). Sets WINE32 (a command array).
# shellcheck disable=SC2034  # read by the scripts that source this
ChooseWine32() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        WINE32=(/usr/lib/wine/wine)
    else
        WINE32=(env WINELOADERNOEXEC=1 qemu-i386 /usr/lib/wine/wine)
    fi
}

# A fresh 64-bit prefix (default $CASE_DIR/prefix), booted by the 64-bit loader on
# the current display; its syswow64 gets the 32-bit DLLs, which a boot that cannot
# start the 32-bit loader leaves out.
BootPrefix() { # [folder]
    export WINEPREFIX=${1:-$CASE_DIR/prefix} WINEARCH=win64 WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    timeout 180 "$WINE64" wineboot -i >"$CASE_DIR/boot.log" 2>&1 || true
    timeout 120 "$WINESERVER" -w || true
    [ -f "$WINEPREFIX/system.reg" ] || Fail "the Wine prefix did not boot; see $CASE_DIR/boot.log"
    local wow=$WINEPREFIX/drive_c/windows/syswow64
    if [ -z "$(ls -A "$wow" 2>/dev/null)" ]; then
        cp /usr/lib/i386-linux-gnu/wine/i386-windows/* "$wow/"
    fi
    "$WINE64" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
    "$WINESERVER" -w
    # Kept up, so that Wine's own services run before our programs start and
    # nothing of theirs holds our output open.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
}

RestartWineServer() {
    "$WINESERVER" -k >/dev/null 2>&1 || true
    timeout 60 "$WINESERVER" -w || true
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
}

Wine64() { "$WINE64" "$@"; }

RegSet() { # key value type data
    Wine64 reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 || Fail "reg add $1 $2"
}

# The data of a value, or nothing when it is missing.
RegValue() { # key value
    Wine64 reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        awk -v name="$2" '$1 == name && $2 ~ /^REG_/ { sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, ""); print }'
}

RegKeyExists() { Wine64 reg query "$1" >/dev/null 2>&1; }

# The Unix path of a Windows path in the prefix.
UnixPath() { Wine64 winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# Starts the 64-bit saver (or any program) with the clock standing at MOMENT; sets
# SAVER_PID. The program's Unix process is the Windows process.
StartFrozen() { # out-file program args...
    local out=$1
    shift
    LD_PRELOAD=$FAKETIME_LIB FAKETIME="$MOMENT" FAKETIME_DONT_FAKE_MONOTONIC=1 \
        "$WINE64" "$@" >"$out" 2>"$out.err" &
    SAVER_PID=$!
    OWN_PIDS+=("$SAVER_PID")
}

# What Windows reports about the saver window and the monitors (dpi_probe), in a
# file without CRs.
Probe() { # file
    Wine64 "$PROBE64" SaverWindow >"$1.raw" 2>"$1.err" || Fail "dpi_probe: $(cat "$1.raw")"
    tr -d '\r' <"$1.raw" >"$1"
    sed 's/^/   /' "$1"
}

# The id of the first mapped X window with exactly this name, waiting up to $2 s.
WaitWindow() { # name seconds
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -le "$deadline" ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1) || true
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.5
    done
    return 1
}

WindowExists() { xdotool search --name "^$1\$" >/dev/null 2>&1; }

# Waits up to $2 s for a process of this shell to end; sets EXIT_CODE (or "timeout").
WaitExit() { # pid seconds
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        if [ $SECONDS -ge "$deadline" ]; then
            EXIT_CODE=timeout
            return
        fi
        sleep 0.5
    done
    EXIT_CODE=0
    wait "$1" || EXIT_CODE=$?
}

# Holds a key long enough for the saver's key-state read to see it.
PressKey() {
    xdotool keydown "$1"
    sleep 0.5
    xdotool keyup "$1"
}

# The saver is up with no dialog of the first run: waits for its window and then
# for its first frames to be drawn. Sets SAVER_WINDOW.
# shellcheck disable=SC2034  # read by the scripts that source this
WaitSaverDrawing() { # seconds
    SAVER_WINDOW=$(WaitWindow SaverWindow "$1") || {
        WaitExit "$SAVER_PID" 1
        Fail "no SaverWindow within $1 s (saver: $EXIT_CODE)"
    }
    # Frames are drawn from the first idle turn on; a few seconds covers a busy machine,
    # and the clock stands still, so a later frame is the same picture.
    sleep 4
    ! WindowExists "Browse for textures path" || Fail "the saver asked for its texture folder"
}

CloseWithSpace() {
    PressKey space
    WaitExit "$SAVER_PID" 30
    [ "$EXIT_CODE" = 0 ] || Fail "the saver's exit code after the space bar: $EXIT_CODE"
}

ScreenshotRoot() { # png
    xwd -root -silent | convert xwd:- "$1" || Fail "screenshot of $DISPLAY"
}

# The oracle: solvane-snapshot of MOMENT at a size, from the same tiles.
Oracle() { # size(WxH) png
    TZ=UTC ASAN_OPTIONS=detect_leaks=0 "$SOLVANE_SNAPSHOT" --textures "$TILES" \
        --utc "$MOMENT_ISO" --size "$1" --out "$2" >"$2.log" 2>&1 ||
        Fail "solvane-snapshot $1 failed; see $2.log"
}

# How far the saver's picture under Wine (WGL over llvmpipe) may be from the
# headless one (EGL over llvmpipe) of the same moment and size. Both rasterise the
# same calls: measured here, 0 or 1 pixel in a million differed by more than 10 %.
# What the check must catch differs far more: the same moment drawn at 683 x 512
# and scaled up to 1024 x 768 (a saver unaware of a 150 % scale) in 0.4 % of the
# pixels, the camera a degree further on (four seconds of spin) in 0.8 %, the
# picture stretched from 1280 x 768 in 12.6 %.
readonly ORACLE_FUZZ=10%
readonly ORACLE_MAX_SHARE=0.001

# Compares a region of a screenshot with the oracle of that region's size.
ExpectOracle() { # screenshot geometry(WxH+X+Y) label
    local size=${2%%+*} crop=$CASE_DIR/$3.png oracle=$CASE_DIR/$3-oracle.png
    convert "$1" -crop "$2" +repage "$crop"
    Oracle "$size" "$oracle"
    local differing total share
    differing=$(compare -metric AE -fuzz "$ORACLE_FUZZ" "$crop" "$oracle" null: 2>&1 || true)
    differing=${differing%% *}
    total=$((${size%x*} * ${size#*x}))
    share=$(awk -v d="$differing" -v t="$total" 'BEGIN { printf "%.5f", d / t }')
    Note "$3: $differing of $total pixels differ from the oracle ($share)"
    awk -v s="$share" -v m="$ORACLE_MAX_SHARE" 'BEGIN { exit !(s <= m) }' ||
        Fail "$3 differs from solvane-snapshot of $MOMENT_ISO at $size in $share of its pixels"
}
