#!/usr/bin/env bash
# What a second monitor costs the saver: frames per second on one monitor
# (1024 x 768) against two (the same one and a 1280 x 1024 one to its left), in
# alternating rounds, counted by Mesa's HUD (llvmpipe). Each layout has an Xorg
# with the dummy driver and a Wine prefix of its own, set up once: Wine 8 keeps the
# monitors it found, and a layout changed under a prefix is not seen again. Both
# layouts draw the same frame; the second draws it twice, into 2.67 times the
# pixels.
#
#   bench/monitors.sh
#
# Settings (environment): ROUNDS=3, RUN_SECONDS=20, SCR=build/win64/solvane.scr,
# TEXTURES=build/native/textures. Needs root (Xorg with the dummy driver).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
scr=${SCR:-$root/build/win64/solvane.scr}
TILES=${TEXTURES:-$root/build/native/textures}
PLATFORM_WORK=$(mktemp -d /tmp/solvane-monitors.XXXXXX)
export PLATFORM_WORK
# shellcheck source=../tests/e2e/platform_lib.sh
source "$root/tests/e2e/platform_lib.sh"

BeginCase bench
EndBench() {
    local layout
    for layout in one two; do
        WINEPREFIX=$CASE_DIR/prefix-$layout "$WINESERVER" -k >/dev/null 2>&1 || true
    done
    Cleanup
    rm -rf "$PLATFORM_WORK"
}
trap EndBench EXIT

declare -A displays
for layout in one two; do
    StartDummyXorg
    xrandr --output DUMMY0 --mode 1024x768 --primary
    if [ "$layout" = two ]; then
        xrandr --addmode DUMMY1 1280x1024
        xrandr --output DUMMY1 --mode 1280x1024 --left-of DUMMY0
    fi
    # Asked once before the boot, RandR lists the monitors as placed; without the
    # question the prefix found one monitor, and Wine kept that.
    monitors=1
    [ "$layout" = one ] || monitors=2
    xrandr --listmonitors | grep -q "^Monitors: $monitors" || Fail "RandR shows no $monitors"
    displays[$layout]=$DISPLAY
    BootPrefix "$CASE_DIR/prefix-$layout"
    RegSet 'HKCU\Software\QMT_kvr' path REG_SZ "$(Wine64 winepath -w "$TILES/" | tr -d '\r')"
done

# The median of the HUD's once-a-second samples, the first three (start-up) left out.
Run() { # layout round
    export DISPLAY=${displays[$1]} WINEPREFIX=$CASE_DIR/prefix-$1
    local hud=$CASE_DIR/hud-$1-$2
    mkdir -p "$hud"
    # The primary monitor's middle, in X's coordinates.
    if [ "$1" = one ]; then xdotool mousemove 512 384; else xdotool mousemove 1792 384; fi
    GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_DUMP_DIR=$hud \
        "$WINE64" "$scr" /s >"$hud.out" 2>&1 &
    SAVER_PID=$!
    OWN_PIDS+=("$SAVER_PID")
    WaitWindow SaverWindow 60 >/dev/null || Fail "no SaverWindow"
    sleep "$runSeconds"
    # Held for seconds: at a few frames a second the key-down message is handled
    # a frame late, and the space bar must still be down then.
    xdotool keydown space
    sleep 3
    xdotool keyup space
    WaitExit "$SAVER_PID" 60
    [ "$EXIT_CODE" = 0 ] || Fail "the saver did not close on the space bar: $EXIT_CODE"
    cat "$hud"/* | awk 'NR > 3 { print $1 }' | sort -n |
        awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print 0 }'
}

one=() two=()
for round in $(seq "$rounds"); do
    one+=("$(Run one "$round")")
    two+=("$(Run two "$round")")
    Note "round $round: one monitor ${one[-1]} fps, two monitors ${two[-1]} fps"
done
Median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
m1=$(Median "${one[@]}")
m2=$(Median "${two[@]}")
printf 'one monitor   %8s fps\ntwo monitors  %8s fps\nratio two/one %8s\nload average  %s\n' \
    "$m1" "$m2" "$(awk -v a="$m2" -v b="$m1" 'BEGIN { printf "%.2f", a / b }')" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
