#!/usr/bin/env bash
# The configuration mode (the About box) and the password change.
#   configure_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

readonly ABOUT='^About Solvane Release 1$'

# Waits for the About box, closes it with Esc and expects the saver to end with 0.
CloseAboutBox() { # pid
    local about
    about=$(WaitWindow "$ABOUT" "$START_BOUND")
    [ -n "$about" ] || Fail "no About box"
    EscapeDialog "$about"
    WaitExit "$1" "$EXIT_BOUND"
    [ "$EXIT_CODE" = 0 ] || Fail "exit code after Esc in the About box: $EXIT_CODE"
}

RunSaverArgs() { # dir args...
    local dir=$1
    shift
    StartWindows "$E2E_ARCH" "$dir" "$dir/out" "$dir/solvane.scr" "$@"
}

Case_about_without_argument() {
    local dir
    dir=$(SaverDir about-plain)
    RunSaverArgs "$dir"
    CloseAboutBox "$LAST_PID"
}

Case_about_configure_switch() {
    local dir
    dir=$(SaverDir about-c)
    RunSaverArgs "$dir" /c
    CloseAboutBox "$LAST_PID"
}

# "/c:<handle>": the About box belongs to the given window (Wine marks an owned
# window as transient for its owner's X window).
Case_about_owned_by_handle() {
    local dir
    dir=$(SaverDir about-owned)
    StartHelper "$dir/host.out" preview_host.exe "$(WinPath "$dir/solvane.scr")" '/c:%llu' 400 300 "$((START_BOUND * 1000))"
    local hostPid=$LAST_PID
    local hostWindow about
    hostWindow=$(WaitWindow '^Solvane preview host$' "$START_BOUND")
    about=$(WaitWindow "$ABOUT" "$START_BOUND")
    [ -n "$about" ] || Fail "no About box for /c:<handle>"
    local owner
    owner=$(xprop -id "$about" WM_TRANSIENT_FOR 2>/dev/null | awk '{ print $NF }')
    Note "About box transient for $owner, host window $(printf '0x%x' "$hostWindow")"
    [ "$((owner))" = "$hostWindow" ] || Fail "the About box is not owned by the host window"
    EscapeDialog "$about"
    WaitExit "$hostPid" "$START_BOUND"
    tr -d '\r' <"$dir/host.out" | grep -qx 'saver-exit 0' ||
        Fail "the saver did not end with 0: $(tr '\n' ';' <"$dir/host.out")"
}

# Wine has an MPR.DLL whose PwdChangePasswordA does nothing; switched off, the
# service is missing, and the saver ends quietly.
Case_change_password_missing_service() {
    local dir
    dir=$(SaverDir change-missing)
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=" RunSaverArgs "$dir" /a 1234
    WaitExit "$LAST_PID" "$START_BOUND"
    [ "$EXIT_CODE" = 0 ] || Fail "/a without the service: exit $EXIT_CODE"
}

# With the stand-in MPR.DLL in the system folder, in place of Wine's and preferred
# to it, it is called once with the key "SCRSAVE" and the owner from the command
# line, reserved arguments zero.
Case_change_password_calls_service() {
    local dir
    dir=$(SaverDir change-double)
    InstallSystemDouble MPR.DLL
    export SOLVANE_DOUBLE_LOG
    SOLVANE_DOUBLE_LOG=$(WinPath "$dir/calls.log")
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n" RunSaverArgs "$dir" /a:4242
    WaitExit "$LAST_PID" "$START_BOUND"
    [ "$EXIT_CODE" = 0 ] || Fail "/a:4242: exit $EXIT_CODE"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n" RunSaverArgs "$dir" -A
    WaitExit "$LAST_PID" "$START_BOUND"
    [ "$EXIT_CODE" = 0 ] || Fail "-A: exit $EXIT_CODE"
    local calls
    calls=$(tr -d '\r' <"$dir/calls.log" 2>/dev/null || true)
    Note "calls: $(echo "$calls" | tr '\n' ';')"
    [ "$calls" = "PwdChangePasswordA key=SCRSAVE owner=4242 reserved1=0 reserved2=0
PwdChangePasswordA key=SCRSAVE owner=0 reserved1=0 reserved2=0" ] ||
        Fail "unexpected calls of PwdChangePasswordA"
}

RunCase "$1"
