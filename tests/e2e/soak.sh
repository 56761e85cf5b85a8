#!/usr/bin/env bash
# The soak run, outside the default test suite: the saver full-screen for ten
# minutes (SOAK_SECONDS) on an Xvfb of its own, drawing once a second, its resident
# memory, kernel handles and windows sampled every 10 s (SOAK_INTERVAL; the counts
# from windows/dpi_probe.c: Wine answers GetGuiResources with 0, so GDI objects
# cannot be counted here). After the first minute memory and counts must stay flat:
# the mean of the last third of the samples may exceed the mean of the middle third
# by at most 2 MiB or 1 % of memory, whichever is more, and by at most one handle
# or window. A leak grows all the time; a one-off step (Mesa meeting a new drawing
# state for the first time) does not, and is shown by the peak and the one-minute
# figure printed with the summary. At the end the clock's text must show the time
# of the moment it is looked at. Prints every sample and a summary; exits 1 if
# anything grew, the clock was wrong or the saver ended early.
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
export E2E_SNAPSHOT=${E2E_SNAPSHOT:-$root/build/native/tools/snapshot/solvane-snapshot}
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
# No fixed moment: the clock runs, the camera spins and the clock text changes. In
# UTC, so that the oracle of the end knows the saver's local time.
export TZ=UTC

dir=$(SaverDir soak)
StartSaver "$dir"
Note "soaking $E2E_ARCH saver (pid $SAVER_PID) for $seconds s"

Rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
CpuSeconds() { awk '{ printf "%.1f", ($14 + $15) / 100 }' "/proc/$1/stat" 2>/dev/null; }

# The saver's kernel handles and windows.
Counts() {
    ProbeSaverWindow "$dir/probe.txt"
    awk '$1 == "handles" { h = $2 } $1 == "windows" { w = $2 } END { print h, w }' "$dir/probe.txt"
}

samples=$STATION_DIR/soak-samples.txt
echo "# seconds rss_kib cpu_seconds handles windows" >"$samples"
start=$SECONDS
oneMinute=""
peak=0
while [ $((SECONDS - start)) -le "$seconds" ]; do
    elapsed=$((SECONDS - start))
    rss=$(Rss "$SAVER_PID")
    [ -n "$rss" ] || Fail "the saver ended after $elapsed s"
    cpu=$(CpuSeconds "$SAVER_PID")
    echo "$elapsed $rss $cpu $(Counts)" | tee -a "$samples"
    if [ "$elapsed" -ge 60 ]; then
        [ -n "$oneMinute" ] || oneMinute=$rss
        [ "$rss" -le "$peak" ] || peak=$rss
    fi
    sleep "$interval"
done

WindowExists '^SaverWindow$' || Fail "SaverWindow gone during the soak"

# The clock's text against the oracle's of the second it is looked at, taken well
# inside that second, so the saver has drawn it.
clockRight=no
for try in 1 2 3 4 5 6 7 8 9 10; do
    before=$(date -u +%s%3N)
    Screenshot "$SAVER_WINDOW" "$dir/clock.png" "$CLOCK_AREA" || Fail "no picture of the saver"
    after=$(date -u +%s%3N)
    if [ $((before / 1000)) = $((after / 1000)) ] && [ $((before % 1000)) -ge 100 ]; then
        AtMoment "$(date -u -d "@$((before / 1000))" +%Y-%m-%dT%H:%M:%SZ)" UTC
        OraclePicture "$dir/clock-oracle.png" "$E2E_TILES"
        convert "$dir/clock-oracle.png" -crop "$CLOCK_AREA" +repage "$dir/clock-oracle-area.png"
        MismatchMask "$dir/clock.png" "$dir/clock-oracle-area.png" "$dir/clock-mismatch.png"
        if [ "$(WhitePixels "$dir/clock-mismatch.png")" -le "$ORACLE_MAX_MISMATCH" ]; then
            clockRight=$MOMENT_UTC
            break
        fi
    fi
    sleep 0.3
done
[ "$clockRight" != no ] || Fail "the clock's text is not the time: $dir/clock.png"
CloseWithSpace "after the soak"

# Means of a column over the middle and the last third of the samples after a minute.
Thirds() { # column
    awk -v c="$1" '!/^#/ && $1 >= 60 { v[n++] = $c }
        END {
            third = int(n / 3)
            if (third == 0) { print "0 0"; exit }
            for (i = third; i < 2 * third; i++) m += v[i]
            for (i = 2 * third; i < n; i++) l += v[i]
            printf "%d %d\n", m / third, l / (n - 2 * third)
        }' "$samples"
}
read -r middle last < <(Thirds 2)
allowed=$((middle / 100))
[ "$allowed" -ge 2048 ] || allowed=2048
growth=$((last - middle))
read -r handlesMiddle handlesLast < <(Thirds 4)
read -r windowsMiddle windowsLast < <(Thirds 5)
echo "soak: RSS at one minute $oneMinute KiB, peak after it $peak KiB;" \
    "mean of the middle third $middle KiB, of the last third $last KiB," \
    "growth $growth KiB (allowed $allowed KiB); handles $handlesMiddle then $handlesLast," \
    "windows $windowsMiddle then $windowsLast; clock right at $clockRight; samples in $samples"
[ "$growth" -le "$allowed" ] || Fail "memory grew by $growth KiB from the middle to the last third"
[ $((handlesLast - handlesMiddle)) -le 1 ] || Fail "handles grew: $handlesMiddle, then $handlesLast"
[ $((windowsLast - windowsMiddle)) -le 1 ] || Fail "windows grew: $windowsMiddle, then $windowsLast"
echo "PASS soak"
