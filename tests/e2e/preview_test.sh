#!/usr/bin/env bash
# The preview: the saver draws into a child of a host window whose handle it
# is given, and ends when the host destroys that window.
#   preview_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# Runs the preview host with a switch format and checks its report.
PreviewRun() { # name switch-format
    local dir
    dir=$(SaverDir "$1")
    # Wine's wgl trace, inherited by the saver from the host, shows the frames
    # the preview swaps (see the end of this function).
    WINEDEBUG=-all,+wgl StartWine "$dir/host.out" "$E2E_WINDOWS_DIR/preview_host.exe" "$(WinPath "$dir/solvane.scr")" \
        "$2" 400 300 4000
    local hostPid=$LAST_PID
    local hostWindow
    hostWindow=$(WaitWindow '^Solvane preview host$' 20)
    [ -n "$hostWindow" ] || Fail "no preview host window"

    WaitExit "$hostPid" 40
    [ "$EXIT_CODE" = 0 ] || Fail "preview host ended with $EXIT_CODE: $(cat "$dir/host.out.err")"
    local report
    report=$(tr -d '\r' <"$dir/host.out")
    Note "host report: $(echo "$report" | tr '\n' ';')"
    local hostSize childLine
    hostSize=$(echo "$report" | awk '$1 == "host" { print $2 "x" $3 }')
    childLine=$(echo "$report" | awk '$1 == "child"')
    [ "$childLine" != "child none" ] && [ -n "$childLine" ] || Fail "no child window in the host"
    read -r _ childX childY childWidth childHeight <<<"$childLine"
    [ "$childX $childY" = "0 0" ] || Fail "child at $childX,$childY, not 0,0 of the host's client area"
    [ "${childWidth}x$childHeight" = "$hostSize" ] ||
        Fail "child is ${childWidth}x$childHeight, host window is $hostSize"
    echo "$report" | grep -qx 'saver-exit 0' || Fail "the saver did not end with 0 when the host went"

    # Under Wine on Xvfb the picture of a child window that another process draws
    # with OpenGL does not reach the screen (a screenshot shows the host's own
    # background, on the root window too), so count the frames instead.
    local swaps
    swaps=$(grep -c 'wglSwapBuffers' "$dir/host.out.err" || true)
    Note "preview frames swapped: $swaps"
    [ "$swaps" -ge 5 ] || Fail "the preview drew $swaps frames in 4 s"
}

Case_handle_after_space() { PreviewRun preview-space '/p %llu'; }
Case_handle_after_colon() { PreviewRun preview-colon '-l:%llu'; }

# No handle: the child cannot be made, and the saver ends quietly, whichever way
# the preview switch is written.
Case_no_handle() {
    local dir switch pid
    dir=$(SaverDir preview-none)
    for switch in /p -P; do
        (cd "$dir" && exec "$WINELOADER" "$dir/solvane.scr" "$switch" >"$dir/out" 2>"$dir/err") &
        pid=$!
        Track "$pid"
        WaitExit "$pid" 20
        [ "$EXIT_CODE" = 0 ] || Fail "$switch without a handle: exit $EXIT_CODE"
        ! WindowExists '^(Error|SaverWindow)$' || Fail "a window came up for $switch without a handle"
    done
}

RunCase "$1"
