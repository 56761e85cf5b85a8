#!/usr/bin/env bash
# solvane-setup.exe as a user meets it, in the 64-bit prefix of its station: a
# silent install, the files and registry values it leaves, the installed saver
# started the way the system starts the current screen saver (no folder dialog,
# the oracle's globe), the uninstaller refused while that saver runs, then the
# uninstaller once it has ended, after which the prefix is as it was.
# The installer is a 32-bit program (natively or through QEMU). Started under QEMU,
# the uninstaller could not run the copy of itself that it would start, so it is
# started with "_?=": then it cannot delete its own file, which the case removes.
#   installer_test.sh <case>
set -euo pipefail
source "$(dirname "$0")/../e2e/lib.sh"

readonly DESKTOP_KEY='HKCU\Control Panel\Desktop'
readonly UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane'
readonly OTHER_SAVER='C:\windows\system32\other.scr'
# Bound of an install or an uninstall: seconds each, also where QEMU runs them.
readonly SETUP_BOUND=300

# The user's part of the registry that an install may touch, less Wine's own
# bookkeeping, which changes by itself as programs run.
RegistryState() { # file
    local part
    for part in 'HKCU\Software' "$DESKTOP_KEY"; do
        WineTool reg export "$part" "$(WinPath "$1.part")" /y >/dev/null 2>&1 ||
            Fail "reg export $part"
        # Exports are UTF-16.
        iconv -f UTF-16 -t UTF-8 "$1.part" | tr -d '\r' |
            awk '/^\[/ { keep = ($0 !~ /^\[HKEY_CURRENT_USER\\Software\\(Wine|Microsoft\\Windows\\CurrentVersion\\Explorer)/) } keep'
    done >"$1"
    rm -f "$1.part"
}

ExpectValue() { # key value expected
    local found
    found=$(RegQuery "$1" "$2")
    [ "$found" = "$3" ] ||
        Fail "$1 $2 is '$found', expected '$3'; the key holds: $(Wine reg query "$1" 2>&1 | tr -d '\r')"
}

# Runs a 32-bit setup program to its end and expects the exit code.
RunSetupExpecting() { # code dir name program args...
    local code=$1 dir=$2 name=$3 start
    shift 3
    start=$(Now)
    StartWindows win32 "$dir" "$dir/$name.out" "$@"
    WaitExit "$LAST_PID" "$SETUP_BOUND"
    Note "$name: exit $EXIT_CODE after $(($(Now) - start)) s ($E2E_WIN32_RUNS)"
    [ "$EXIT_CODE" = "$code" ] || Fail "$name ended with $EXIT_CODE, expected $code"
}

RunSetup() { RunSetupExpecting 0 "$@"; }

# The files under a folder, one relative path a line, sorted.
FilesIn() { (cd "$1" && find . -type f | sed 's|^\./||' | sort); }

Case_install_run_uninstall() {
    : "${E2E_INSTALLER:?}"
    [ -f "$E2E_INSTALLER" ] ||
        Skip "no $E2E_INSTALLER: cmake --build --preset win32 --target installer"
    # What the installer was made from (cmake/installer.cmake).
    local made dir
    made=$(dirname "$E2E_INSTALLER")/installer-files
    dir=$(TestDir installer)
    # A user who has never run Solvane, with another screen saver chosen.
    RegDelete "$APP_KEY"
    RegAdd "$DESKTOP_KEY" SCRNSAVE.EXE REG_SZ "$OTHER_SAVER"
    RegistryState "$dir/before.reg"

    RunSetup "$dir" install "$E2E_INSTALLER" /S

    # Into the user's own programs folder.
    local localAppData folder installed
    localAppData=$(Wine cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
    folder="$localAppData\\Programs\\Solvane"
    ExpectValue "$UNINSTALL_KEY" InstallLocation "$folder"
    installed=$(Wine winepath -u "$folder" 2>/dev/null | tr -d '\r')
    [ -d "$installed" ] || Fail "no folder $installed"

    # The 64-bit saver on 64-bit Windows, the sixteen tiles and their marker.
    cmp -s "$installed/solvane.scr" "$made/win64/solvane.scr" ||
        Fail "the installed solvane.scr is not the 64-bit saver"
    local name expected=(CLOUDS.txt LICENSE.txt clouds.png solvane.scr textures/tex.tex
        textures/SOURCES.txt uninstall.exe)
    for name in d11 d12 d13 d14 d21 d22 d23 d24 n11 n12 n13 n14 n21 n22 n23 n24; do
        cmp -s "$installed/textures/$name.bmp" "$made/textures/$name.bmp" ||
            Fail "textures/$name.bmp differs from the one the installer was made from"
        expected+=("textures/$name.bmp")
    done
    [ "$(FilesIn "$installed")" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
        Fail "unexpected files in $installed"
    cmp -s "$installed/LICENSE.txt" "$made/LICENSE.txt" || Fail "LICENSE.txt is not the licence"
    Note "installed: the 64-bit saver, the tiles, the licence, the uninstaller"

    # The saver finds its tiles at once and is the current screen saver; the one
    # chosen before is kept for the uninstaller, and the list of apps names it.
    ExpectValue "$APP_KEY" path "$folder\\textures\\"
    local current
    current=$(RegQuery "$DESKTOP_KEY" SCRNSAVE.EXE)
    [ "$(Wine winepath -u "$current" 2>/dev/null | tr -d '\r')" = "$installed/solvane.scr" ] ||
        Fail "SCRNSAVE.EXE is '$current', not the installed saver"
    ExpectValue "$UNINSTALL_KEY" PreviousScreenSaver "$OTHER_SAVER"
    ExpectValue "$UNINSTALL_KEY" DisplayName "Solvane screen saver"
    ExpectValue "$UNINSTALL_KEY" UninstallString "\"$folder\\uninstall.exe\""
    ExpectValue "$UNINSTALL_KEY" QuietUninstallString "\"$folder\\uninstall.exe\" /S"
    Note "registry: the texture folder, SCRNSAVE.EXE $current, the entry in the list of apps"

    # Started as the system starts the current screen saver: its path and /s, from
    # another working directory.
    RegistryState "$dir/installed.reg"
    ParkPointer "$CENTRE_X" "$CENTRE_Y"
    StartWindows win64 "$WINEPREFIX/drive_c/windows" "$dir/saver.out" "$current" /s
    SAVER_PID=$LAST_PID
    ExpectSaverWindowAskingNothing
    ExpectOracle installed "$installed/textures"

    # Uninstalled while the saver runs, which holds its file: silently, the
    # uninstaller ends with exit code 2 and has changed nothing.
    RunSetupExpecting 2 "$dir" uninstall-busy "$folder\\uninstall.exe" /S "_?=$folder"
    [ "$(FilesIn "$installed")" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
        Fail "the uninstaller removed files while the saver ran: $(FilesIn "$installed" | tr '\n' ' ')"
    RegistryState "$dir/busy.reg"
    diff -u "$dir/installed.reg" "$dir/busy.reg" >"$dir/busy.diff" ||
        Fail "the uninstaller changed the registry while the saver ran: $(cat "$dir/busy.diff")"
    Note "uninstall while the saver runs: exit 2, nothing changed"
    CloseWithSpace "the installed saver"

    # A file that cannot be written for a reason that no closing of programs mends:
    # the uninstaller names it and ends with exit code 3 at once, instead of asking to
    # retry for ever, and has changed nothing. (Wine run as root opens read-only files
    # for writing; a folder in the tile's place is refused as Windows refuses a
    # read-only file, with ERROR_ACCESS_DENIED.)
    local tile=$installed/textures/d11.bmp before
    mv "$tile" "$dir/d11.bmp"
    mkdir "$tile"
    before=$(FilesIn "$installed")
    RunSetupExpecting 3 "$dir" uninstall-denied "$folder\\uninstall.exe" /S "_?=$folder"
    [ "$(FilesIn "$installed")" = "$before" ] ||
        Fail "the uninstaller removed files it could not all remove: $(FilesIn "$installed" | tr '\n' ' ')"
    rmdir "$tile"
    mv "$dir/d11.bmp" "$tile"
    Note "uninstall with a tile it may not write: exit 3, nothing changed"

    RunSetup "$dir" uninstall "$folder\\uninstall.exe" /S "_?=$folder"
    [ "$(cd "$installed" && find . -mindepth 1)" = ./uninstall.exe ] ||
        Fail "the uninstaller left: $(cd "$installed" && find . -mindepth 1 | tr '\n' ' ')"
    rm "$installed/uninstall.exe"
    rmdir "$installed"
    ExpectValue "$DESKTOP_KEY" SCRNSAVE.EXE "$OTHER_SAVER"
    RegistryState "$dir/after.reg"
    diff -u "$dir/before.reg" "$dir/after.reg" >"$dir/registry.diff" ||
        Fail "the registry is not as before the install: $(cat "$dir/registry.diff")"
    Note "uninstalled: no file but the uninstaller's own, the registry as before"
}

RunCase "$1"
