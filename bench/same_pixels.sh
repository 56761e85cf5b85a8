#!/usr/bin/env bash
# Pixel-for-pixel comparison of two builds of solvane-snapshot over a year of moments:
# the solstices and equinoxes of 2026 (at the event's own minute and at six hours
# through the day), each seen from the camera the first frame aligns, after keyed
# turns about the axis and toward a pole, after a move toward the globe with a roll,
# and from above a pole, at two picture sizes and two time zones. A change that must
# not alter the picture must give 0 differing pixels on every one.
#
#   bench/same_pixels.sh [before-revision] [after-snapshot]
#
# before-revision: built in a worktree under build/ (default d6230aa: the tree of
#   4cee522, which uploaded every texture in every pass, with the snapshot tool's
#   --hold option); an existing build there is reused.
# after-snapshot: default build/native-release/tools/snapshot/solvane-snapshot.
# TEXTURES: the tile folder both builds read (default build/native-release/textures-512).
# The pictures are kept in a folder under /tmp, named on the last line.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
beforeRevision=${1:-d6230aa}
after=${2:-$root/build/native-release/tools/snapshot/solvane-snapshot}
# The 512-pixel tiles of xplanet-images, which builds before the 1024-pixel default
# tiles drew; the build keeps them in textures-512/.
textures=${TEXTURES:-$root/build/native-release/textures-512}
beforeTree=$root/build/before-$beforeRevision
before=$beforeTree/build/tools/snapshot/solvane-snapshot

[ -x "$after" ] || { echo "no snapshot tool at $after (cmake --build --preset native-release)" >&2; exit 2; }
[ -f "$textures/d11.bmp" ] || { echo "no tiles in $textures" >&2; exit 2; }

if [ ! -x "$before" ]; then
  echo "== building solvane-snapshot at $beforeRevision in $beforeTree"
  [ -d "$beforeTree" ] || git -C "$root" worktree add --detach "$beforeTree" "$beforeRevision" >/dev/null
  cmake -S "$beforeTree" -B "$beforeTree/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$beforeTree/build" --target solvane-snapshot -j2 >/dev/null
fi

work=$(mktemp -d /tmp/solvane-same-pixels.XXXXXX)

# The event itself, then hours spread over the day (the lit side faces every way).
moments=()
for event in 2026-03-20T14:46:00Z 2026-06-21T08:24:00Z 2026-09-23T00:05:00Z 2026-12-21T20:50:00Z; do
  day=${event%%T*}
  moments+=("$event")
  for hour in 00:00:00 04:30:00 09:15:00 13:45:00 18:00:00 22:30:07; do
    moments+=("${day}T${hour}Z")
  done
done

# Camera: as aligned; 36 degrees about the axis by keypad 6, 24 toward a pole by 8; 8 frames
# moving in by keypad 9 while rolling with '*'; above a pole. Frames after the first
# reuse the textures the first one made.
views=("--frames 2"
  "--frames 7 --hold 6"
  "--frames 5 --hold 8"
  "--frames 9 --hold 9*"
  "--frames 3 --hold 42 --look-at 75,-120")

count=0
differing=0
failed=0
for i in "${!moments[@]}"; do
  moment=${moments[$i]}
  for j in "${!views[@]}"; do
    # Sizes and zones alternate so that each meets every view.
    size=1024x768
    [ $(((i + j) % 3)) -eq 2 ] && size=1920x1080
    zone=UTC
    [ $(((i + j) % 2)) -eq 1 ] && zone=XXX-9
    name=$(printf '%02d-%d' "$i" "$j")
    # shellcheck disable=SC2086  # the view is a list of options
    for side in before after; do
      program=$before
      [ "$side" = after ] && program=$after
      TZ=$zone "$program" --textures "$textures" --utc "$moment" --size "$size" ${views[$j]} \
        --out "$work/$name-$side.png" 2>>"$work/errors"
    done
    pixels=$(compare -metric AE "$work/$name-before.png" "$work/$name-after.png" null: 2>&1 || true)
    # Black pictures would agree without showing anything: above the clock's rows at
    # least 0.5 % of the pixels must be lit (a view of the night side lights about 2 %).
    lit=$(convert "$work/$name-after.png" -crop 100%x85%+0+0 +repage -colorspace gray \
      -threshold 0 -format '%[fx:mean>0.005]' info:)
    count=$((count + 1))
    if [ "$pixels" != 0 ] || [ "$lit" != 1 ]; then
      failed=$((failed + 1))
      echo "DIFFERS: $moment $size TZ=$zone ${views[$j]}: $pixels pixels (lit: $lit)"
      [[ "$pixels" =~ ^[0-9]+$ ]] && differing=$((differing + pixels))
    fi
  done
done

echo "$count pictures, before $beforeRevision against $after"
echo "pictures that differ: $failed; pixels that differ: $differing"
echo "(pictures in $work)"
[ "$failed" -eq 0 ]
