#!/usr/bin/env bash
# What the Windows saver and the Linux hack cost while they run at their defaults,
# against XScreenSaver's glplanet (--mode globe, its default delay), measured from
# outside, side by side in one Xvfb per screen size (Mesa llvmpipe), in rounds whose
# order turns:
#   - processor seconds per second of screen time: the program, plus for the saver
#     the prefix's wineserver, plus the X server (user + system, from /proc); and the
#     same prefix and X server with nothing running, for the share of the saver's
#     figure that Wine spends whatever runs (its server wakes every 16 ms);
#   - the saver's frames per second while keypad 6 is held (Wine's wgl trace);
#   - the time from a space press to the end of the saver's process.
# With BEFORE_SCR and BEFORE_HACK older builds run in every round too.
#
#   bench/idle_cost.sh
#
# Settings (environment): SIZES="1024x768 1920x1080", ROUNDS=3, RUN_SECONDS=20 (the
# idle measurement), HOLD_SECONDS=5 (keypad 6), SCR=build/win64/solvane.scr,
# HACK=build/native-release/solvane (none: HACK=), BEFORE_SCR=<path>,
# BEFORE_HACK=<path>, TEXTURES=<folder>, LOOK=classic|natural and
# CLOUDS=none|still|live (both programs).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=${SIZES:-1024x768 1920x1080}
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
holdSeconds=${HOLD_SECONDS:-5}
scr=${SCR:-$root/build/win64/solvane.scr}
beforeScr=${BEFORE_SCR:-}
hack=${HACK-$root/build/native-release/solvane}
beforeHack=${BEFORE_HACK:-}
peer=/usr/libexec/xscreensaver/glplanet
[ -x "$peer" ] || peer=/usr/lib/xscreensaver/glplanet
ticks=$(getconf CLK_TCK)

work=$(mktemp -d /tmp/solvane-idle-cost.XXXXXX)
# shellcheck source=bench/wine_session.sh
. "$root/bench/wine_session.sh"
trap EndWineSession EXIT
for need in "$scr" "$peer" "$loader" ${beforeScr:+"$beforeScr"} ${hack:+"$hack"} \
  ${beforeHack:+"$beforeHack"}; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

# An Xvfb of the size and a prefix of its own (Wine keeps the screen it found when the
# prefix's first process started), and the prefix's wineserver.
StartSession() { # size dir
  StartXvfb "$1" "$2/xvfb.log"
  BootWinePrefix "$2/prefix" "$textures"
  wineserverPid=""
  for pid in $(pgrep wineserver); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX"; then
      wineserverPid=$pid
    fi
  done
  [ -n "$wineserverPid" ] || { echo "no wineserver of $WINEPREFIX" >&2; exit 1; }
}

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
  xdotool mousemove "$((width / 2))" "$((height / 2))"
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

# The prefix's wineserver and the X server while no program runs.
RunIdle() { # dir
  mkdir -p "$1"
  sleep 3
  CpuPerSecond "$wineserverPid" >"$1/cpu"
}

RunHack() { # program dir
  mkdir -p "$2"
  local clouds=()
  case ${CLOUDS:-none} in
    still) clouds=(-clouds still) ;;
    live)
      SeedCloudCache "$work/cache/solvane" "$textures"
      clouds=(-clouds live -clouds-url "http://127.0.0.1:9/clouds.jpg") ;;
  esac
  XDG_CACHE_HOME=$work/cache "$1" -root -"${LOOK:-classic}" "${clouds[@]}" -textures "$textures" \
    >"$2/out" 2>&1 &
  local pid=$!
  sleep 3
  CpuPerSecond "$pid" >"$2/cpu"
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || true
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

textures=$(ChooseTextures)
programs=(saver peer idle)
[ -n "$hack" ] && programs+=(hack)
[ -n "$beforeScr" ] && programs+=(before)
[ -n "$beforeHack" ] && programs+=(hack-before)
summary=$work/summary
: >"$summary"
Column() { cat "$base"/"$1"-[0-9]*/"$2" | Median; }
Row() { # label program [keypad]
  if [ -n "${3:-}" ]; then
    printf '%-28s %10s %14s %14s\n' "$1" "$(Column "$2" cpu)" "$(Column "$2" keypad-fps)" \
      "$(Column "$2" space-ms)"
  else
    printf '%-28s %10s\n' "$1" "$(Column "$2" cpu)"
  fi
}

for size in $sizes; do
  width=${size%x*}
  height=${size#*x}
  base=$work/$size
  mkdir -p "$base"
  StartSession "$size" "$base"
  for round in $(seq "$rounds"); do
    for i in "${!programs[@]}"; do
      program=${programs[$(((i + round - 1) % ${#programs[@]}))]}
      case $program in
        saver) RunSaver "$scr" "$base/saver-$round" ;;
        before) RunSaver "$beforeScr" "$base/before-$round" ;;
        hack) RunHack "$hack" "$base/hack-$round" ;;
        hack-before) RunHack "$beforeHack" "$base/hack-before-$round" ;;
        peer) RunPeer "$base/peer-$round" ;;
        idle) RunIdle "$base/idle-$round" ;;
      esac
    done
    line="   $size round $round (load $(cut -d' ' -f1 /proc/loadavg)): CPU s/s"
    for program in "${programs[@]}"; do line+=" $program $(cat "$base/$program-$round/cpu")"; done
    echo "$line"
  done
  EndWineSession
  {
    echo
    echo "At $size on Xvfb + llvmpipe, $rounds rounds; medians"
    printf '%-28s %10s %14s %14s\n' program "CPU s/s" "keypad-6 fps" "space-exit ms"
    Row "solvane.scr /s" saver keypad
    [ -z "$beforeScr" ] || Row "before: solvane.scr /s" before keypad
    [ -z "$hack" ] || Row "solvane -root" hack
    [ -z "$beforeHack" ] || Row "before: solvane -root" hack-before
    Row "glplanet --mode globe" peer
    Row "Wine and X, nothing running" idle
    for program in saver ${hack:+hack}; do
      echo "$(Column "$program" cpu) $(Column peer cpu)" |
        awk -v p="$program" '{ if ($1 > 0) printf "glplanet / %s, CPU s/s: %.1f\n", p, $2 / $1 }'
    done
    echo "$(Column saver cpu) $(Column idle cpu) $(Column peer cpu)" |
      awk '{ if ($1 > $2) printf "glplanet / what the saver adds to Wine and X, CPU s/s: %.1f\n", $3 / ($1 - $2) }'
  } >>"$summary"
done
cat "$summary"
echo "(CPU s/s: the program, the wineserver for the saver, and the X server; runs in $work)"
