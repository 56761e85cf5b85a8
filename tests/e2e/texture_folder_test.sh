#!/usr/bin/env bash
# The texture folder: asked for with the open-file dialog when none is stored or
# the stored one lacks the first tile, remembered in HKCU\Software\QMT_kvr, and
# never a crash, whatever the folder holds.
#   texture_folder_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/lib.sh"

# The saver shows the globe with the tiles of the folder (the oracle's picture)
# and ends with 0 on the space bar. Its window shows once the set-up, dialogs
# included, is over: no dialog may be left then.
ExpectTexturedGlobeAndClose() { # name tiles
    ExpectSaverWindow
    ! WindowExists "$FOLDER_DIALOG" || Fail "a dialog is open beside the saver"
    ExpectOracle "$1" "$2"
    ExpectCloseOnSpace
}

ExpectCloseOnSpace() {
    StillRunningAfter "$SAVER_PID" 1 || { WaitExit "$SAVER_PID" 1; Fail "the saver ended by itself: $EXIT_CODE"; }
    CloseWithSpace "after the space bar"
}

# A folder of tiles copied from the good set, less the files named; on the C:
# drive, next to the good set, so that its path stays short.
Tiles() { TileFolder "$WINEPREFIX/drive_c/tiles/$1" "$E2E_TILES" "${@:2}"; }

Case_first_run_asks_and_stores() {
    RegDelete "$APP_KEY"
    local dir
    dir=$(SaverDir folder-first)
    LaunchSaver "$dir" /s
    AnswerFolderDialog "$E2E_TILES/tex.tex"
    ExpectStoredFolder "$(WinPath "$E2E_TILES")\\"
    ExpectTexturedGlobeAndClose folder-first "$E2E_TILES"
    # Remembered: the next start asks nothing.
    LaunchSaver "$dir" /s
    ExpectSaverWindowAskingNothing
    ExpectCloseOnSpace
}

Case_stored_folder_without_first_tile_asks_again() {
    local broken good
    broken=$(Tiles broken d11.bmp)
    good=$(Tiles good)
    RegAdd "$APP_KEY" path REG_SZ "$(WinPath "$broken")\\"
    local dir
    dir=$(SaverDir folder-again)
    LaunchSaver "$dir" /s
    AnswerFolderDialog "$good/tex.tex"
    ExpectStoredFolder "$(WinPath "$good")\\"
    ExpectTexturedGlobeAndClose folder-again "$good"
}

# Tiles missing, empty, cut short, not bitmaps at all or wider than any GL takes:
# the saver runs on, and names the one too wide, with the GL's limit, on its
# standard error.
Case_bad_tiles_do_not_crash() {
    local folder
    folder=$(Tiles bad d14.bmp n21.bmp n22.bmp n23.bmp n24.bmp)
    : >"$folder/d12.bmp"
    head -c 30 "$E2E_TILES/d13.bmp" >"$folder/d13.bmp"
    head -c 200 "$E2E_TILES/d21.bmp" >"$folder/d21.bmp"
    echo "not a bitmap" >"$folder/n11.bmp"
    # 32768 x 1 black pixels, 24-bit.
    perl -e 'my $n = 32768 * 3; print pack("a2 V v v V V l l v v V V l l V V", "BM",
        54 + $n, 0, 0, 54, 40, 32768, 1, 1, 24, 0, $n, 0, 0, 0, 0), "\0" x $n' >"$folder/d22.bmp"
    RegAdd "$APP_KEY" path REG_SZ "$(WinPath "$folder")\\"
    local dir
    dir=$(SaverDir folder-bad)
    LaunchSaver "$dir" /s
    ExpectSaverWindowAskingNothing
    sleep 3
    ExpectCloseOnSpace
    grep -q 'd22.bmp is 32768 x 1 pixels, more than this OpenGL takes ([0-9]* on a side)' \
        "$dir/saver.out.err" || Fail "the tile too wide was not named: $(cat "$dir/saver.out.err")"
}

# Cancelling the dialog both times leaves the saver running without textures.
# The dialog makes the folder it browsed to the current one; here that folder
# holds good tiles, which a saver without a folder must not take from there.
Case_cancelled_dialogs_do_not_crash() {
    RegDelete "$APP_KEY"
    local dir
    dir=$(SaverDir folder-cancel)
    LaunchSaver "$dir" /s
    AnswerFolderDialog cancel-in "$E2E_TILES"
    AnswerFolderDialog cancel-in "$E2E_TILES"
    ExpectSaverWindow
    # The default moment faces the camera to the lit side: with tiles, the
    # middle of the picture would be coloured.
    sleep 3
    local png=$STATION_DIR/cases/folder-cancel.png colour
    Screenshot "$SAVER_WINDOW" "$png" || Fail "no picture of the saver"
    colour=$(ColourShare "$png" 300x300+362+234)
    Note "picture: $png, coloured share $colour"
    # Without textures the globe is shaded in one dark grey: any colour there
    # would be stray tiles or memory drawn as a picture.
    FloatAbove 0.05 "$colour" || Fail "colour on an untextured globe (coloured share $colour)"
    ExpectCloseOnSpace
}

RunCase "$1"
