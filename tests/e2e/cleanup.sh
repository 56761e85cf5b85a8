#!/usr/bin/env bash
# Fixture clean-up: ends the Wine processes of our prefix and our Xvfb, nothing else.
set -uo pipefail
: "${E2E_WORK:?}"
state=$E2E_WORK/state.env
[ -f "$state" ] || exit 0
# shellcheck disable=SC1090
source "$state"
WINEPREFIX=$WINEPREFIX /usr/bin/wineserver -k >/dev/null 2>&1
if [ -n "${XVFB_PID:-}" ] && grep -q Xvfb "/proc/$XVFB_PID/cmdline" 2>/dev/null; then
    kill "$XVFB_PID"
fi
rm -f "$state"
exit 0
