#!/usr/bin/env bash
# Instructions per headless frame, the GL's work included: callgrind counts every
# instruction of solvane-snapshot, Mesa's llvmpipe and the code it compiles, with
# llvmpipe rasterising on the main thread (LP_NUM_THREADS=0) so that nothing escapes
# the count. The run with FRAMES frames minus the run with 2, divided by the
# difference, leaves start-up out. Mesa's shader cache is off, so that every run
# compiles its own shaders (a warm cache spared the second run of a pair about a
# thousand million instructions). Unlike a timing, the count does not depend on the
# machine's load.
#
#   bench/gl_instructions.sh SNAPSHOT [SNAPSHOT...]
#
# Settings (environment): FRAMES=12, SIZE=1024x768, TEXTURES.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
frames=${FRAMES:-12}
size=${SIZE:-1024x768}
textures=${TEXTURES:-$root/build/native-release/textures}
work=$(mktemp -d /tmp/solvane-gl-instructions.XXXXXX)

Instructions() { # program frames
  LP_NUM_THREADS=0 MESA_SHADER_CACHE_DISABLE=true TZ=UTC valgrind --tool=callgrind --smc-check=all \
    --callgrind-out-file="$work/callgrind.out" "$1" --textures "$textures" \
    --utc 2026-12-22T18:00:00Z --size "$size" --frames "$2" --out "$work/picture.png" \
    2>&1 | awk '/Collected :/ { print $NF }'
}

for program in "$@"; do
  short=$(Instructions "$program" 2)
  long=$(Instructions "$program" "$frames")
  echo "$short $long $frames" | awk -v p="$program" '{
    printf "%.1f million instructions a frame at '"$size"' (%d frames minus 2): %s\n",
      ($2 - $1) / ($3 - 2) / 1e6, $3, p }'
done
