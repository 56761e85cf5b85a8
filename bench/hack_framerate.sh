#!/usr/bin/env bash
# Frame rate of the Linux hack against XScreenSaver's glplanet, both native on one
# Xvfb, measured from outside both programs.
#
# In one Xvfb at 1024 x 768 (Mesa llvmpipe) it runs `solvane -root` and `glplanet
# -root`, one after the other for several alternating rounds, both with -delay 0.
# Each run is counted by Mesa's own HUD (GALLIUM_HUD=fps, dumped to a file once a
# second; the first samples, start-up, left out), the same counter for both. The
# processor time of each program (user + system, from /proc) and of the X server over
# the same seconds gives the CPU time per frame. Then the hack at its default -delay
# and at a few others, for the choice of that default.
#
#   bench/hack_framerate.sh
#
# Settings (environment):
#   ROUNDS=3            alternating rounds (hack, peer)
#   RUN_SECONDS=20      length of each run
#   HACK=build/native-release/solvane
#   TEXTURES=build/native-release/textures
#   DELAYS="0 20000 50000 100000 200000"   for the -delay table (empty: none)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
hack=${HACK:-$root/build/native-release/solvane}
textures=${TEXTURES:-$root/build/native-release/textures}
delays=${DELAYS-0 20000 50000 100000 200000}
peer=/usr/libexec/xscreensaver/glplanet
skipSamples=3
ticks=$(getconf CLK_TCK)

for need in "$hack" "$peer" "$textures/d11.bmp"; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

work=$(mktemp -d /tmp/solvane-hack-framerate.XXXXXX)
xvfbPid=""
trap '[ -z "$xvfbPid" ] || kill "$xvfbPid" 2>/dev/null || true' EXIT
read -r DISPLAY xvfbPid < <("$root/tests/e2e/start_xvfb.sh" "$work/xvfb.log") || exit 1
export DISPLAY GALLIUM_HUD_PERIOD=1

Median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
CpuTicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run of a program on the root window: its median HUD rate and the processor
# milliseconds per frame of the program and of the X server, counted from the end of
# its start-up samples to the end of the run.
Run() { # dir program args...
  local dir=$1
  shift
  mkdir -p "$dir"
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir "$@" >"$dir/out" 2>&1 &
  local pid=$!
  sleep "$skipSamples"
  local hack0 x0 t0 hack1 x1 t1
  hack0=$(CpuTicks "$pid")
  x0=$(CpuTicks "$xvfbPid")
  t0=$(date +%s.%N)
  sleep "$runSeconds"
  hack1=$(CpuTicks "$pid")
  x1=$(CpuTicks "$xvfbPid")
  t1=$(date +%s.%N)
  # Both end cleanly on SIGTERM, which writes out the HUD file.
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  local fps
  fps=$(tail -n +"$((skipSamples + 1))" "$dir/fps" 2>/dev/null | Median)
  echo "$fps" >"$dir/fps-median"
  echo "$fps $hack0 $hack1 $x0 $x1 $t0 $t1 $ticks" | awk '{
    seconds = $7 - $6; frames = $1 * seconds
    if (frames <= 0) { print "nan nan nan"; exit }
    printf "%.1f %.1f %.2f\n", ($3 - $2) * 1000 / $8 / frames, ($5 - $4) * 1000 / $8 / frames,
      ($3 - $2) / $8 / seconds }' >"$dir/cpu"
}

echo "== $rounds alternating rounds of ${runSeconds} s on $DISPLAY (1024x768), -delay 0"
for round in $(seq "$rounds"); do
  Run "$work/hack-$round" "$hack" -root -delay 0 -textures "$textures"
  Run "$work/peer-$round" "$peer" -root -delay 0
  printf '   round %d: solvane %s fps (%s CPU ms/frame, X %s), glplanet %s fps (%s, X %s); %s\n' \
    "$round" "$(cat "$work/hack-$round/fps-median")" "$(cut -d' ' -f1 "$work/hack-$round/cpu")" \
    "$(cut -d' ' -f2 "$work/hack-$round/cpu")" "$(cat "$work/peer-$round/fps-median")" \
    "$(cut -d' ' -f1 "$work/peer-$round/cpu")" "$(cut -d' ' -f2 "$work/peer-$round/cpu")" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
done

hackFps=$(cat "$work"/hack-*/fps-median | Median)
peerFps=$(cat "$work"/peer-*/fps-median | Median)
hackCpu=$(cut -d' ' -f1 "$work"/hack-*/cpu | Median)
peerCpu=$(cut -d' ' -f1 "$work"/peer-*/cpu | Median)
hackX=$(cut -d' ' -f2 "$work"/hack-*/cpu | Median)
peerX=$(cut -d' ' -f2 "$work"/peer-*/cpu | Median)
echo
printf '%-28s %12s %20s %18s\n' program "median fps" "CPU ms/frame (own)" "CPU ms/frame (X)"
printf '%-28s %12s %20s %18s\n' "solvane -root -delay 0" "$hackFps" "$hackCpu" "$hackX"
printf '%-28s %12s %20s %18s\n' "glplanet -root -delay 0" "$peerFps" "$peerCpu" "$peerX"
echo "$hackFps $peerFps" | awk '{ if ($2 > 0) printf "ratio solvane / glplanet: %.2f\n", $1 / $2 }'

if [ -n "$delays" ]; then
  echo
  echo "== the hack at each -delay, ${runSeconds} s each"
  printf '%-10s %12s %16s %18s\n' "-delay" "median fps" "CPU s per s" "CPU ms/frame"
  for delay in $delays; do
    Run "$work/delay-$delay" "$hack" -root -delay "$delay" -textures "$textures"
    printf '%-10s %12s %16s %18s\n' "$delay" "$(cat "$work/delay-$delay/fps-median")" \
      "$(cut -d' ' -f3 "$work/delay-$delay/cpu")" "$(cut -d' ' -f1 "$work/delay-$delay/cpu")"
  done
fi
echo "(runs kept in $work)"
