#!/usr/bin/env bash
# Fixture of one station: a copy of the run's booted Wine prefix, with the good
# tiles on its C: drive. Each case of the station brings up its own Xvfb display
# and wineserver on it (lib.sh). Writes $E2E_WORK/stations/<station>/state.env.
#   setup_station.sh <station>
set -euo pipefail
: "${E2E_WORK:?}"
station=$1
here=$(cd "$(dirname "$0")" && pwd)
unset LD_PRELOAD "${!FAKETIME@}"
dir=$E2E_WORK/stations/$station

# Whatever a previous run of this station left behind goes first.
"$here/cleanup_station.sh" "$station" || true
if [ ! -f "$E2E_WORK/run.env" ]; then
    echo "SKIP: no booted prefix: the run's fixture skipped (no Windows build)"
    exit 77
fi
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
echo "-- station $station: prefix $prefix"

cat >"$dir/state.env" <<STATE
WINEPREFIX=$prefix
E2E_TILES=$tiles
STATE
