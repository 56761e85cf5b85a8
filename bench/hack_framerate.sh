#!/usr/bin/env bash
# Processor time and frame rate of the Linux hack against XScreenSaver's glplanet, both
# native on one Xvfb, measured from outside both programs.
#
# For each screen size, in one Xvfb of that size (Mesa llvmpipe), it runs for several
# rounds, one after the other and in turning order:
#   - at their defaults, `solvane -root` and `glplanet --mode globe -root`: the processor
#     seconds per second of screen time, of the program and of the X server together,
#     which is what a screen saver running for hours costs;
#   - with -delay 0 (FRAMERATE=1), the same two running free: frames per second and
#     the processor time of a frame.
# glplanet is held to --mode globe: its default mode is random, and its picture and
# frame rate with it. Frames are counted by Mesa's own HUD (GALLIUM_HUD=fps, dumped
# once a second; the first samples, start-up, left out), the same counter for both;
# processor time is user + system from /proc over the counted seconds. The load
# average is read at the start of every round.
#
#   bench/hack_framerate.sh
#
# Settings (environment):
#   SIZES="1024x768 1920x1080"
#   ROUNDS=3            rounds per size
#   RUN_SECONDS=20      length of each run
#   FRAMERATE=1         also the -delay 0 rounds (0: only the defaults)
#   HACK=build/native-release/solvane
#   TEXTURES=build/native-release/textures
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=${SIZES:-1024x768 1920x1080}
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
framerate=${FRAMERATE:-1}
hack=${HACK:-$root/build/native-release/solvane}
textures=${TEXTURES:-$root/build/native-release/textures}
peer=/usr/libexec/xscreensaver/glplanet
[ -x "$peer" ] || peer=/usr/lib/xscreensaver/glplanet
skipSamples=3
ticks=$(getconf CLK_TCK)

for need in "$hack" "$peer" "$textures/d11.bmp"; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

work=$(mktemp -d /tmp/solvane-hack-framerate.XXXXXX)
xvfbPid=""
EndXvfb() {
  [ -z "$xvfbPid" ] || kill "$xvfbPid" 2>/dev/null || true
  xvfbPid=""
}
trap EndXvfb EXIT
export GALLIUM_HUD_PERIOD=1

Median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
CpuTicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run of a program on the root window. Its folder gets fps (the median HUD rate)
# and cpu: processor milliseconds per frame of the program and of the X server, and
# processor seconds per second of the program and of the X server, counted from the
# end of its start-up samples to the end of the run.
Run() { # dir program args...
  local dir=$1
  shift
  mkdir -p "$dir"
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir "$@" >"$dir/out" 2>&1 &
  local pid=$!
  sleep "$skipSamples"
  local own0 x0 t0 own1 x1 t1
  own0=$(CpuTicks "$pid")
  x0=$(CpuTicks "$xvfbPid")
  t0=$(date +%s.%N)
  sleep "$runSeconds"
  own1=$(CpuTicks "$pid")
  x1=$(CpuTicks "$xvfbPid")
  t1=$(date +%s.%N)
  # Both end cleanly on SIGTERM, which writes out the HUD file.
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  tail -n +"$((skipSamples + 1))" "$dir/fps" 2>/dev/null | Median >"$dir/fps-median"
  echo "$(cat "$dir/fps-median") $own0 $own1 $x0 $x1 $t0 $t1 $ticks" | awk '{
    seconds = $7 - $6; frames = $1 * seconds; own = ($3 - $2) / $8; x = ($5 - $4) / $8
    if (frames > 0) printf "%.1f %.1f ", own * 1000 / frames, x * 1000 / frames
    else printf "nan nan "
    printf "%.4f %.4f\n", own / seconds, x / seconds }' >"$dir/cpu"
}

Field() { cut -d' ' -f"$2" "$1/cpu"; }
# Program + X server, processor seconds per second.
Total() { awk '{ printf "%.4f\n", $3 + $4 }' "$1/cpu"; }

# Rounds of two runs in turning order; the kinds name their folders.
Rounds() { # base hack-kind peer-kind hack-args... -- peer-args...
  local base=$1 hackKind=$2 peerKind=$3
  shift 3
  local hackArgs=() peerArgs=()
  while [ "$1" != -- ]; do hackArgs+=("$1"); shift; done
  shift
  peerArgs=("$@")
  local round
  for round in $(seq "$rounds"); do
    cut -d' ' -f1 /proc/loadavg >"$base/load-$hackKind-$round"
    if [ $((round % 2)) = 1 ]; then
      Run "$base/$hackKind-$round" "$hack" "${hackArgs[@]}"
      Run "$base/$peerKind-$round" "$peer" "${peerArgs[@]}"
    else
      Run "$base/$peerKind-$round" "$peer" "${peerArgs[@]}"
      Run "$base/$hackKind-$round" "$hack" "${hackArgs[@]}"
    fi
    printf '   round %d (load %s): solvane %s fps, %s CPU s/s; glplanet %s fps, %s CPU s/s\n' \
      "$round" "$(cat "$base/load-$hackKind-$round")" \
      "$(cat "$base/$hackKind-$round/fps-median")" "$(Total "$base/$hackKind-$round")" \
      "$(cat "$base/$peerKind-$round/fps-median")" "$(Total "$base/$peerKind-$round")"
  done
}

summary=$work/summary
: >"$summary"
for size in $sizes; do
  base=$work/$size
  mkdir -p "$base"
  read -r DISPLAY xvfbPid < <("$root/tests/e2e/start_xvfb.sh" "$base/xvfb.log" "$size") || exit 1
  export DISPLAY

  echo "== $size: $rounds rounds of ${runSeconds} s at the defaults"
  Rounds "$base" hack peer -root -textures "$textures" -- --mode globe -root
  if [ "$framerate" = 1 ]; then
    echo "== $size: $rounds rounds of ${runSeconds} s with -delay 0"
    Rounds "$base" hack-free peer-free -root -delay 0 -textures "$textures" -- \
      --mode globe -root -delay 0
  fi
  EndXvfb

  {
    echo
    echo "At $size, Xvfb + Mesa llvmpipe, $rounds rounds of ${runSeconds} s (medians)"
    echo "load average at the rounds' starts: $(cat "$base"/load-* | tr '\n' ' ')"
    printf '%-38s %8s %14s %12s %12s\n' program fps "CPU s/s (all)" "own" "X server"
    for kind in hack peer; do
      label="solvane -root"
      [ "$kind" = peer ] && label="glplanet --mode globe -root"
      printf '%-38s %8s %14s %12s %12s\n' "$label" "$(cat "$base/$kind"-[0-9]*/fps-median | Median)" \
        "$(for d in "$base/$kind"-[0-9]*; do Total "$d"; done | Median)" \
        "$(for d in "$base/$kind"-[0-9]*; do Field "$d" 3; done | Median)" \
        "$(for d in "$base/$kind"-[0-9]*; do Field "$d" 4; done | Median)"
    done
    hackTotal=$(for d in "$base"/hack-[0-9]*; do Total "$d"; done | Median)
    peerTotal=$(for d in "$base"/peer-[0-9]*; do Total "$d"; done | Median)
    echo "$hackTotal $peerTotal" | awk '{ if ($1 > 0) printf "solvane costs 1/%.0f of glplanet'"'"'s CPU s/s\n", $2 / $1 }'
    echo "per round, glplanet / solvane: $(paste -d' ' \
      <(for d in "$base"/hack-[0-9]*; do Total "$d"; done) \
      <(for d in "$base"/peer-[0-9]*; do Total "$d"; done) |
      awk '{ printf "%.0f ", ($1 > 0 ? $2 / $1 : 0) }')"
    if [ "$framerate" = 1 ]; then
      printf '%-38s %8s %14s %12s\n' "with -delay 0" fps "CPU ms/frame" "X ms/frame"
      for kind in hack-free peer-free; do
        label="solvane -root -delay 0"
        [ "$kind" = peer-free ] && label="glplanet --mode globe -root -delay 0"
        printf '%-38s %8s %14s %12s\n' "$label" "$(cat "$base/$kind"-[0-9]*/fps-median | Median)" \
          "$(for d in "$base/$kind"-[0-9]*; do Field "$d" 1; done | Median)" \
          "$(for d in "$base/$kind"-[0-9]*; do Field "$d" 2; done | Median)"
      done
    fi
  } >>"$summary"
done

cat "$summary"
echo "(runs kept in $work)"
