#!/usr/bin/env bash
# Side-by-side timing of two builds of solvane_bench (before and after a change),
# run alternately in one session so that both see the same machine load. Prints the
# median CPU time of each benchmark for both and their ratio.
#
#   bench/compare.sh OLD/solvane_bench NEW/solvane_bench [filter] [rounds]
set -euo pipefail
old=$1
new=$2
filter=${3:-'BM_(ShadeGlobe|AssignTileTextures|DrawPatches|DrawStrokeText|FrameStep)$'}
rounds=${4:-3}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
for _ in $(seq "$rounds"); do
  for side in old new; do
    binary=$old
    [ "$side" = new ] && binary=$new
    "$binary" --benchmark_filter="$filter" --benchmark_min_time=0.5 --benchmark_format=csv \
      2>/dev/null | grep '^"BM_' | sed "s/^/$side,/" >>"$out"
  done
done
# csv: side,"name",iterations,real_time,cpu_time,time_unit,...
awk -F, '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { gsub(/"/, "", $2); times[$1, $2] = times[$1, $2] " " $5; unit[$2] = $6; if (!($2 in seen)) { seen[$2] = 1; order[++count] = $2 } }
  END {
    printf "%-24s %14s %14s %8s\n", "benchmark", "old cpu", "new cpu", "old/new"
    for (i = 1; i <= count; i++) {
      name = order[i]; a = median(times["old", name]); b = median(times["new", name])
      printf "%-24s %11.1f %-2s %11.1f %-2s %8.2f\n", name, a, unit[name], b, unit[name], (b > 0 ? a / b : 0)
    }
  }' "$out"
