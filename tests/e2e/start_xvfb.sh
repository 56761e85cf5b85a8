#!/usr/bin/env bash
# Starts an Xvfb of our own on the first free display from :90 up, in its own
# session so that nobody's terminal or test runner waits on it, and prints
# "<display> <pid>". Display numbers are taken away from the usual :0 and :1.
# Several of these may run at once (stations set up side by side, other users of
# the machine): a display is ours only once its lock file names our Xvfb.
#   start_xvfb.sh <log-file> [<size, default 1024x768> [<more Xvfb arguments>...]]
set -uo pipefail
log=$1
size=${2:-1024x768}
shift $(($# < 2 ? $# : 2))
for number in $(seq 90 160); do
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    # No auto-repeat: a key held while the machine is slow must stay one key press.
    setsid Xvfb ":$number" -screen 0 "${size}x24" +extension GLX -nolisten tcp -r "$@" \
        </dev/null >"$log" 2>&1 &
    pid=$!
    for _ in $(seq 100); do
        # Another Xvfb that won the number makes ours give up.
        kill -0 "$pid" 2>/dev/null || break
        if [ "$({ tr -d ' ' <"/tmp/.X$number-lock"; } 2>/dev/null)" = "$pid" ] &&
            xdpyinfo -display ":$number" >/dev/null 2>&1; then
            echo ":$number $pid"
            exit 0
        fi
        sleep 0.1
    done
    kill "$pid" 2>/dev/null
done
echo "no Xvfb display could be started; see $log" >&2
exit 1
