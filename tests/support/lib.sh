# What the system tests of every front end share: failing, and judging pictures
# against solvane-snapshot's with one tolerance. Sourced by tests/e2e/lib.sh (the
# Windows saver under Wine), tests/hack/lib.sh (the X11 hack) and the Wayland test.
# shellcheck shell=bash

Fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Compares two decimal numbers with awk: FloatAbove a b succeeds if a > b.
FloatAbove() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Share (0..1) of the pixels in a region brighter than 10% in any channel.
LitShare() { # png geometry
    convert "$1" -crop "$2" +repage -channel RGB -separate -evaluate-sequence max \
        -threshold 10% -format '%[fx:mean]' info:
}

# Share (0..1) of the pixels in a region whose channels differ by more than 15%:
# coloured, as a textured globe is, where grey shading alone would not be.
ColourShare() { # png geometry
    convert "$1" -crop "$2" +repage -fx 'max(r,max(g,b)) - min(r,min(g,b)) > 0.15' \
        -colorspace Gray -format '%[fx:mean]' info:
}

# ---------------------------------------------------------------- the oracle

# Every front end draws through Mesa's llvmpipe (WGL under Wine, GLX on Xvfb, EGL in
# sway), solvane-snapshot through headless EGL, all running the same frame step; so
# at the same moment, zone and size they draw the same picture up to rounding.
# Measured with ImageMagick's compare: the 64-bit saver, the hack and solvane-wayland
# differ from the snapshot by at most 1 of 255 in any channel; in the 32-bit saver's
# picture about a hundred pixels of the stroke text and the globe's rim fall one pixel
# aside, and on Xvfb a handful of rasterisation ties fall the other way. So a pixel
# counts as a mismatch only if it lies more than 3% (8 of 255) outside the range of
# the other picture over its 3x3 neighbourhood, in either direction; every front end
# measured 0 such pixels at every moment tried. Against the saver's real picture at
# dusk, an oracle one second off gives 34 (21 of them in the clock rows), one whose
# clock shows 3 for 8 in one digit 62 (12 in the clock rows), a day off 215, an hour
# of zone off over 100000; the camera one spin step (0.25 degree) off gives over
# 1500. Up to ORACLE_MAX_MISMATCH stray pixels are forgiven.
readonly ORACLE_FUZZ=3%
readonly ORACLE_MAX_MISMATCH=5

# Writes the mask of mismatching pixels of two pictures of one size (white where one
# lies outside the other's neighbourhood range by more than ORACLE_FUZZ).
MismatchMask() { # png reference mask
    convert \
        \( "$1" \( "$2" -morphology Dilate Square:1 \) -compose minus_src -composite \) \
        \( \( "$2" -morphology Erode Square:1 \) "$1" -compose minus_src -composite \) \
        \( "$2" \( "$1" -morphology Dilate Square:1 \) -compose minus_src -composite \) \
        \( \( "$1" -morphology Erode Square:1 \) "$2" -compose minus_src -composite \) \
        -evaluate-sequence max -separate -evaluate-sequence max \
        -threshold "$ORACLE_FUZZ" "$3"
}

WhitePixels() { # png [geometry]
    convert "$1" ${2:+-crop "$2"} +repage -format '%[fx:round(mean * w * h)]' info:
}

# The mismatching pixels of two pictures (in `area` alone, when given), the mask kept
# beside the first; a large number when the pictures are not of one size or unreadable.
Mismatches() { # png reference [area]
    local sizes
    sizes=$(identify -format '%wx%h\n' "$1" "$2" 2>/dev/null | sort -u | wc -l) || sizes=0
    if [ "$sizes" != 1 ]; then
        echo 999999999
        return
    fi
    MismatchMask "$1" "$2" "${1%.png}-mismatch.png"
    WhitePixels "${1%.png}-mismatch.png" "${3:-}"
}
