#!/usr/bin/env bash
# The grace period and the screen-saver password of Windows 9x. The saver runs
# from a folder of its own, with a stand-in PASSWORD.CPL in the system folder, where
# Windows 9x kept the real one, that records every call in $dir/calls.log and
# answers from $dir/answer. Libraries of those names planted beside the saver are
# never loaded.
#   password_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

PasswordDir() { # name answer(0|1) [planted-double...]
    local dir
    dir=$(SaverDir "$1" "${@:3}")
    echo "$2" >"$dir/answer"
    echo "$dir"
}

# The doubles' calls and loads go to the case folder.
LogDoubles() { # dir
    export SOLVANE_DOUBLE_LOG SOLVANE_PASSWORD_ANSWER_FILE SOLVANE_DOUBLE_LOAD_LOG
    SOLVANE_DOUBLE_LOG=$(WinPath "$1/calls.log")
    SOLVANE_PASSWORD_ANSWER_FILE=$(WinPath "$1/answer")
    SOLVANE_DOUBLE_LOAD_LOG=$(WinPath "$1/loads.log")
}

StartWithDouble() { # dir
    InstallSystemDouble PASSWORD.CPL
    LogDoubles "$1"
    StartSaver "$1"
}

# A double's load from the system folder, as it writes it in loads.log.
readonly SYSTEM_LOAD='^loaded C:\\windows\\(system32|syswow64)\\'

# Fails if a double was loaded from anywhere but the system folder.
ExpectNothingPlantedLoaded() { # dir
    local planted
    [ -f "$1/loads.log" ] || return 0
    planted=$(grep -viE "$SYSTEM_LOAD" "$1/loads.log" || true)
    [ -z "$planted" ] || Fail "a library planted beside the saver was loaded: $planted"
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
    grep -qiE "$SYSTEM_LOAD"'password\.cpl$' "$dir/loads.log" ||
        Fail "the double was not loaded from the system folder: $(cat "$dir/loads.log")"
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

# Without a password service on Windows 9x the close is allowed. One planted beside
# the saver, preferred by Wine over its own and refusing every password, is not the
# system's service: it is never loaded.
Case_missing_service_allows_close() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    local dir
    dir=$(PasswordDir no-service 0 PASSWORD.CPL)
    LogDoubles "$dir"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;password.cpl=n" StartSaver "$dir"
    CloseWithSpace "without PASSWORD.CPL in the system folder"
    [ "$(Calls "$dir")" -eq 0 ] || Fail "the planted PASSWORD.CPL was asked"
    ExpectNothingPlantedLoaded "$dir"
}

# A downloaded saver started from a folder that also holds libraries named as the
# ones it loads (the password services, the open-file dialog, OpenGL and GLU), each
# preferred by Wine over its own: it takes the system's. The planted ones would
# log their loading; the dialog and the picture come from the system and work.
Case_planted_libraries_ignored() {
    UseWindows98
    RegAdd "$SCREEN_SAVERS_KEY" "Password Delay" REG_DWORD 0
    RegDelete "$APP_KEY"
    local dir name
    dir=$(PasswordDir planted 0 PASSWORD.CPL MPR.DLL)
    for name in comdlg32 opengl32 glu32; do cp "$E2E_DOUBLES/PASSWORD.CPL" "$dir/$name.dll"; done
    LogDoubles "$dir"
    export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;password.cpl,mpr,comdlg32,opengl32,glu32=n,b"
    LaunchSaver "$dir" /s
    AnswerFolderDialog "$E2E_TILES/tex.tex"
    ExpectSaverWindow
    ExpectOracle planted
    CloseWithSpace "with planted libraries beside it"
    StartWindows "$E2E_ARCH" "$dir" "$dir/change.out" "$dir/solvane.scr" /a
    ExpectExit "$LAST_PID" "$START_BOUND" 0 "/a with planted libraries"
    [ ! -s "$dir/calls.log" ] || Fail "a planted library was called: $(cat "$dir/calls.log")"
    ExpectNothingPlantedLoaded "$dir"
}

RunCase "$1"
