#!/usr/bin/env bash
# Builds Solvane and runs the saver full-screen under Wine on this display, the
# way Windows would start it (solvane.scr /s). Space, a mouse move or switching
# away ends it.
#
# Without a display ($DISPLAY empty) it starts an Xvfb of its own, lets the
# saver run for a few seconds (SOLVANE_RUN_SECONDS, default 8), saves a picture,
# prints where, and ends the saver with the space bar.
#
# Everything lives under build/: the host build (which makes the default
# textures), the Windows build this machine can run, and a Wine prefix of the
# script's own in build/run-saver/prefix. The user's Wine set-up is not touched.
#
# SOLVANE_SCR=<path> runs a saver built elsewhere and skips the builds;
# SOLVANE_TEXTURES=<folder> takes the tiles from there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

scripts/install-deps.sh

# The 32-bit saver is the product; where this machine cannot run 32-bit code,
# the 64-bit build of the same sources runs instead.
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=win32 loader=/usr/lib/wine/wine arch=win32
else
    preset=win64 loader=/usr/lib/wine/wine64 arch=win64
fi
if [ -n "${SOLVANE_SCR:-}" ]; then
    scr=$(readlink -f "$SOLVANE_SCR")
else
    echo "== building (host tools and textures, then the $preset saver)"
    cmake --preset native >/dev/null
    cmake --build --preset native
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    scr=$root/build/$preset/solvane.scr
fi

work=$root/build/run-saver
mkdir -p "$work"
textures=${SOLVANE_TEXTURES:-$root/build/native/textures}
if [ ! -f "$textures/d11.bmp" ]; then
    textures=$work/test-tiles
    echo "== no default textures in build/native/textures; using plain test tiles"
    tests/e2e/make_test_tiles.sh "$textures"
fi

export WINEPREFIX=$work/prefix WINEARCH=$arch WINELOADER=$loader
export WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
xvfbPid=""
Finish() {
    /usr/bin/wineserver -k >/dev/null 2>&1 || true
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
}
trap Finish EXIT

if [ -z "${DISPLAY:-}" ]; then
    read -r DISPLAY xvfbPid < <(tests/e2e/start_xvfb.sh "$work/xvfb.log") || exit 1
    export DISPLAY
    echo "== no display: started Xvfb on $DISPLAY"
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== creating the Wine prefix $WINEPREFIX"
    "$loader" wineboot -i >"$work/boot.log" 2>&1 || true
    /usr/bin/wineserver -w
    "$loader" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
        >/dev/null 2>&1
fi

# Stored as an installer would: the folder's Z: path with its final backslash.
folder=$(readlink -m "$textures")
folder="Z:${folder//\//\\}\\"
"$loader" reg add 'HKCU\Software\QMT_kvr' /v path /t REG_SZ /d "$folder" /f >/dev/null 2>&1
/usr/bin/wineserver -w
echo "== textures: $folder"

if [ -z "$xvfbPid" ]; then
    echo "== running $scr /s on $DISPLAY"
    code=0
    "$loader" "$scr" /s || code=$?
    echo "== the saver ended with $code"
    exit "$code"
fi

"$loader" "$scr" /s >"$work/saver.out" 2>"$work/saver.err" &
saverPid=$!
# Polled with a bound: "search --sync" can give up at the first X error from a
# window that vanishes while it looks.
window=""
for _ in $(seq 120); do
    window=$(xdotool search --name '^SaverWindow$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    kill -0 "$saverPid" 2>/dev/null || break
    sleep 0.5
done
if [ -z "$window" ]; then
    echo "== no saver window appeared; see $work/saver.err" >&2
    exit 1
fi
sleep "${SOLVANE_RUN_SECONDS:-8}"
picture=$work/screenshot.png
xwd -id "$window" -silent | convert xwd:- "$picture"
echo "== picture: $picture"
xdotool keydown space
sleep 0.5
xdotool keyup space
code=0
timeout 30 tail --pid="$saverPid" -f /dev/null || code=124
wait "$saverPid" || code=$?
echo "== the saver ended with $code"
exit "$code"
