#!/usr/bin/env bash
# The grace period and the screen-saver password of Windows 9x. The saver runs
# from a folder of its own next to a stand-in PASSWORD.CPL that records every
# call in $dir/calls.log and answers from $dir/answer.
#   password_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

PasswordDir() { # name answer(0|1)
    local dir
    dir=$(SaverDir "$1" PASSWORD.CPL)
    echo "$2" >"$dir/answer"
    echo "$dir"
}

StartWithDouble() { # dir
    export SOLVANE_DOUBLE_LOG SOLVANE_PASSWORD_ANSWER_FILE
    SOLVANE_DOUBLE_LOG=$(WinPath "$1/calls.log")
    SOLVANE_PASSWORD_ANSWER_FILE=$(WinPath "$1/answer")
    StartSaver "$1"
}

Calls() { # dir
    [ -f "$1/calls.log" ] || { echo 0; return; }
    grep -c '^VerifyScreenSavePwd' "$1/calls.log"
}

CalledAtLeast() { [ "$(Calls "$1")" -ge "$2" ]; }

# Holds the space bar until the double has been called $2 times in all.
SpaceUntilCalls() { # dir count
    HoldKeyUntil space "$EXIT_BOUND" CalledAtLeast "$1" "$2"
}

UseWindows98() {
    RegAdd "$APP_DEFAULTS_KEY" Version REG_SZ win98
}

# After the grace period a refused password keeps the saver; every further close
# request prompts again; an accepted one lets it close.
Case_refused_then_accepted() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    local dir
    dir=$(PasswordDir refused 0)
    export SOLVANE_PASSWORD_CURSOR_SHIFT=200
    StartWithDouble "$dir"

    SpaceUntilCalls "$dir" 1 || Fail "no password prompt after the grace period"
    StillRunningAfter "$SAVER_PID" 2 || Fail "the saver closed although the password was refused"
    WindowExists '^SaverWindow$' || Fail "SaverWindow gone after a refused password"
    local line
    line=$(head -n 1 "$dir/calls.log" | tr -d '\r')
    Note "first call: $line"
    [[ "$line" == *"title=SaverWindow"* ]] || Fail "the check was not given the saver window: $line"
    [[ "$line" == *"cursor=arrow"* ]] || Fail "the cursor was not the arrow during the prompt: $line"

    # The double moved the pointer 200 pixels during the prompt: that travel must
    # not count, so a small move from there does not prompt again. The saver
    # handles the move before the next key, so an extra prompt would show in the
    # count at the end.
    ParkPointer $((CENTRE_X + 205)) "$CENTRE_Y"
    sleep 1
    [ "$(Calls "$dir")" -eq 1 ] || Fail "a move within the threshold after a prompt prompted again"

    SpaceUntilCalls "$dir" 2 || Fail "a second close request did not prompt again"
    StillRunningAfter "$SAVER_PID" 2 || Fail "the saver closed after a second refusal"

    echo 1 >"$dir/answer"
    SpaceUntilCalls "$dir" 3 || Fail "a third close request did not prompt"
    ExpectSaverExit "after an accepted password"
    [ "$(Calls "$dir")" -eq 3 ] || Fail "expected 3 prompts, got $(Calls "$dir")"
}

# Within the grace period the saver closes without asking. An hour of grace: the
# emulated saver on a busy machine may take minutes from its start to the key.
Case_grace_period_no_prompt() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 3600
    local dir
    dir=$(PasswordDir grace 0)
    StartWithDouble "$dir"
    CloseWithSpace "within the grace period"
    [ "$(Calls "$dir")" -eq 0 ] || Fail "prompted within the grace period"
}

# Windows NT keeps its own password; the saver never asks there.
Case_nt_never_prompts() {
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    local dir
    dir=$(PasswordDir nt 0)
    StartWithDouble "$dir"
    CloseWithSpace "on NT"
    [ "$(Calls "$dir")" -eq 0 ] || Fail "prompted on an NT platform"
}

# Without a password service on Windows 9x the close is allowed.
Case_missing_service_allows_close() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    local dir
    dir=$(SaverDir no-service)
    StartSaver "$dir"
    CloseWithSpace "without PASSWORD.CPL"
}

RunCase "$1"
