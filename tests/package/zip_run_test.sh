#!/usr/bin/env bash
# The zip package as a user meets it: unpacked into a fresh prefix, its saver
# started from there asks for the texture folder once, shows the globe with the
# unpacked tiles, and asks nothing the next time.
#   zip_run_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"

# Where the package keeps the saver and its tiles (globs, relative to the zip's
# top): the only lines that know its layout.
readonly SAVER_IN_ZIP="solvane-*/${E2E_ARCH:-win32}/solvane.scr"
readonly TEXTURES_IN_ZIP='solvane-*/textures'

# The one file or folder the glob names under $1.
OneMatch() { # folder glob
    local matches
    # shellcheck disable=SC2206
    matches=("$1"/$2)
    [ ${#matches[@]} = 1 ] && [ -e "${matches[0]}" ] || Fail "the package holds no single $2"
    echo "${matches[0]}"
}

Case_first_run_from_the_zip() {
    [ -f "${E2E_PACKAGE:-}" ] ||
        Skip "no package ${E2E_PACKAGE:-}: cmake --build --preset win32 --target package"
    # Unpacked where a user might keep it, in the prefix's own C: drive, under a
    # name with a space; the station's prefix has never stored a texture folder.
    RegDelete "$APP_KEY"
    local unpacked="$WINEPREFIX/drive_c/Solvane saver"
    rm -rf "$unpacked"
    mkdir -p "$unpacked"
    (cd "$unpacked" && cmake -E tar xf "$E2E_PACKAGE") || Fail "cannot unpack $E2E_PACKAGE"
    local scr textures
    scr=$(OneMatch "$unpacked" "$SAVER_IN_ZIP")
    textures=$(OneMatch "$unpacked" "$TEXTURES_IN_ZIP")
    Note "unpacked $scr and $textures"

    # Started by its path from another working directory (C:\windows), as the
    # system starts a screen saver: nothing may rest on its own folder being the
    # current one.
    local windows=$WINEPREFIX/drive_c/windows
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    StartWindows "$E2E_ARCH" "$windows" "$unpacked/first" "$scr" /s
    SAVER_PID=$LAST_PID
    AnswerFolderDialog "$textures/tex.tex"
    ExpectStoredFolder "$(WinPath "$textures")\\"
    ExpectSaverWindow
    ExpectOracle package-first "$textures"
    CloseWithSpace "after the first start"

    # The next start asks nothing and shows the same globe.
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    StartWindows "$E2E_ARCH" "$windows" "$unpacked/second" "$scr" /s
    SAVER_PID=$LAST_PID
    ExpectSaverWindowAskingNothing
    ExpectOracle package-second "$textures"
    CloseWithSpace "after the second start"
}

RunCase "$1"
