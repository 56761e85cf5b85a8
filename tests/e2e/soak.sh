#!/usr/bin/env bash
# The soak run, outside the default test suite: the saver full-screen for ten
# minutes (SOAK_SECONDS) on an Xvfb of its own, its resident memory sampled every
# 10 s (SOAK_INTERVAL). After the first minute the memory must stay flat: the
# mean of the last third of the samples may exceed the mean of the middle third
# by at most 2 MiB or 1 %, whichever is more. A leak grows all the time; a
# one-off step (Mesa meeting a new drawing state for the first time) does not,
# and is shown by the peak and the one-minute figure printed with the summary.
# Prints every sample and a summary; exits 1 if memory grew or the saver ended
# early.
#   tests/e2e/soak.sh        (after the Windows builds, e.g. scripts/test.sh)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
export E2E_WORK=${E2E_WORK:-$root/build/soak}
export E2E_WIN32_DIR=${E2E_WIN32_DIR:-$root/build/win32}
export E2E_WIN64_DIR=${E2E_WIN64_DIR:-$root/build/win64}
export E2E_TILES_SOURCE=${E2E_TILES_SOURCE:-$root/build/native/textures}
seconds=${SOAK_SECONDS:-600}
interval=${SOAK_INTERVAL:-10}

export E2E_GUEST_SHIM=${E2E_GUEST_SHIM:-$root/build/native/tests/e2e/guest_shim.so}
# The 64-bit saver by default: the emulated 32-bit one's memory would be QEMU's too.
export E2E_STATION=soak E2E_ARCH=${E2E_ARCH:-win64}
"$here/setup_prefix.sh"
"$here/setup_station.sh" soak
source "$here/lib.sh"
LoadState
trap 'StopWine; StopDisplay; "$here/cleanup_station.sh" soak' EXIT
StartDisplay
StartWineServer
ResetRegistry
CASE_START=$(Now)
# No fixed moment: the clock runs, the camera spins and the clock text changes.

dir=$(SaverDir soak)
StartSaver "$dir"
Note "soaking $E2E_ARCH saver (pid $SAVER_PID) for $seconds s"

Rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
CpuSeconds() { awk '{ printf "%.1f", ($14 + $15) / 100 }' "/proc/$1/stat" 2>/dev/null; }

samples=$STATION_DIR/soak-samples.txt
echo "# seconds rss_kib cpu_seconds" >"$samples"
start=$SECONDS
oneMinute=""
peak=0
while [ $((SECONDS - start)) -le "$seconds" ]; do
    elapsed=$((SECONDS - start))
    rss=$(Rss "$SAVER_PID")
    [ -n "$rss" ] || Fail "the saver ended after $elapsed s"
    cpu=$(CpuSeconds "$SAVER_PID")
    echo "$elapsed $rss $cpu" | tee -a "$samples"
    if [ "$elapsed" -ge 60 ]; then
        [ -n "$oneMinute" ] || oneMinute=$rss
        [ "$rss" -le "$peak" ] || peak=$rss
    fi
    sleep "$interval"
done

WindowExists '^SaverWindow$' || Fail "SaverWindow gone during the soak"
CloseWithSpace "after the soak"

# Means of the middle and the last third of the samples taken after a minute.
read -r middle last < <(awk '!/^#/ && $1 >= 60 { rss[n++] = $2 }
    END {
        third = int(n / 3)
        if (third == 0) { print "0 0"; exit }
        for (i = third; i < 2 * third; i++) m += rss[i]
        for (i = 2 * third; i < n; i++) l += rss[i]
        printf "%d %d\n", m / third, l / (n - 2 * third)
    }' "$samples")
allowed=$((middle / 100))
[ "$allowed" -ge 2048 ] || allowed=2048
growth=$((last - middle))
echo "soak: RSS at one minute $oneMinute KiB, peak after it $peak KiB;" \
    "mean of the middle third $middle KiB, of the last third $last KiB," \
    "growth $growth KiB (allowed $allowed KiB); samples in $samples"
[ "$growth" -le "$allowed" ] || Fail "memory grew by $growth KiB from the middle to the last third"
echo "PASS soak"
