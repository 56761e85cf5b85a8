#!/usr/bin/env bash
# The 32-bit saver against the 64-bit one, side by side on one Xvfb display, in
# alternating rounds so that both see the same load: the time from the start to
# the window, to the first drawn frame (the first lit pixel in the window), and the
# frame rate over RUN_SECONDS (Wine's own fps trace). Prints each run and the
# ratios of the medians. Where the kernel refuses 32-bit code, the 32-bit saver
# runs through QEMU's user mode, as in the end-to-end tests.
#   tests/e2e/emulation/speed.sh       (after scripts/test.sh has built everything)
# Settings: ROUNDS=3, RUN_SECONDS=20.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
root=$(cd "$here/../.." && pwd)
export E2E_WORK=${E2E_WORK:-$root/build/speed}
export E2E_WIN32_DIR=${E2E_WIN32_DIR:-$root/build/win32}
export E2E_WIN64_DIR=${E2E_WIN64_DIR:-$root/build/win64}
export E2E_TILES_SOURCE=${E2E_TILES_SOURCE:-$root/build/native/textures}
export E2E_GUEST_SHIM=${E2E_GUEST_SHIM:-$root/build/native/tests/e2e/guest_shim.so}
export E2E_STATION=speed
rounds=${ROUNDS:-3}
seconds=${RUN_SECONDS:-20}

"$here/setup_prefix.sh"
"$here/setup_station.sh" speed
source "$here/lib.sh"
LoadState
trap 'StopWine; StopDisplay; "$here/cleanup_station.sh" speed' EXIT
StartDisplay
StartWineServer
ResetRegistry
CASE_START=$(Now)

# Seconds since boot, in hundredths.
Centi() {
    local up _
    read -r up _ </proc/uptime
    echo "${up/./}"
}

results=$STATION_DIR/speed.txt
: >"$results"
for round in $(seq "$rounds"); do
    for E2E_ARCH in win64 win32; do
        LoadState
        dir=$(SaverDir "speed-$E2E_ARCH")
        start=$(Centi)
        WINEDEBUG=-all,+fps LaunchSaver "$dir" /s
        ExpectSaverWindow
        shown=$(Centi)
        until [ "$(xwd -id "$SAVER_WINDOW" -silent | convert xwd:- -format '%[fx:maxima]' info: 2>/dev/null || echo 0)" != 0 ]; do
            [ $(($(Centi) - start)) -lt $((START_BOUND * 100)) ] || Fail "no frame drawn"
            sleep 0.1
        done
        drawn=$(Centi)
        sleep "$seconds"
        CloseWithSpace "after the run"
        fps=$(grep -o 'total [0-9.]*fps' "$dir/saver.out.err" | tail -n 1 | tr -dc '0-9.')
        awk -v arch="$E2E_ARCH" -v start="$start" -v shown="$shown" -v drawn="$drawn" -v fps="${fps:-0}" \
            'BEGIN { printf "%s %.2f %.2f %s\n", arch, (shown - start) / 100, (drawn - start) / 100, fps }' |
            tee -a "$results"
    done
done
awk '
  function median(list,   n, v, i, j, t) {
    n = split(list, v, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
    return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
  }
  { window[$1] = window[$1] " " $2; frame[$1] = frame[$1] " " $3; fps[$1] = fps[$1] " " $4 }
  END {
    for (a in window) printf "%s: window after %.1f s, first frame after %.1f s, %.1f frames a second (medians)\n", a, median(window[a]), median(frame[a]), median(fps[a])
    printf "32-bit / 64-bit: %.1f x the time to the first frame, %.2f x the frame rate\n", median(frame["win32"]) / median(frame["win64"]), median(fps["win32"]) / median(fps["win64"])
  }' "$results"
