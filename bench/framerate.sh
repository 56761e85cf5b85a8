#!/usr/bin/env bash
# Frame rate of the saver against a peer, measured from outside both programs.
#
# For each screen size, in one Xvfb of that size (Mesa llvmpipe), it runs one after
# the other, for several rounds, `solvane.scr /s` under Wine (keypad 6 held, so that
# it draws as fast as it can) and XScreenSaver's
# glplanet (--mode globe --delay 0, its built-in imagery, on the root window; its
# default mode is random, and its frame rate changes with it), and with BEFORE_SCR
# an older build of the saver as well. The order within a round turns by one each
# round, so the machine's load falls on every program alike. Each run is counted by
# Mesa's own HUD (GALLIUM_HUD=fps, dumped to a file once a second), the same counter
# for all; saver runs also keep Wine's fps trace as a cross-check. The load average is
# read at the start of every round. The saver's time from start to its first
# SwapBuffers (Wine's trace) and its peak memory are taken from the same runs.
#
#   bench/framerate.sh
#
# Settings (environment):
#   SIZES="1024x768 1920x1080"
#   ROUNDS=5            rounds per size
#   RUN_SECONDS=15      length of each run
#   SCR=build/win64/solvane.scr
#   BEFORE_SCR=<path>   an older saver build to run in every round too
#   TEXTURES=<folder>   default: build/native-release/textures, build/native/textures,
#                       else 512-pixel test tiles made here
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=${SIZES:-1024x768 1920x1080}
rounds=${ROUNDS:-5}
runSeconds=${RUN_SECONDS:-15}
scr=${SCR:-$root/build/win64/solvane.scr}
beforeScr=${BEFORE_SCR:-}
peer=/usr/libexec/xscreensaver/glplanet
[ -x "$peer" ] || peer=/usr/lib/xscreensaver/glplanet

work=$(mktemp -d /tmp/solvane-framerate.XXXXXX)
# shellcheck source=bench/wine_session.sh
. "$root/bench/wine_session.sh"
trap EndWineSession EXIT

for need in "$scr" "$peer" "$loader" ${beforeScr:+"$beforeScr"}; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

# HUD samples once a second; the first ones cover start-up and are left out.
export GALLIUM_HUD_PERIOD=1
skipSamples=3
textures=$(ChooseTextures)
tileSize=$(identify -format '%w' "$textures/d11.bmp" 2>/dev/null || echo "?")

# The median HUD sample of a run, start-up samples left out.
RunFps() { tail -n +"$((skipSamples + 1))" "$1" 2>/dev/null | Median; }

RunSaver() { # program dir
  local dir=$2
  mkdir -p "$dir/hud"
  # Parks the pointer where the saver's creation puts its first mouse message, so it
  # does not count as travel.
  xdotool mousemove "$((width / 2))" "$((height / 2))"
  local start first
  start=$(MonotonicRaw)
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir/hud WINEDEBUG=-all,+timestamp,trace+fps,trace+wgl \
    "$loader" "$1" /s >"$dir/out" 2>"$dir/err" &
  local pid=$!
  first=$(WaitFirstSwap "$dir/err" "$pid")
  echo "$start $first" | awk '{ printf "%.2f\n", $2 - $1 }' >"$dir/first-frame-s"
  # The saver draws a frame only when its picture changes: once a second, and at once
  # while a keypad key steers the camera. Keypad 6 held keeps it drawing as fast as it
  # can, which is what a frame rate measures (an older build draws so anyway).
  xdotool keydown KP_6
  sleep "$runSeconds"
  xdotool keyup KP_6
  # Peak resident memory of the Windows process (the loader execs into it).
  awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" >"$dir/peak-kb" 2>/dev/null || true
  # The space bar closes the saver, which then exits on its own and its HUD file is
  # complete.
  CloseSaver "$pid"
  # Wine's count, "@ approx 12.34fps": a cross-check of the HUD.
  grep -o 'approx [0-9.]*fps' "$dir/err" | tr -dc '0-9.\n' | tail -n +"$((skipSamples + 1))" |
    Median >"$dir/wine-fps"
  RunFps "$dir/hud/fps" >"$dir/fps"
}

RunPeer() { # dir
  local dir=$1
  mkdir -p "$dir/hud"
  # glplanet leaves on SIGTERM through its normal exit, which writes out the HUD file.
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir/hud \
    timeout "$((runSeconds + skipSamples))" "$peer" --mode globe --delay 0 -root >"$dir/out" 2>&1 ||
    true
  RunFps "$dir/hud/fps" >"$dir/fps"
}

programs=(saver peer)
[ -n "$beforeScr" ] && programs+=(before)
summary=$work/summary
: >"$summary"

for size in $sizes; do
  width=${size%x*}
  height=${size#*x}
  base=$work/$size
  mkdir -p "$base"
  StartXvfb "$size" "$base/xvfb.log"
  # A prefix per size: Wine keeps the screen it found when the prefix's first
  # process started.
  BootWinePrefix "$base/prefix" "$textures"
  for round in $(seq "$rounds"); do
    cut -d' ' -f1 /proc/loadavg >"$base/load-$round"
    order=()
    for i in "${!programs[@]}"; do
      order+=("${programs[$(((i + round - 1) % ${#programs[@]}))]}")
    done
    for program in "${order[@]}"; do
      case $program in
        saver) RunSaver "$scr" "$base/saver-$round" ;;
        before) RunSaver "$beforeScr" "$base/before-$round" ;;
        peer) RunPeer "$base/peer-$round" ;;
      esac
    done
    line="   $size round $round (load $(cat "$base/load-$round")): saver $(cat "$base/saver-$round/fps")"
    line+=" (Wine $(cat "$base/saver-$round/wine-fps")), glplanet $(cat "$base/peer-$round/fps")"
    [ -n "$beforeScr" ] && line+=", before $(cat "$base/before-$round/fps")"
    echo "$line"
  done
  EndWineSession

  saverFps=$(cat "$base"/saver-*/fps | Median)
  peerFps=$(cat "$base"/peer-*/fps | Median)
  {
    echo
    echo "Frame rate at $size, Xvfb + Mesa llvmpipe, $rounds rounds of ${runSeconds} s"
    echo "(64-bit saver under 64-bit Wine; textures $tileSize px from $textures)"
    echo "load average at the rounds' starts: $(cat "$base"/load-* | tr '\n' ' ')"
    printf '%-34s %10s\n' "program" "median fps"
    printf '%-34s %10s\n' "solvane.scr /s (Mesa HUD)" "$saverFps"
    printf '%-34s %10s\n' "solvane.scr /s (Wine fps trace)" "$(cat "$base"/saver-*/wine-fps | Median)"
    printf '%-34s %10s\n' "glplanet --mode globe (Mesa HUD)" "$peerFps"
    if [ -n "$beforeScr" ]; then
      printf '%-34s %10s\n' "before: solvane.scr (Mesa HUD)" "$(cat "$base"/before-*/fps | Median)"
    fi
    echo "$saverFps $peerFps" | awk '{ if ($2 > 0) printf "ratio saver / glplanet: %.2f\n", $1 / $2 }'
    echo "per round, saver / glplanet: $(paste -d' ' <(cat "$base"/saver-*/fps) \
      <(cat "$base"/peer-*/fps) | awk '{ printf "%.2f ", ($2 > 0 ? $1 / $2 : 0) }')"
    for program in saver ${beforeScr:+before}; do
      echo "$program start to first SwapBuffers: $(cat "$base/$program"-*/first-frame-s |
        Median) s (median; Wine server already up)"
      echo "$program peak memory (VmHWM): $(cat "$base/$program"-*/peak-kb | Median |
        awk '{ printf "%.1f", $1 / 1024 }') MB (median)"
    done
  } >>"$summary"
done

cat "$summary"
echo "(runs kept in $work)"
