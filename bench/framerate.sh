#!/usr/bin/env bash
# Frame rate of the saver against a peer, measured from outside both programs.
#
# In one Xvfb at 1024 x 768 (Mesa llvmpipe) it runs, one after the other and for
# several alternating rounds, `solvane.scr /s` under Wine and XScreenSaver's
# glplanet (--delay 0, its built-in imagery, on the root window). Each run is
# counted by Mesa's own HUD (GALLIUM_HUD=fps, dumped to a file once a second), the
# same counter for both; the saver run also keeps Wine's fps trace as a cross-check.
# Then the headless frame rate of solvane-snapshot over many frames, and the saver's
# time from start to its first frame on the screen and its peak memory.
#
#   bench/framerate.sh
#
# Settings (environment):
#   ROUNDS=3            alternating rounds (saver, peer)
#   RUN_SECONDS=20      length of each run
#   SCR=build/win64/solvane.scr
#   SNAPSHOT=build/native-release/tools/snapshot/solvane-snapshot
#   SNAPSHOT_FRAMES=200
#   TEXTURES=<folder>   default: build/native-release/textures, build/native/textures,
#                       else 512-pixel test tiles made here
#
# This machine cannot execute 32-bit x86 code, so the 64-bit build of the saver runs,
# through the 64-bit Wine loader, in a prefix of the script's own under /tmp.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${ROUNDS:-3}
runSeconds=${RUN_SECONDS:-20}
scr=${SCR:-$root/build/win64/solvane.scr}
snapshot=${SNAPSHOT:-$root/build/native-release/tools/snapshot/solvane-snapshot}
snapshotFrames=${SNAPSHOT_FRAMES:-200}
peer=/usr/libexec/xscreensaver/glplanet
[ -x "$peer" ] || peer=/usr/lib/xscreensaver/glplanet
loader=/usr/lib/wine/wine64

work=$(mktemp -d /tmp/solvane-framerate.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINELOADER=$loader
export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
# HUD samples once a second; the first ones cover start-up and are left out.
export GALLIUM_HUD_PERIOD=1
skipSamples=3

for need in "$scr" "$peer" "$loader"; do
  [ -e "$need" ] || { echo "missing: $need" >&2; exit 1; }
done

xvfbPid=""
Finish() {
  /usr/bin/wineserver -k >/dev/null 2>&1 || true
  if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
}
trap Finish EXIT

read -r DISPLAY xvfbPid < <("$root/tests/e2e/start_xvfb.sh" "$work/xvfb.log") || exit 1
export DISPLAY

textures=${TEXTURES:-}
if [ -z "$textures" ]; then
  for candidate in "$root/build/native-release/textures" "$root/build/native/textures"; do
    if [ -f "$candidate/d11.bmp" ]; then textures=$candidate; break; fi
  done
fi
if [ -z "$textures" ]; then
  textures=$work/tiles
  "$root/tests/e2e/make_test_tiles.sh" "$textures" 512 >/dev/null
fi
tileSize=$(identify -format '%w' "$textures/d11.bmp" 2>/dev/null || echo "?")

echo "== Wine prefix (64-bit) in $WINEPREFIX"
"$loader" wineboot -i >"$work/boot.log" 2>&1 || true
/usr/bin/wineserver -w
/usr/bin/wineserver -p  # stays up between runs: no start-up of Wine's services in a run
"$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
  >/dev/null 2>&1
folder=$(readlink -m "$textures")
folder="Z:${folder//\//\\}\\"
"$loader" reg add 'HKCU\Software\QMT_kvr' /v path /t REG_SZ /d "$folder" /f >/dev/null 2>&1

Median() { sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) { print "nan"; exit }
  print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The median HUD sample of a run, start-up samples left out.
RunFps() { tail -n +"$((skipSamples + 1))" "$1" 2>/dev/null | Median; }

# True once something is drawn: a pixel that is not black, with the corner black (a
# window's background before the first frame would be one colour all over).
ScreenDrawn() {
  xwd -root -silent 2>/dev/null | python3 -c '
import struct, sys
d = sys.stdin.buffer.read()
if len(d) < 100: sys.exit(1)
f = struct.unpack(">25I", d[:100])
pixels = d[f[0] + f[19] * 12:]              # after the header and the colour map
step = f[11] // 8                           # bytes per pixel; 4 holds a padding byte
pad = 3 if f[7] == 0 else 0                 # LSBFirst: B G R x; MSBFirst: x R G B
lit = any(any(pixels[i::step]) for i in range(step) if step != 4 or i != pad)
corner = any(b for i, b in enumerate(pixels[:step]) if step != 4 or i != pad)
sys.exit(0 if lit and not corner else 1)'
}

# Parks the pointer where the saver's creation puts its first mouse message, so it
# does not count as travel.
xdotool mousemove 512 384

RunSaver() { # round
  local dir=$work/saver-$1
  mkdir -p "$dir/hud"
  local start end
  start=$(date +%s.%N)
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir/hud WINEDEBUG=-all,trace+fps \
    "$loader" "$scr" /s >"$dir/out" 2>"$dir/err" &
  local pid=$!
  local waited=0
  until ScreenDrawn; do
    sleep 0.02
    waited=$((waited + 1))
    if [ "$waited" -gt 1500 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "the saver drew nothing; see $dir/err" >&2
      return 1
    fi
  done
  end=$(date +%s.%N)
  echo "$start $end" | awk '{ printf "%.2f\n", $2 - $1 }' >"$dir/first-frame-s"
  sleep "$runSeconds"
  # Peak resident memory of the Windows process (the loader execs into it), from the
  # kernel.
  awk '/^VmHWM/ { print $2 }' "/proc/$pid/status" >"$dir/peak-kb" 2>/dev/null || true
  # The space bar closes the saver, which then exits on its own and its HUD file is
  # complete.
  xdotool keydown space; sleep 0.3; xdotool keyup space
  timeout 60 tail --pid="$pid" -f /dev/null || kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  xdotool mousemove 512 384
  # Wine's count, "@ approx 12.34fps": a cross-check of the HUD.
  grep -o 'approx [0-9.]*fps' "$dir/err" | tr -dc '0-9.\n' | tail -n +"$((skipSamples + 1))" |
    Median >"$dir/wine-fps"
  RunFps "$dir/hud/fps" >"$dir/fps"
}

RunPeer() { # round
  local dir=$work/peer-$1
  mkdir -p "$dir/hud"
  # glplanet leaves on SIGTERM through its normal exit, which writes out the HUD file.
  GALLIUM_HUD=fps GALLIUM_HUD_DUMP_DIR=$dir/hud \
    timeout "$((runSeconds + skipSamples))" "$peer" --delay 0 -root >"$dir/out" 2>&1 || true
  RunFps "$dir/hud/fps" >"$dir/fps"
}

for round in $(seq "$rounds"); do
  echo "== round $round of $rounds: saver, then glplanet, ${runSeconds} s each"
  RunSaver "$round"
  RunPeer "$round"
  printf '   saver %s fps (Wine count %s), glplanet %s fps\n' \
    "$(cat "$work/saver-$round/fps")" "$(cat "$work/saver-$round/wine-fps")" \
    "$(cat "$work/peer-$round/fps")"
done

saverFps=$(cat "$work"/saver-*/fps | Median)
wineFps=$(cat "$work"/saver-*/wine-fps | Median)
peerFps=$(cat "$work"/peer-*/fps | Median)
firstFrame=$(cat "$work"/saver-*/first-frame-s | Median)
peakMb=$(cat "$work"/saver-*/peak-kb | Median | awk '{ printf "%.1f", $1 / 1024 }')

snapshotLine="solvane-snapshot not built ($snapshot)"
if [ -x "$snapshot" ]; then
  # Timed twice, with 2 frames and with many, so that start-up (EGL, textures, mesh)
  # drops out of the difference.
  SnapshotSeconds() {
    local t0 t1
    t0=$(date +%s.%N)
    "$snapshot" --textures "$textures" --utc 2026-12-22T18:00:00Z --frames "$1" \
      --out "$work/snapshot.png" >/dev/null 2>>"$work/snapshot.err"
    t1=$(date +%s.%N)
    echo "$t0 $t1" | awk '{ print $2 - $1 }'
  }
  short=$(SnapshotSeconds 2)
  long=$(SnapshotSeconds "$snapshotFrames")
  snapshotLine=$(echo "$short $long $snapshotFrames" | awk '{ d = $2 - $1
    printf "%d frames in %.2f s, 2 frames in %.2f s: %.1f frames/s without start-up", $3, $2, $1,
      ($3 - 2) / d }')
fi

echo
echo "Frame rate, 1024 x 768, Xvfb + Mesa llvmpipe, $rounds rounds of ${runSeconds} s"
echo "(64-bit saver under 64-bit Wine; textures $tileSize px from $textures)"
printf '%-34s %10s\n' "program" "median fps"
printf '%-34s %10s\n' "solvane.scr /s (Mesa HUD)" "$saverFps"
printf '%-34s %10s\n' "solvane.scr /s (Wine fps trace)" "$wineFps"
printf '%-34s %10s\n' "glplanet --delay 0 (Mesa HUD)" "$peerFps"
echo "$saverFps $peerFps" | awk '{ if ($2 > 0) printf "ratio saver / glplanet: %.2f\n", $1 / $2 }'
echo "saver start to first frame: ${firstFrame} s (median; Wine server already up)"
echo "saver peak memory (max RSS): ${peakMb} MB (median)"
echo "headless: $snapshotLine"
echo "(runs kept in $work)"
trap - EXIT
Finish
