#!/usr/bin/env bash
# What the Windows saver costs while it runs at its defaults, against XScreenSaver's
# glplanet (--mode globe, its default delay), measured from outside, side by side in
# one Xvfb at 1024 x 768 (Mesa llvmpipe), in alternating rounds:
#   - processor seconds per second of screen time: the program, plus for the saver
#     the prefix's wineserver, plus the X server (user + system, from /proc);
#   - the saver's frames per second while keypad 6 is held (Wine's wgl trace);
#   - the time from a space press to the end of the saver's process.
# With BEFORE_SCR an older saver build runs in every round too.
#
#   bench/idle_cost.sh
#
# Settings (environment): ROUNDS=3, RUN_SECONDS=20 (the idle measurement),
# HOLD_SECONDS=5 (keypad 6), SCR=build/win64/solvane.scr, BEFORE_SCR=<path>,
# TEXTURES=<folder>.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
holdSeconds=${HOLD_SECONDS:-5}
scr=${SCR:-$root/build/win64/solvane.scr}
beforeScr=${BEFORE_SCR:-}
peer=/usr/libexec/xscreensaver/glplanet
[ -x "$peer" ] || peer=/usr/lib/xscreensaver/glplanet
ticks=$(getconf CLK_TCK)

work=$(mktemp -d /tmp/solvane-idle-cost.XXXXXX)
# shellcheck source=bench/wine_session.sh
. "$root/bench/wine_session.sh"
trap EndWineSession EXIT
for need in "$scr" "$peer" "$loader" ${beforeScr:+"$beforeScr"}; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

StartXvfb 1024x768 "$work/xvfb.log"
BootWinePrefix "$work/prefix" "$(ChooseTextures)"
wineserverPid=""
for pid in $(pgrep wineserver); do
  if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
    wineserverPid=$pid
  fi
done
[ -n "$wineserverPid" ] || { echo "no wineserver of $WINEPREFIX" >&2; exit 1; }

CpuTicks() { # pid...
  local total=0 pid
  for pid in "$@"; do total=$((total + $(awk '{ print $14 + $15 }' "/proc/$pid/stat"))); done
  echo "$total"
}

# Processor seconds per second of the given processes and the X server over
# RUN_SECONDS.
CpuPerSecond() { # pid...
  local before after start end
  before=$(CpuTicks "$@" "$xvfbPid")
  start=$EPOCHREALTIME
  sleep "$runSeconds"
  after=$(CpuTicks "$@" "$xvfbPid")
  end=$EPOCHREALTIME
  echo "$before $after $start $end $ticks" | awk '{ printf "%.4f\n", ($2 - $1) / $5 / ($4 - $3) }'
}

RunSaver() { # scr dir
  local dir=$2
  mkdir -p "$dir"
  xdotool mousemove 512 384
  WINEDEBUG=-all,+timestamp,+wgl "$loader" "$1" /s >"$dir/out" 2>"$dir/err" &
  local pid=$!
  WaitFirstSwap "$dir/err" "$pid" >/dev/null
  sleep 3
  CpuPerSecond "$pid" "$wineserverPid" >"$dir/cpu"

  # Keypad 6: the swaps between half a second after the press and the release.
  local pressed released
  pressed=$(MonotonicRaw)
  xdotool keydown KP_6
  sleep "$holdSeconds"
  released=$(MonotonicRaw)
  xdotool keyup KP_6
  grep 'trace:wgl:.*wglSwapBuffers' "$dir/err" | cut -d: -f1 |
    awk -v from="$pressed" -v to="$released" '$1 >= from + 0.5 && $1 <= to { n++ }
      END { printf "%.1f\n", n / (to - from - 0.5) }' >"$dir/keypad-fps"

  sleep 2
  local start
  start=$EPOCHREALTIME
  xdotool keydown space
  wait "$pid" 2>/dev/null || true
  echo "$start $EPOCHREALTIME" | awk '{ printf "%.0f\n", ($2 - $1) * 1000 }' >"$dir/space-ms"
  xdotool keyup space
}

RunPeer() { # dir
  mkdir -p "$1"
  "$peer" --mode globe -root >"$1/out" 2>&1 &
  local pid=$!
  sleep 3
  CpuPerSecond "$pid" >"$1/cpu"
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
}

programs=(saver peer)
[ -n "$beforeScr" ] && programs+=(before)
for round in $(seq "$rounds"); do
  for i in "${!programs[@]}"; do
    program=${programs[$(((i + round - 1) % ${#programs[@]}))]}
    case $program in
      saver) RunSaver "$scr" "$work/saver-$round" ;;
      before) RunSaver "$beforeScr" "$work/before-$round" ;;
      peer) RunPeer "$work/peer-$round" ;;
    esac
  done
  line="   round $round (load $(cut -d' ' -f1 /proc/loadavg)): CPU s/s saver $(cat "$work/saver-$round/cpu")"
  line+=", glplanet $(cat "$work/peer-$round/cpu")"
  [ -n "$beforeScr" ] && line+=", before $(cat "$work/before-$round/cpu")"
  echo "$line"
done

Column() { cat "$work"/"$1"-*/"$2" | Median; }
echo
echo "At 1024 x 768 on Xvfb + llvmpipe, $rounds rounds; medians"
printf '%-24s %14s %14s %14s\n' program "CPU s/s" "keypad-6 fps" "space-exit ms"
printf '%-24s %14s %14s %14s\n' "solvane.scr /s" "$(Column saver cpu)" \
  "$(Column saver keypad-fps)" "$(Column saver space-ms)"
if [ -n "$beforeScr" ]; then
  printf '%-24s %14s %14s %14s\n' "before: solvane.scr /s" "$(Column before cpu)" \
    "$(Column before keypad-fps)" "$(Column before space-ms)"
fi
printf '%-24s %14s\n' "glplanet --mode globe" "$(Column peer cpu)"
echo "$(Column saver cpu) $(Column peer cpu)" |
  awk '{ if ($1 > 0) printf "glplanet / saver, CPU s/s: %.1f\n", $2 / $1 }'
echo "(CPU s/s: the program, the wineserver for the saver, and the X server; runs in $work)"
