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
    # Wine's wgl trace, inherited by the saver from the host, shows the frames the
    # preview swaps: under Wine on Xvfb the picture of a child window that another
    # process draws with OpenGL does not reach the screen (a screenshot shows the
    # host's own background, on the root window too), so the frames are counted.
    # The clock stands, so the saver draws the first frame and the aligned one, and
    # then sleeps: the host holds the preview until the two are swapped and two
    # seconds more, then destroys it.
    local stop=$dir/stop
    WINEDEBUG=-all,+wgl StartHelper "$dir/host.out" preview_host.exe "$(WinPath "$dir/solvane.scr")" \
        "$2" 400 300 "$((START_BOUND * 1000))" "$(WinPath "$stop")"
    local hostPid=$LAST_PID
    ExpectWindow '^Solvane preview host$' "$START_BOUND" "preview host window" >/dev/null
    local swaps=0 drawn
    Swapped() {
        swaps=$(grep -c 'wglSwapBuffers' "$dir/host.out.err" || true)
        [ "$swaps" -ge 2 ] || Ended "$hostPid"
    }
    POLL=0.5 WaitUntil "$START_BOUND" Swapped || true
    sleep 2
    drawn=$(grep -c 'wglSwapBuffers' "$dir/host.out.err" || true)
    Note "preview frames swapped: $swaps, and two seconds later $drawn"
    : >"$stop"

    ExpectExit "$hostPid" "$START_BOUND" 0 "the preview host" "$dir/host.out.err" any
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
    [ "$swaps" -ge 2 ] || Fail "the preview swapped $swaps frames, not 2"
    # A paint may ask for one more; a loop that kept drawing would have swapped dozens.
    [ "$drawn" -le 4 ] || Fail "the preview went on drawing a still picture: $drawn frames"
}

Case_handle_after_space() { PreviewRun preview-space '/p %llu'; }
Case_handle_after_colon() { PreviewRun preview-colon '-l:%llu'; }

# No handle: the child cannot be made, and the saver ends quietly, whichever way
# the preview switch is written.
Case_no_handle() {
    local dir switch
    dir=$(SaverDir preview-none)
    for switch in /p -P; do
        StartWindows "$E2E_ARCH" "$dir" "$dir/out" "$dir/solvane.scr" "$switch"
        ExpectExit "$LAST_PID" "$START_BOUND" 0 "$switch without a handle"
        ! WindowExists '^(Error|SaverWindow)$' || Fail "a window came up for $switch without a handle"
    done
}

RunCase "$1"
