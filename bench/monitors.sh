#!/usr/bin/env bash
# What a second monitor costs the saver: frames per second on one monitor
# (1024 x 768) against two (the same one and a 1280 x 1024 one to its left), in
# alternating rounds, counted by Mesa's HUD (llvmpipe). Each layout has an Xorg
# with the dummy driver (tests/e2e/start_dummy_xorg.sh) and a Wine prefix of its
# own. Both layouts draw the same frame; the second draws it twice, into 2.67 times
# the pixels.
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
textures=${TEXTURES:-$root/build/native/textures}
loader=/usr/lib/wine/wine64
work=$(mktemp -d /tmp/solvane-monitors.XXXXXX)
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

declare -A displays xorgs
declare -A widths=([one]=1024 [two]=2304)
saver=""
Finish() {
    [ -z "$saver" ] || kill -9 "$saver" 2>/dev/null || true
    local layout
    for layout in "${!xorgs[@]}"; do
        WINEPREFIX=$work/prefix-$layout wineserver -k >/dev/null 2>&1 || true
        kill "${xorgs[$layout]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap Finish EXIT
Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for layout in one two; do
    started=$("$root/tests/e2e/start_dummy_xorg.sh" "$layout" "$work/xorg-$layout.log")
    displays[$layout]=${started% *}
    xorgs[$layout]=${started#* }
    export DISPLAY=${displays[$layout]} WINEPREFIX=$work/prefix-$layout
    timeout 300 "$loader" wineboot -i >"$work/boot-$layout.log" 2>&1 || true
    timeout 120 wineserver -w || true
    # Kept up between rounds, so that no round pays for starting it. Started while
    # none runs: with one still lingering after the boot, -p fails.
    wineserver -p </dev/null >/dev/null 2>&1
    "$loader" reg add 'HKCU\Software\QMT_kvr' /v path /t REG_SZ \
        /d "$("$loader" winepath -w "$textures/" | tr -d '\r')" /f >/dev/null 2>&1
done

# The median of the HUD's once-a-second samples of one run, the first three
# (start-up) left out.
Run() { # layout round
    export DISPLAY=${displays[$1]} WINEPREFIX=$work/prefix-$1
    local hud=$work/hud-$1-$2
    mkdir -p "$hud"
    # The primary monitor's middle, in X's coordinates.
    if [ "$1" = one ]; then xdotool mousemove 512 384; else xdotool mousemove 1792 384; fi
    GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_DUMP_DIR=$hud \
        "$loader" "$scr" /s >"$hud.out" 2>&1 &
    saver=$!
    local deadline=$((SECONDS + 60))
    local window=""
    until window=$(xdotool search --onlyvisible --name '^SaverWindow$' 2>/dev/null | head -n 1) &&
        [ -n "$window" ]; do
        [ $SECONDS -lt $deadline ] || Fail "no SaverWindow on layout $1"
        sleep 0.5
    done
    # A figure for two monitors means nothing unless the window spans both.
    local width
    width=$(xwininfo -id "$window" | awk '/^ *Width:/ { print $2 }')
    [ "$width" = "${widths[$1]}" ] || Fail "the saver's window is $width wide on layout $1"
    # Held, keypad 6 keeps the saver drawing as fast as it can: otherwise it draws a
    # frame a second.
    xdotool keydown KP_6
    sleep "$runSeconds"
    xdotool keyup KP_6
    # Held until the saver ends: at a few frames a second the key-down message is
    # handled a frame late, and the space bar must still be down then.
    xdotool keydown space
    deadline=$((SECONDS + 60))
    while kill -0 "$saver" 2>/dev/null; do
        [ $SECONDS -lt $deadline ] || Fail "the saver did not close on the space bar"
        sleep 0.2
    done
    xdotool keyup space
    wait "$saver" || Fail "the saver's exit code on layout $1: $?"
    saver=""
    cat "$hud"/* | awk 'NR > 3 { print $1 }' | sort -g |
        awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print 0 }'
}

Median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

one=() two=()
for round in $(seq "$rounds"); do
    one+=("$(Run one "$round")")
    two+=("$(Run two "$round")")
    echo "-- round $round: one monitor ${one[-1]} fps, two monitors ${two[-1]} fps"
done
m1=$(Median "${one[@]}")
m2=$(Median "${two[@]}")
printf 'one monitor   %8s fps\ntwo monitors  %8s fps\nratio two/one %8s\nload average  %s\n' \
    "$m1" "$m2" "$(awk -v a="$m2" -v b="$m1" 'BEGIN { printf "%.2f", a / b }')" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
