#!/usr/bin/env bash
# Fixture clean-up of one station: ends the Wine processes of its prefix and the
# display (Xvfb, or Xorg for monitors) of a case that could not end it itself,
# nothing else.
#   cleanup_station.sh <station>
set -uo pipefail
: "${E2E_WORK:?}"
unset LD_PRELOAD "${!FAKETIME@}"
dir=$E2E_WORK/stations/$1
[ -f "$dir/state.env" ] || exit 0
# shellcheck disable=SC1091
source "$dir/state.env"
WINEPREFIX=$WINEPREFIX /usr/bin/wineserver -k >/dev/null 2>&1
pid=$(cat "$dir/xvfb.pid" 2>/dev/null)
if [ -n "$pid" ] && grep -qE 'Xvfb|Xorg' "/proc/$pid/cmdline" 2>/dev/null; then kill "$pid"; fi
rm -f "$dir/state.env" "$dir/xvfb.pid"
exit 0
