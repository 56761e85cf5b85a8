#!/usr/bin/env bash
# Fixture clean-up of one station: ends the Wine processes of its prefix and its
# Xvfb, nothing else.
#   cleanup_station.sh <station>
set -uo pipefail
: "${E2E_WORK:?}"
unset LD_PRELOAD "${!FAKETIME@}"
state=$E2E_WORK/stations/$1/state.env
[ -f "$state" ] || exit 0
# shellcheck disable=SC1090
source "$state"
WINEPREFIX=$WINEPREFIX /usr/bin/wineserver -k >/dev/null 2>&1
if [ -n "${XVFB_PID:-}" ] && grep -q Xvfb "/proc/$XVFB_PID/cmdline" 2>/dev/null; then
    kill "$XVFB_PID"
fi
rm -f "$state"
exit 0
