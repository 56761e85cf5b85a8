#!/usr/bin/env bash
# solvane-wayland against the X11 hack on the same machine, both at 1024 x 768 and
# drawn by Mesa's llvmpipe: the Wayland one full screen in a headless sway (software
# compositing), the hack on the root window of an Xvfb.
#
# 1. Frame rate with no pause (solvane-wayland --delay 0, solvane -delay 0), counted by
#    Mesa's HUD (GALLIUM_HUD=fps, dumped once a second; start-up samples left out).
# 2. Processor seconds per second at each program's default, program and display
#    server (sway or Xvfb) together, from /proc, with the real clock running.
# Rounds alternate the two programs, so that the machine's load falls on both alike.
#
#   bench/wayland_framerate.sh          (as root, or as a user who may run sway)
#
# Settings (environment):
#   ROUNDS=3  RUN_SECONDS=20
#   BUILD=build/native-release (solvane, solvane-wayland, textures/)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/tests/wayland/lib.sh"
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
build=${BUILD:-$root/build/native-release}
skipSamples=3
ticks=$(getconf CLK_TCK)
for need in "$build/solvane" "$build/solvane-wayland" "$build/textures/d11.bmp"; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

work=$(mktemp -d /tmp/solvane-wayland-framerate.XXXXXX)
chmod 755 "$work"
xvfbPid=""
trap 'StopSway; [ -z "$xvfbPid" ] || kill "$xvfbPid" 2>/dev/null || true' EXIT
read -r DISPLAY xvfbPid < <("$root/tests/e2e/start_xvfb.sh" "$work/xvfb.log") || exit 1
export DISPLAY
printf '%s\n' "xwayland disable" "output HEADLESS-1 mode 1024x768" >"$work/sway.config"
chmod 644 "$work/sway.config"
StartSway "$work/sway.config" "$work/sway.log" || { echo "no sway: $work/sway.log" >&2; exit 1; }

Median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
CpuTicks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }

# One run: the median HUD rate when `hud` is set, and the processor seconds per second
# of the program and of its display server together.
Run() { # dir server-pid hud command...
  local dir=$1 server=$2 hud=$3 hudEnvironment=()
  shift 3
  mkdir -p "$dir"
  [ "$(id -u)" != 0 ] || chown "$SWAY_USER" "$dir"
  [ -z "$hud" ] || hudEnvironment=(GALLIUM_HUD=fps GALLIUM_HUD_PERIOD=1 GALLIUM_HUD_DUMP_DIR="$dir")
  env "${hudEnvironment[@]}" "$@" >"$dir/out" 2>&1 &
  local pid=$! p0 s0 t0 p1 s1 t1
  sleep "$skipSamples"
  p0=$(CpuTicks "$pid") s0=$(CpuTicks "$server") t0=$(date +%s.%N)
  sleep "$runSeconds"
  p1=$(CpuTicks "$pid") s1=$(CpuTicks "$server") t1=$(date +%s.%N)
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
  if [ -n "$hud" ]; then tail -n +"$((skipSamples + 1))" "$dir/fps" | Median >"$dir/fps-median"; fi
  echo "$p0 $p1 $s0 $s1 $t0 $t1 $ticks" |
    awk '{ printf "%.3f\n", ($2 - $1 + $4 - $3) / $7 / ($6 - $5) }' >"$dir/cpu"
}

# The Wayland program runs as the compositor's user, in its session; every command
# execs the next, so the pid is the program's.
wayland=("${AS_USER[@]}" env XDG_RUNTIME_DIR="$RUNTIME_DIR" WAYLAND_DISPLAY=wayland-1
  "$build/solvane-wayland" --textures "$build/textures")
hack=("$build/solvane" -root -textures "$build/textures")

echo "== $rounds alternating rounds of $runSeconds s at 1024x768"
for round in $(seq "$rounds"); do
  Run "$work/wayland-fast-$round" "$SWAY_PID" hud "${wayland[@]}" --delay 0
  Run "$work/hack-fast-$round" "$xvfbPid" hud "${hack[@]}" -delay 0
  Run "$work/wayland-default-$round" "$SWAY_PID" "" "${wayland[@]}"
  Run "$work/hack-default-$round" "$xvfbPid" "" "${hack[@]}"
  printf '   round %d: fps with no pause %s (wayland) %s (hack); CPU s/s at the default %s (wayland + sway) %s (hack + Xvfb); load %s\n' \
    "$round" "$(cat "$work/wayland-fast-$round/fps-median")" "$(cat "$work/hack-fast-$round/fps-median")" \
    "$(cat "$work/wayland-default-$round/cpu")" "$(cat "$work/hack-default-$round/cpu")" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
done

wf=$(cat "$work"/wayland-fast-*/fps-median | Median)
hf=$(cat "$work"/hack-fast-*/fps-median | Median)
wc=$(cat "$work"/wayland-default-*/cpu | Median)
hc=$(cat "$work"/hack-default-*/cpu | Median)
echo
printf '%-44s %10s\n' "median over the rounds" value
printf '%-44s %10s\n' "fps, solvane-wayland --delay 0 (sway)" "$wf"
printf '%-44s %10s\n' "fps, solvane -root -delay 0 (Xvfb)" "$hf"
printf '%-44s %10s\n' "CPU s/s, solvane-wayland + sway, default" "$wc"
printf '%-44s %10s\n' "CPU s/s, solvane -root + Xvfb, default" "$hc"
echo "$wf $hf $wc $hc" | awk '{ if ($2 > 0) printf "fps ratio wayland / hack: %.2f\n", $1 / $2
  if ($4 > 0) printf "CPU ratio wayland / hack at the defaults: %.3f\n", $3 / $4 }'
echo "(runs kept in $work)"
