#!/usr/bin/env bash
# Fixture of one station: a copy of the run's booted Wine prefix and an Xvfb
# display of its own, with the prefix's wineserver kept up while the station's
# cases run. Writes $E2E_WORK/stations/<station>/state.env.
#   setup_station.sh <station>
set -euo pipefail
: "${E2E_WORK:?}"
station=$1
here=$(cd "$(dirname "$0")" && pwd)
unset LD_PRELOAD "${!FAKETIME@}"
dir=$E2E_WORK/stations/$station

# Whatever a previous run of this station left behind goes first.
"$here/cleanup_station.sh" "$station" || true
# shellcheck disable=SC1091
source "$E2E_WORK/run.env"
rm -rf "$dir"
mkdir -p "$dir"

# Hard links: Wine only reads the DLLs of a prefix. The registry files are
# rewritten while the prefix is in use, so each station gets copies of its own.
prefix=$dir/prefix
cp -al "$E2E_TEMPLATE" "$prefix"
for file in "$E2E_TEMPLATE"/*.reg; do cp --remove-destination "$file" "$prefix/"; done

# The texture folders a case hands the saver live on the prefix's C: drive: their
# Windows paths stay short (the saver takes at most 92 characters) wherever the
# build tree lies.
tiles=$prefix/drive_c/tiles/default
mkdir -p "$tiles"
cp "$E2E_TILES"/* "$tiles/"

read -r display xvfbPid < <("$here/start_xvfb.sh" "$dir/xvfb.log") || exit 1
echo "-- station $station: Xvfb $display (pid $xvfbPid), prefix $prefix"

export DISPLAY=$display WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
/usr/bin/wineserver -p </dev/null >/dev/null 2>&1
# Wine's own services come up with the first program; they are running before
# any case starts one of ours.
/usr/lib/wine/wine64 reg query 'HKCU\Software\Wine' </dev/null >/dev/null 2>&1 || true

cat >"$dir/state.env" <<STATE
XVFB_PID=$xvfbPid
DISPLAY=$display
WINEPREFIX=$prefix
E2E_TILES=$tiles
STATE
