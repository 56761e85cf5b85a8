#!/usr/bin/env bash
# Milliseconds per frame of solvane-snapshot (EGL, Mesa llvmpipe, no window system),
# two builds side by side. Each measurement is the run with FRAMES frames minus the
# run with 2, so that start-up (EGL, tiles, mesh, first uploads) drops out; the builds
# alternate within every round, and the order turns each round.
#
#   bench/headless.sh BEFORE-SNAPSHOT [AFTER-SNAPSHOT]
#
# Settings (environment): ROUNDS=5, FRAMES=202, SIZE=1024x768,
#   TEXTURES (default build/native-release/textures).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
before=$1
after=${2:-$root/build/native-release/tools/snapshot/solvane-snapshot}
rounds=${ROUNDS:-5}
frames=${FRAMES:-202}
size=${SIZE:-1024x768}
textures=${TEXTURES:-$root/build/native-release/textures}
work=$(mktemp -d /tmp/solvane-headless.XXXXXX)

Seconds() { # program frames
  local t0 t1
  t0=$(date +%s.%N)
  TZ=UTC "$1" --textures "$textures" --utc 2026-12-22T18:00:00Z --size "$size" --frames "$2" \
    --out "$work/picture.png" >/dev/null
  t1=$(date +%s.%N)
  echo "$t0 $t1" | awk '{ print $2 - $1 }'
}

MsPerFrame() { # program
  local short long
  short=$(Seconds "$1" 2)
  long=$(Seconds "$1" "$frames")
  echo "$short $long $frames" | awk '{ printf "%.1f\n", 1000 * ($2 - $1) / ($3 - 2) }'
}

for round in $(seq "$rounds"); do
  load=$(cut -d' ' -f1 /proc/loadavg)
  if [ $((round % 2)) -eq 1 ]; then
    b=$(MsPerFrame "$before")
    a=$(MsPerFrame "$after")
  else
    a=$(MsPerFrame "$after")
    b=$(MsPerFrame "$before")
  fi
  echo "$b $a" >>"$work/rounds"
  echo "round $round (load $load): before $b ms, after $a ms, before / after $(echo "$b $a" |
    awk '{ printf "%.2f", $1 / $2 }')"
done

awk -v size="$size" -v frames="$frames" '
  { b[NR] = $1; a[NR] = $2 }
  function median(v, n,   i, j, t) {
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  END {
    mb = median(b, NR); ma = median(a, NR)
    printf "headless %s, %d frames minus 2, median of %d rounds: before %.1f ms, after %.1f ms a frame; before / after %.2f\n", size, frames, NR, mb, ma, mb / ma
  }' "$work/rounds"
