#!/usr/bin/env bash
# The Classic look against the Natural one, and 512-pixel tiles against the default
# 1024-pixel ones, in solvane-snapshot (EGL, Mesa llvmpipe): for each pairing the
# time from start to the written first picture, its peak resident memory, and the
# milliseconds per frame (a run of FRAMES frames with keypad 6 held, minus a run of
# 2). All four run in every round, in an order that turns each round; medians.
#
#   bench/looks.sh [SNAPSHOT]
#
# Settings (environment): ROUNDS=5, FRAMES=62, SIZE=1920x1080.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
snapshot=${1:-$root/build/native-release/tools/snapshot/solvane-snapshot}
rounds=${ROUNDS:-5}
frames=${FRAMES:-62}
size=${SIZE:-1920x1080}
tiles=("$root/build/native-release/textures-512" "$root/build/native-release/textures")
work=$(mktemp -d /tmp/solvane-looks.XXXXXX)
moment=2026-12-08T16:30:00Z

# Seconds and peak kilobytes of one run, on one line.
Run() { # look tiles frames
    local hold=""
    [ "$3" -gt 2 ] && hold="--hold 6"
    # shellcheck disable=SC2086
    /usr/bin/time -f '%e %M' -o "$work/time" "$snapshot" --textures "$2" --utc "$moment" \
        --size "$size" --frames "$3" $hold --look "$1" --out "$work/picture.png"
    cat "$work/time"
}

configs=("classic 0" "natural 0" "classic 1" "natural 1")
for ((round = 0; round < rounds; round++)); do
    for ((k = 0; k < 4; k++)); do
        i=$(((k + round) % 4))
        read -r look tile <<<"${configs[$i]}"
        read -r first memory <<<"$(Run "$look" "${tiles[$tile]}" 2)"
        read -r long _ <<<"$(Run "$look" "${tiles[$tile]}" "$frames")"
        echo "$i $first $memory $(echo "($long - $first) * 1000 / ($frames - 2)" | bc -l)" \
            >>"$work/runs"
    done
done

Median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
printf '%-8s %-6s %12s %12s %12s\n' look tiles "first (s)" "peak (MB)" "ms/frame"
for i in 0 1 2 3; do
    read -r look tile <<<"${configs[$i]}"
    first=$(awk -v i="$i" '$1 == i { print $2 }' "$work/runs" | Median)
    memory=$(awk -v i="$i" '$1 == i { print $3 / 1024 }' "$work/runs" | Median)
    frame=$(awk -v i="$i" '$1 == i { print $4 }' "$work/runs" | Median)
    printf '%-8s %-6s %12.3f %12.0f %12.1f\n' "$look" "$((512 << tile))" "$first" "$memory" "$frame"
done
echo "($rounds rounds at $size, $frames frames; runs in $work/runs)"
