#!/usr/bin/env bash
# Command lines as the system passes them, program name included, each started
# with exactly that text by e2e_helper (CreateProcessA), and the mode each gives:
# nothing at all, the Settings dialog, or the saver. Every one ends with exit code 0.
#   command_line_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# Starts the saver with the exact command line (printf format; %s is the
# saver's Windows path) and checks the outcome.
Expect() { # outcome(none|settings|saver) format
    local outcome=$1 format=$2
    local line
    # shellcheck disable=SC2059
    line=$(printf "$format" "$PROGRAM")
    printf '%s' "$line" >"$DIR/command-line"
    Note "$outcome <- [${line//$'\t'/<TAB>}]"
    StartHelper "$DIR/helper.out" e2e_helper.exe run "$PROGRAM" "$(WinPath "$DIR/command-line")" 60000
    local pid=$LAST_PID
    case $outcome in
    none)
        ExpectExit "$pid" "$START_BOUND" 0 "$(printf '%q' "$line") (no window wanted)"
        ! WindowExists '^SaverWindow$' && ! WindowExists '^Solvane Settings$' ||
            Fail "$(printf '%q' "$line") left a window"
        ;;
    settings)
        local settings
        settings=$(ExpectWindow '^Solvane Settings$' "$START_BOUND" "Settings dialog for $(printf '%q' "$line")")
        EscapeDialog "$settings"
        ExpectExit "$pid" "$START_BOUND" 0 "$(printf '%q' "$line") after the Settings dialog"
        ;;
    saver)
        ExpectWindow '^SaverWindow$' "$START_BOUND" "SaverWindow for $(printf '%q' "$line")" >/dev/null
        HoldKeyUntil space "$EXIT_BOUND" SaverWindowGone || true
        ExpectExit "$pid" "$START_BOUND" 0 "$(printf '%q' "$line") after the space bar"
        ;;
    esac
    grep -q '^exit 0' "$DIR/helper.out" || Fail "$(printf '%q' "$line"): helper saw $(cat "$DIR/helper.out")"
}

Setup() {
    DIR=$(SaverDir "$1")
    PROGRAM=$(WinPath "$DIR/solvane.scr")
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
}

# Switches that choose no mode: nothing runs.
Case_unknown_switches() {
    Setup cl-unknown
    Expect none '"%s" /x'
    Expect none '"%s" -'
    Expect none '"%s" /'
    Expect none '"%s" / s'
    Expect none '"%s" //s'
}

# How the program-name part is skipped: quotes, tabs, spaces.
Case_program_name() {
    Setup cl-name
    # A tab does not separate: after a quoted name it is taken as the switch.
    Expect none '"%s"\t/s'
    # After an unquoted name it is part of the name, and no switch is left.
    Expect settings '%s\t/s'
    # An unclosed quote swallows the whole line.
    Expect settings '"%s /s'
    # An unquoted path with a space, not the saver's own, leaves the rest of the path
    # as the switch.
    Expect none 'Z:\\test folder\\solvane.scr /s'
    Expect settings '"%s"   '
    Expect settings '%s'
    # The saver's own path unquoted, spaces and all, as the system starts the screen
    # saver where the volume keeps no 8.3 names, is skipped whole.
    Setup "cl name with spaces"
    Expect saver '%s /s'
}

# A switch written as a word that begins with "s", and "c" with nothing after it
# but ":" (the Settings dialog then belongs to whatever is in front).
Case_words_and_separators() {
    Setup cl-words
    Expect saver '"%s" -saver'
    Expect settings '"%s" /c:'
}

RunCase "$1"
