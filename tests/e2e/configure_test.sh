#!/usr/bin/env bash
# The configuration mode (the Settings dialog and its About box) and the password
# change.
#   configure_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

readonly SETTINGS='^Solvane Settings$'
readonly ABOUT='^About Solvane Release 1$'

# Waits for the Settings dialog and gives it the keyboard; sets SETTINGS_WINDOW.
AwaitSettings() { # when
    SETTINGS_WINDOW=$(ExpectWindow "$SETTINGS" "$START_BOUND" "Settings dialog $1")
    FocusWindow "$SETTINGS_WINDOW"
}

# Presses a key in the Settings dialog and waits for the window it opens.
OpenFromSettings() { # key pattern what
    xdotool key "$1"
    ExpectWindow "$2" "$START_BOUND" "$3 after $1 in the Settings dialog"
}

# The saver's key as reg prints it, every value included.
AppKeyState() { { Wine reg query "$APP_KEY" 2>/dev/null || true; } | tr -d '\r'; }

RunSaverArgs() { # dir args...
    local dir=$1
    shift
    StartWindows "$E2E_ARCH" "$dir" "$dir/out" "$dir/solvane.scr" "$@"
}

# Without an argument: the keyboard turns the clock off and picks the main monitor
# alone, Return is OK; the next saver draws the picture without the clock.
Case_settings_without_argument() {
    local dir
    dir=$(SaverDir settings-plain)
    RunSaverArgs "$dir"
    local settingsPid=$LAST_PID
    AwaitSettings "without an argument"
    xdotool key alt+d alt+m Return
    ExpectExit "$settingsPid" "$EXIT_BOUND" 0 "the settings after OK"
    [ "$(RegQuery "$APP_KEY" ShowClock)" = 0x0 ] || Fail "ShowClock is not stored as 0"
    [ "$(RegQuery "$APP_KEY" Monitors)" = 0x2 ] || Fail "Monitors is not stored as 2"
    [ "$(RegQuery "$APP_KEY" path)" = "$(WinPath "$E2E_TILES")\\" ] ||
        Fail "the texture folder changed without a pick"
    ORACLE_OPTIONS=(--no-clock)
    StartSaver "$dir"
    ExpectOracle settings-no-clock
    CloseWithSpace "after the saver without its clock"
}

# "/c": the About button opens today's About box over the dialog; after changes,
# Esc closes the dialog and the registry stays as it was.
Case_settings_configure_switch() {
    local dir before
    dir=$(SaverDir settings-c)
    before=$(AppKeyState)
    RunSaverArgs "$dir" /c
    local settingsPid=$LAST_PID
    AwaitSettings "for /c"
    local about
    about=$(OpenFromSettings alt+a "$ABOUT" "About box")
    EscapeDialog "$about"
    WindowExists "$SETTINGS" || Fail "Esc in the About box closed the Settings dialog too"
    FocusWindow "$SETTINGS_WINDOW"
    xdotool key alt+d alt+o
    EscapeDialog "$SETTINGS_WINDOW"
    ExpectExit "$settingsPid" "$EXIT_BOUND" 0 "the settings after Esc"
    [ "$(AppKeyState)" = "$before" ] || Fail "Esc changed the registry: $(AppKeyState)"
}

# Answers the folder picker with a folder typed as a Windows path.
AnswerFolderPicker() { # windows-path
    local picker
    picker=$(OpenFromSettings alt+b '^Choose the texture folder$' "folder picker")
    FocusWindow "$picker"
    xdotool type --delay 20 "$1"
    xdotool key Return
    WaitWindowGone "$picker" "$EXIT_BOUND" || Fail "the folder picker stayed after it was answered"
}

# "/c:<handle>": the dialog belongs to the given window (Wine marks an owned window
# as transient for its owner's X window). Browse refuses a folder short of tiles
# with a message, takes a whole one, and OK stores it.
Case_settings_owned_by_handle() {
    local tiles=$WINEPREFIX/drive_c/tiles
    rm -rf "$tiles/partial" "$tiles/whole"
    cp -r "$tiles/default" "$tiles/whole"
    cp -r "$tiles/default" "$tiles/partial"
    rm "$tiles/partial/d12.bmp"
    local dir
    dir=$(SaverDir settings-owned)
    StartHelper "$dir/host.out" preview_host.exe "$(WinPath "$dir/solvane.scr")" '/c:%llu' 400 300 "$((START_BOUND * 1000))"
    local hostPid=$LAST_PID
    local hostWindow
    hostWindow=$(WaitWindow '^Solvane preview host$' "$START_BOUND")
    AwaitSettings "for /c:<handle>"
    local owner
    owner=$(xprop -id "$SETTINGS_WINDOW" WM_TRANSIENT_FOR 2>/dev/null | awk '{ print $NF }')
    Note "Settings transient for $owner, host window $(printf '0x%x' "$hostWindow")"
    [ "$((owner))" = "$hostWindow" ] || Fail "the Settings dialog is not owned by the host window"
    AnswerFolderPicker 'C:\tiles\partial'
    local message
    message=$(ExpectWindow '^Solvane$' "$START_BOUND" "message refusing the folder without d12.bmp")
    FocusWindow "$message"
    xdotool key Return
    WaitWindowGone "$message" "$EXIT_BOUND" || Fail "the message stayed"
    FocusWindow "$SETTINGS_WINDOW"
    AnswerFolderPicker 'C:\tiles\whole'
    # The dialog has taken the picked folder once it has the keyboard back; then
    # Return is OK.
    FocusWindow "$SETTINGS_WINDOW"
    xdotool key Return
    WaitExit "$hostPid" "$START_BOUND"
    [ "$(RegQuery "$APP_KEY" path)" = 'C:\tiles\whole\' ] || Fail "OK did not store the picked folder"
    tr -d '\r' <"$dir/host.out" | grep -qx 'saver-exit 0' ||
        Fail "the saver did not end with 0: $(tr '\n' ';' <"$dir/host.out")"
}

# Wine has an MPR.DLL whose PwdChangePasswordA does nothing; switched off, the
# service is missing, and the saver ends quietly.
Case_change_password_missing_service() {
    local dir
    dir=$(SaverDir change-missing)
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=" RunSaverArgs "$dir" /a 1234
    ExpectExit "$LAST_PID" "$START_BOUND" 0 "/a without the service"
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
    ExpectExit "$LAST_PID" "$START_BOUND" 0 "/a:4242"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;mpr=n" RunSaverArgs "$dir" -A
    ExpectExit "$LAST_PID" "$START_BOUND" 0 "-A"
    local calls
    calls=$(tr -d '\r' <"$dir/calls.log" 2>/dev/null || true)
    Note "calls: $(echo "$calls" | tr '\n' ';')"
    [ "$calls" = "PwdChangePasswordA key=SCRSAVE owner=4242 reserved1=0 reserved2=0
PwdChangePasswordA key=SCRSAVE owner=0 reserved1=0 reserved2=0" ] ||
        Fail "unexpected calls of PwdChangePasswordA"
}

RunCase "$1"
