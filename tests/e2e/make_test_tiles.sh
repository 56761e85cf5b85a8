#!/usr/bin/env bash
# Writes sixteen small 24-bit bitmaps and the tex.tex marker into a folder: a
# stand-in texture set whose day tiles are plainly coloured (green to blue,
# differing by tile) and whose night tiles are dark, so a picture shows at once
# whether the globe is textured.
#   make_test_tiles.sh <folder> [size]
set -euo pipefail
folder=$1
size=${2:-64}
mkdir -p "$folder"
for row in 1 2; do
    for column in 1 2 3 4; do
        convert -size "${size}x${size}" \
            "gradient:rgb($((40 + column * 30)),$((110 + row * 50)),60)-rgb(30,80,$((140 + column * 25)))" \
            -type TrueColor "BMP3:$folder/d$row$column.bmp"
        convert -size "${size}x${size}" \
            "gradient:rgb(40,40,$((70 + column * 10)))-rgb(10,10,30)" \
            -type TrueColor "BMP3:$folder/n$row$column.bmp"
    done
done
echo "Solvane texture folder" >"$folder/tex.tex"
