#!/usr/bin/env bash
# Starts an Xorg of our own with the dummy driver on the first free display from
# :200 up, with its RandR outputs placed as monitors, and prints "<display> <pid>".
# Xvfb gives Wine one monitor whatever its heads; Xorg's RandR outputs are monitors
# to Wine (WINE-TESTING.md). Xorg must run as root here: elsewhere, and without the
# dummy driver, it prints why on stderr and exits 77.
#   start_dummy_xorg.sh <layout> <log-file>
# Layouts, in X's coordinates (Windows puts the primary monitor's top left at 0,0):
#   one  the primary, 1024 x 768
#   two  the primary, 1024 x 768 at 1280,0, and a 1280 x 1024 one left of it, so
#        that Windows has it at -1280,0
#   right  the primary, 1024 x 768 at 0,0, and another of its size right of it:
#        monitors changed while a program runs keep the primary at 0,0 in X too
#        (WINE-TESTING.md)
set -uo pipefail
layout=$1 log=$2
if [ "$(id -u)" != 0 ]; then
    echo "Xorg with the dummy driver needs root here" >&2
    exit 77
fi
if [ ! -x /usr/bin/Xorg ] || [ ! -f /usr/lib/xorg/modules/drivers/dummy_drv.so ]; then
    echo "no Xorg dummy driver (xserver-xorg-video-dummy)" >&2
    exit 77
fi
case $layout in
one) monitors=1 ;;
two | right) monitors=2 ;;
*)
    echo "unknown layout $layout" >&2
    exit 2
    ;;
esac

config=$log.conf
cat >"$config" <<'CONFIG'
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 256000
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0-1000.0
    VertRefresh 5.0-200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
CONFIG

for number in $(seq 200 260); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    setsid Xorg ":$number" -noreset -nolisten tcp -config "$config" -logfile "$log" \
        </dev/null >"$log.out" 2>&1 &
    pid=$!
    up=no
    for _ in $(seq 150); do
        if xdpyinfo -display ":$number" >/dev/null 2>&1; then
            up=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.2
    done
    if [ "$up" = no ]; then
        kill "$pid" 2>/dev/null
        continue # another one took the number first
    fi
    export DISPLAY=:$number
    xrandr --output DUMMY0 --mode 1024x768 --primary
    if [ "$layout" = two ]; then
        xrandr --addmode DUMMY1 1280x1024
        xrandr --output DUMMY1 --mode 1280x1024 --left-of DUMMY0
    elif [ "$layout" = right ]; then
        xrandr --addmode DUMMY1 1024x768
        xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0
    fi
    # The question also settles the layout for Wine: started right after the
    # outputs were placed, without it, Wine found one monitor.
    if ! xrandr --listmonitors | grep -q "^Monitors: $monitors\$"; then
        echo "RandR on :$number shows no $monitors monitor(s)" >&2
        kill "$pid"
        exit 1
    fi
    echo ":$number $pid"
    exit 0
done
echo "no Xorg display could be started; see $log" >&2
exit 1
