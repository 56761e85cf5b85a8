#!/usr/bin/env bash
# Instructions per FrameStep, broken down by stage, counted by callgrind in a Release
# build with GL calls going nowhere (the recording GL, switched off). Instruction
# counts are repeatable where timings on a shared machine are not.
#
#   bench/profile.sh [build-dir] [frames]
#
# build-dir defaults to build/native-release (cmake --preset native-release); frames
# to 50. The callgrind output is kept in <build-dir>/bench/callgrind.frames.out for
# callgrind_annotate or kcachegrind.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/native-release}
frames=${2:-50}

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" --target solvane_frame_profile -j2 >/dev/null 2>&1

driver=$build/bench/solvane_frame_profile
out=$build/bench/callgrind.frames.out
rm -f "$out"
# Only the frames count, not the set-up: collection is on inside ProfiledFrames.
valgrind --tool=callgrind --callgrind-out-file="$out" \
  --toggle-collect='*ProfiledFrames*' "$driver" "$frames" >/dev/null 2>"$out.log" || {
  cat "$out.log" >&2
  exit 1
}

callgrind_annotate --inclusive=yes --threshold=100 "$out" 2>/dev/null |
  awk -v frames="$frames" '
  # Lines read "1,234,567 (12.34%)  file:function [object]"; the same function may be
  # listed under several files (inlined copies), so the costs are summed by name.
  /^ *[0-9,]+ / {
    cost = $1; gsub(",", "", cost)
    line = $0; sub(/^ *[0-9,]+ +(\([^)]*\) +)?/, "", line); sub(/ \[.*$/, "", line)
    name = line; sub(/^[^:]*:/, "", name)
    total[name] += cost
  }
  function find(pattern,   n, best) {
    best = 0
    for (n in total) if (n ~ pattern && total[n] > best) best = total[n]
    return best
  }
  END {
    split("FrameStep|PollKeys|ReadCalendarTime|gmtime|localtime|ClearView|SteerCamera|ApplyCamera|ComposeClockText|UpdateSunFrame|ShadeGlobe|  pow|AssignTileTextures|DrawStrokeText|  BuildGlyph|  FreeGlyph|PlanPatches|DrawPlannedPatches|ClearKeys", stage, "|")
    frame = find("^FrameStep\\(\\)$")
    shade = find("^ShadeGlobe\\(\\)$")
    printf "%-22s %14s %8s\n", "stage", "instr/frame", "share"
    for (i = 1; i in stage; i++) {
      label = stage[i]; key = label; sub(/^ +/, "", key)
      if (key == "pow" || key == "gmtime" || key == "localtime") pattern = "^(__)?" key "(_r)?(@.*)?$"
      else pattern = "^" key "\\("
      cost = find(pattern)
      printf "%-22s %14.0f %7.1f%%\n", label, cost / frames, frame ? 100 * cost / frame : 0
    }
    if (shade) printf "\nFrameStep / ShadeGlobe: %.2f\n", frame / shade
  }'
