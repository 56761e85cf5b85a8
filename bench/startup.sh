#!/usr/bin/env bash
# Where the saver's start-up goes under Wine, from its start to its first frame, for
# one or two builds in alternating rounds. Each run is timed by Wine's own trace
# (WINEDEBUG=+timestamp with the loaddll, file and wgl channels): the stages end at
#   exe      the saver's executable is mapped (Wine's process start before it)
#   window   the first tile is opened (Wine's DLLs, the X connection, the settings,
#            the window class and the window, up to the texture set)
#   tiles    the sixteen tiles are read and converted (the last one's time taken as
#            the average of the fifteen before it)
#   context  the GL context is current (Wine's GL driver, the pixel format, the
#            context)
#   frame    the first SwapBuffers (the mesh, the shading, the sixteen texture
#            uploads and the first drawing, with Mesa compiling its shaders)
# The trace's clock is the raw monotonic one, read for the start just before it; its
# ticks are about 16 ms apart. Tracing costs some time itself; the totals are for
# comparison.
#
#   bench/startup.sh SCR [BEFORE-SCR]
#
# Settings (environment): ROUNDS=5, SIZE=1024x768, TEXTURES.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
scr=$(readlink -f "$1")
beforeScr=${2:+$(readlink -f "$2")}
rounds=${ROUNDS:-5}
size=${SIZE:-1024x768}
width=${size%x*}
height=${size#*x}

work=$(mktemp -d /tmp/solvane-startup.XXXXXX)
# shellcheck source=bench/wine_session.sh
. "$root/bench/wine_session.sh"
trap EndWineSession EXIT

textures=$(ChooseTextures)
StartXvfb "$size" "$work/xvfb.log"
BootWinePrefix "$work/prefix" "$textures"

# Stage ends of one traced run, in seconds after the start: exe window tiles context
# frame.
RunTraced() { # program dir
  local dir=$2
  mkdir -p "$dir"
  xdotool mousemove "$((width / 2))" "$((height / 2))"
  local start pid
  start=$(MonotonicRaw)
  WINEDEBUG=+timestamp,+loaddll,+file,+wgl "$loader" "$1" /s >"$dir/out" 2>"$dir/trace" &
  pid=$!
  WaitFirstSwap "$dir/trace" "$pid" >/dev/null
  sleep 2
  CloseSaver "$pid"
  awk -v start="$start" '
    # Lines read "1234.567:0024:trace:channel:function ..."; the saver thread is the
    # one that maps the executable.
    function at(line) { split(line, f, ":"); return f[1] + 0 }
    function thread(line) { split(line, f, ":"); return f[2] }
    /trace:loaddll:.*\.scr"/ && !exe { exe = at($0); id = thread($0) }
    thread($0) != id { next }
    /trace:file:CreateFileW .*\\d11\.bmp"/ && !d11 { d11 = at($0) }
    /trace:file:CreateFileW .*\\n24\.bmp"/ && !n24 { n24 = at($0) }
    /trace:wgl:.*wglMakeCurrent .*returning 1/ && !context { context = at($0) }
    /trace:wgl:.*wglSwapBuffers/ && !frame { frame = at($0) }
    END {
      tiles = n24 + (n24 - d11) / 15
      printf "%.3f %.3f %.3f %.3f %.3f\n", exe - start, d11 - start, tiles - start,
        context - start, frame - start
    }' "$dir/trace" >"$dir/stages"
}

programs=(after)
[ -n "$beforeScr" ] && programs+=(before)
for round in $(seq "$rounds"); do
  load=$(cut -d' ' -f1 /proc/loadavg)
  order=("${programs[@]}")
  [ $((round % 2)) -eq 0 ] && [ ${#programs[@]} -eq 2 ] && order=(before after)
  for program in "${order[@]}"; do
    binary=$scr
    [ "$program" = before ] && binary=$beforeScr
    RunTraced "$binary" "$work/$program-$round"
  done
  printf 'round %d (load %s):' "$round" "$load"
  for program in "${programs[@]}"; do printf ' %s %s;' "$program" "$(cat "$work/$program-$round/stages")"; done
  echo
done

echo
echo "Start-up under Wine at $size, median of $rounds runs, seconds (Wine server up)"
printf '%-58s' "stage"
for program in "${programs[@]}"; do printf '%10s' "$program"; done
echo
labels=("Wine's process start, to the executable mapped"
  "DLLs, X connection, settings, window, to the first tile"
  "reading and converting the sixteen tiles"
  "GL driver, pixel format and context"
  "first frame: mesh, shading, 16 uploads, drawing"
  "total: start to the first SwapBuffers")
for stage in 0 1 2 3 4 5; do
  printf '%-58s' "${labels[$stage]}"
  for program in "${programs[@]}"; do
    cat "$work/$program"-*/stages | awk -v s="$stage" '{
      v[0] = $1; for (i = 1; i <= 4; i++) v[i] = $(i + 1) - $i; v[5] = $5
      print v[s] }' | Median | awk '{ printf "%10.3f", $1 }'
  done
  echo
done
echo "(traces kept in $work)"
