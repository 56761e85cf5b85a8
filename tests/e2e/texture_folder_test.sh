#!/usr/bin/env bash
# The texture folder: asked for with the open-file dialog when none is stored or
# the stored one lacks the first tile, remembered in HKCU\Software\QMT_kvr, and
# never a crash, whatever the folder holds.
#   texture_folder_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

readonly DIALOG='^Browse for textures path$'

# Starts the saver from its own folder without waiting for its window: the
# dialog comes first.
StartSaverBehindDialog() { # dir
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    (cd "$1" && exec "$WINELOADER" "$1/solvane.scr" /s >"$1/saver.out" 2>"$1/saver.err") &
    SAVER_PID=$!
    Track "$SAVER_PID"
}

# Waits for the folder dialog; answers it with a marker path, or cancels it
# after browsing to a folder (typing a folder and Return opens it).
AnswerDialog() { # marker-unix-path | cancel-in folder-unix-path
    local dialog
    dialog=$(WaitWindow "$DIALOG" 30)
    [ -n "$dialog" ] || Fail "no \"Browse for textures path\" dialog"
    if [ "$1" = cancel-in ]; then
        xdotool windowfocus --sync "$dialog" || Fail "cannot focus the dialog"
        sleep 0.5
        xdotool type --delay 20 "$(WinPath "$2")\\"
        xdotool key Return
        sleep 1
        EscapeDialog "$dialog"
        return
    fi
    xdotool windowfocus --sync "$dialog" || Fail "cannot focus the dialog"
    sleep 0.5
    xdotool type --delay 20 "$(WinPath "$1")"
    xdotool key Return
    WaitWindowGone "$dialog" 10 || Fail "the dialog stayed after it was answered"
}

# The saver shows a coloured globe and ends with 0 on the space bar.
ExpectTexturedGlobeAndClose() { # name
    SAVER_WINDOW=$(WaitWindow '^SaverWindow$' 30)
    [ -n "$SAVER_WINDOW" ] || Fail "no SaverWindow after the dialog"
    sleep 2
    local png=$E2E_WORK/$1.png colour
    Screenshot "$SAVER_WINDOW" "$png"
    colour=$(ColourShare "$png" 300x300+362+234)
    Note "picture: $png, coloured share $colour"
    FloatAbove "$colour" 0.2 || Fail "the globe is not textured (coloured share $colour)"
    ExpectCloseOnSpace
}

ExpectCloseOnSpace() {
    StillRunningAfter "$SAVER_PID" 1 || { WaitExit "$SAVER_PID" 1; Fail "the saver ended by itself: $EXIT_CODE"; }
    PressKey space
    WaitExit "$SAVER_PID" 15
    [ "$EXIT_CODE" = 0 ] || Fail "exit code after the space bar: $EXIT_CODE"
}

StoredFolder() { RegQuery "$APP_KEY" path; }

# A folder of tiles copied from the good set, less the files named.
TileFolder() { # name files-to-leave-out...
    local folder
    folder=$(TestDir "$1-tiles")
    mkdir -p "$folder"
    cp "$E2E_TILES"/[dn][12][1-4].bmp "$E2E_TILES/tex.tex" "$folder/"
    shift
    local name
    for name in "$@"; do rm -f "$folder/$name"; done
    echo "$folder"
}

Case_first_run_asks_and_stores() {
    RegDelete "$APP_KEY"
    local dir
    dir=$(SaverDir folder-first)
    StartSaverBehindDialog "$dir"
    AnswerDialog "$E2E_TILES/tex.tex"
    local stored expected
    stored=$(StoredFolder)
    expected="$(WinPath "$E2E_TILES")\\"
    [ "$stored" = "$expected" ] || Fail "stored folder '$stored', wanted '$expected'"
    ExpectTexturedGlobeAndClose folder-first
    # Remembered: the next start asks nothing.
    StartSaver "$dir"
    ! WindowExists "$DIALOG" || Fail "the dialog came again although a folder was stored"
    ExpectCloseOnSpace
}

Case_stored_folder_without_first_tile_asks_again() {
    local broken good
    broken=$(TileFolder folder-broken d11.bmp)
    good=$(TileFolder folder-good)
    RegAdd "$APP_KEY" path REG_SZ "$(WinPath "$broken")\\"
    local dir
    dir=$(SaverDir folder-again)
    StartSaverBehindDialog "$dir"
    AnswerDialog "$good/tex.tex"
    local stored
    stored=$(StoredFolder)
    [ "$stored" = "$(WinPath "$good")\\" ] || Fail "stored folder '$stored' is not the new one"
    sleep 1
    ! WindowExists "$DIALOG" || Fail "a third dialog came"
    ExpectTexturedGlobeAndClose folder-again
}

# Tiles missing, empty, cut short or not bitmaps at all: the saver runs on.
Case_bad_tiles_do_not_crash() {
    local folder
    folder=$(TileFolder folder-bad d14.bmp n21.bmp n22.bmp n23.bmp n24.bmp)
    : >"$folder/d12.bmp"
    head -c 30 "$E2E_TILES/d13.bmp" >"$folder/d13.bmp"
    head -c 200 "$E2E_TILES/d21.bmp" >"$folder/d21.bmp"
    echo "not a bitmap" >"$folder/n11.bmp"
    RegAdd "$APP_KEY" path REG_SZ "$(WinPath "$folder")\\"
    local dir
    dir=$(SaverDir folder-bad)
    StartSaver "$dir"
    ! WindowExists "$DIALOG" || Fail "a dialog came although d11.bmp loads"
    sleep 3
    ExpectCloseOnSpace
}

# Cancelling the dialog both times leaves the saver running without textures.
# The dialog makes the folder it browsed to the current one; here that folder
# holds good tiles, which a saver without a folder must not take from there.
Case_cancelled_dialogs_do_not_crash() {
    RegDelete "$APP_KEY"
    local dir
    dir=$(SaverDir folder-cancel)
    StartSaverBehindDialog "$dir"
    AnswerDialog cancel-in "$E2E_TILES"
    AnswerDialog cancel-in "$E2E_TILES"
    SAVER_WINDOW=$(WaitWindow '^SaverWindow$' 30)
    [ -n "$SAVER_WINDOW" ] || Fail "no SaverWindow after two cancelled dialogs"
    sleep 3
    local png=$E2E_WORK/folder-cancel.png colour
    Screenshot "$SAVER_WINDOW" "$png"
    colour=$(ColourShare "$png" 300x300+362+234)
    Note "picture: $png, coloured share $colour"
    # Without textures the globe is shaded in one dark grey: any colour there
    # would be stray tiles or memory drawn as a picture.
    FloatAbove 0.05 "$colour" || Fail "colour on an untextured globe (coloured share $colour)"
    ExpectCloseOnSpace
}

RunCase "$1"
