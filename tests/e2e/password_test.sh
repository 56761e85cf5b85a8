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

# Waits up to 10 s for the double to have been called $2 times.
WaitCalls() { # dir count
    local deadline=$((SECONDS + 10))
    while [ "$(Calls "$1")" -lt "$2" ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
    [ "$(Calls "$1")" -ge "$2" ]
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
    sleep 1

    PressKey space
    WaitCalls "$dir" 1 || Fail "no password prompt after the grace period"
    StillRunningAfter "$SAVER_PID" 2 || Fail "the saver closed although the password was refused"
    WindowExists '^SaverWindow$' || Fail "SaverWindow gone after a refused password"
    local line
    line=$(head -n 1 "$dir/calls.log" | tr -d '\r')
    Note "first call: $line"
    [[ "$line" == *"title=SaverWindow"* ]] || Fail "the check was not given the saver window: $line"
    [[ "$line" == *"cursor=arrow"* ]] || Fail "the cursor was not the arrow during the prompt: $line"

    # The double moved the pointer 200 pixels during the prompt: that travel must
    # not count, so a small move from there does not prompt again.
    ParkPointer $((CENTRE_X + 205)) "$CENTRE_Y"
    sleep 1
    [ "$(Calls "$dir")" -eq 1 ] || Fail "a move within the threshold after a prompt prompted again"

    PressKey space
    WaitCalls "$dir" 2 || Fail "a second close request did not prompt again"
    StillRunningAfter "$SAVER_PID" 2 || Fail "the saver closed after a second refusal"

    echo 1 >"$dir/answer"
    PressKey space
    WaitCalls "$dir" 3 || Fail "a third close request did not prompt"
    WaitExit "$SAVER_PID" 15
    [ "$EXIT_CODE" = 0 ] || Fail "exit code after an accepted password: $EXIT_CODE"
    [ "$(Calls "$dir")" -eq 3 ] || Fail "expected 3 prompts, got $(Calls "$dir")"
}

# Within the grace period the saver closes without asking.
Case_grace_period_no_prompt() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 60
    local dir
    dir=$(PasswordDir grace 0)
    StartWithDouble "$dir"
    sleep 1
    CloseWithSpace "within the grace period"
    [ "$(Calls "$dir")" -eq 0 ] || Fail "prompted within the grace period"
}

# Windows NT keeps its own password; the saver never asks there.
Case_nt_never_prompts() {
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    local dir
    dir=$(PasswordDir nt 0)
    StartWithDouble "$dir"
    sleep 1
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
    sleep 1
    CloseWithSpace "without PASSWORD.CPL"
}

RunCase "$1"
