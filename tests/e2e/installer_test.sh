#!/usr/bin/env bash
# solvane-setup.exe as a user meets it, in a 64-bit Wine prefix: a silent install,
# the files and registry values it leaves, the installed saver started the way the
# system starts the current screen saver (no folder dialog, the globe of the
# oracle), then the uninstaller, after which the prefix is as it was. The installer
# is a 32-bit program: where the machine cannot run 32-bit code it runs under QEMU
# (WINE-TESTING.md), and there the uninstaller is started with "_?=" (a copy of
# itself that it would start could not run), so it cannot delete its own file.
#   installer_test.sh <case>
# Environment: PLATFORM_WORK, INSTALLER (solvane-setup.exe), INSTALLER_FILES (the
# folder it was made from), SOLVANE_SNAPSHOT.
set -euo pipefail
source "$(dirname "$0")/platform_lib.sh"
: "${INSTALLER:?}" "${INSTALLER_FILES:?}" "${SOLVANE_SNAPSHOT:?}"
[ -f "$INSTALLER" ] ||
    Fail "no $INSTALLER: make it with cmake --build --preset win32 --target installer"
# The tiles the installer carries: the installed saver draws with these.
TILES=$INSTALLER_FILES/textures

readonly DESKTOP='HKCU\Control Panel\Desktop'
readonly APP_KEY='HKCU\Software\QMT_kvr'
readonly UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane'
readonly OTHER_SAVER='C:\windows\system32\other.scr'

# The user's part of the registry that an install may touch, without Wine's own
# bookkeeping, which changes by itself as programs run.
RegistryState() { # file
    local part
    for part in 'HKCU\Software' 'HKCU\Control Panel\Desktop'; do
        Wine64 reg export "$part" "$(Wine64 winepath -w "$1.part" | tr -d '\r')" /y \
            >/dev/null 2>&1 || Fail "reg export $part"
        # Exports are UTF-16; keys are compared without Wine's and Explorer's own.
        iconv -f UTF-16 -t UTF-8 "$1.part" | tr -d '\r' |
            awk '/^\[/ { keep = ($0 !~ /^\[HKEY_CURRENT_USER\\Software\\(Wine|Microsoft\\Windows\\CurrentVersion\\Explorer)/) } keep'
    done >"$1"
    rm -f "$1.part"
}

ExpectValue() { # key value expected
    local found
    found=$(RegValue "$1" "$2")
    [ "$found" = "$3" ] || Fail "$1 $2 is '$found', expected '$3'"
}

Run32() { # seconds program args...
    local seconds=$1
    shift
    local start=$SECONDS
    timeout "$seconds" "${WINE32[@]}" "$@" >"$CASE_DIR/run32.out" 2>"$CASE_DIR/run32.err" &
    local pid=$!
    OWN_PIDS+=("$pid")
    WaitExit "$pid" "$((seconds + 10))"
    RUN_SECONDS=$((SECONDS - start))
}

Case_install_run_uninstall() {
    BeginCase installer
    StartXvfb
    BootPrefix
    ChooseWine32
    RegSet "$DESKTOP" SCRNSAVE.EXE REG_SZ "$OTHER_SAVER"
    RegistryState "$CASE_DIR/before.reg"

    Run32 900 "$INSTALLER" /S
    Note "silent install: $RUN_SECONDS s, exit $EXIT_CODE (${WINE32[*]})"
    [ "$EXIT_CODE" = 0 ] || Fail "the silent install ended with $EXIT_CODE"

    # Where it went: the user's own programs folder.
    local localAppData folder dir
    localAppData=$(Wine64 cmd /c echo '%LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
    folder="$localAppData\\Programs\\Solvane"
    ExpectValue "$UNINSTALL_KEY" InstallLocation "$folder"
    dir=$(UnixPath "$folder")
    [ -d "$dir" ] || Fail "no folder $dir"

    # The 64-bit saver on 64-bit Windows, the sixteen tiles and the marker beside it.
    cmp -s "$dir/solvane.scr" "$INSTALLER_FILES/win64/solvane.scr" ||
        Fail "the installed solvane.scr is not the 64-bit saver"
    local name expected=(solvane.scr textures/tex.tex uninstall.exe)
    for name in d11 d12 d13 d14 d21 d22 d23 d24 n11 n12 n13 n14 n21 n22 n23 n24; do
        cmp -s "$dir/textures/$name.bmp" "$TILES/$name.bmp" || Fail "textures/$name.bmp differs"
        expected+=("textures/$name.bmp")
    done
    [ "$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)" = \
        "$(printf '%s\n' "${expected[@]}" | sort)" ] || Fail "unexpected files in $dir"
    Note "files: the 64-bit saver, the tiles, the uninstaller"

    # The saver finds its textures at once, and it is the current screen saver; the
    # one chosen before is kept for the uninstaller.
    ExpectValue "$APP_KEY" path "$folder\\textures\\"
    local current
    current=$(RegValue "$DESKTOP" SCRNSAVE.EXE)
    [ "$(UnixPath "$current")" = "$dir/solvane.scr" ] ||
        Fail "SCRNSAVE.EXE is '$current', not the installed saver"
    ExpectValue "$UNINSTALL_KEY" PreviousScreenSaver "$OTHER_SAVER"
    ExpectValue "$UNINSTALL_KEY" DisplayName "Solvane screen saver"
    ExpectValue "$UNINSTALL_KEY" UninstallString "\"$folder\\uninstall.exe\""
    ExpectValue "$UNINSTALL_KEY" QuietUninstallString "\"$folder\\uninstall.exe\" /S"
    Note "registry: texture folder, current screen saver ($current), installed-apps entry"

    xdotool mousemove 512 384
    StartFrozen "$CASE_DIR/saver.out" "$current" /s
    WaitSaverDrawing 60
    local png=$CASE_DIR/screen.png
    ScreenshotRoot "$png"
    Note "screenshot: $png"
    ExpectOracle "$png" 1024x768+0+0 installed-saver
    CloseWithSpace

    Run32 900 "$folder\\uninstall.exe" /S "_?=$folder"
    Note "silent uninstall: $RUN_SECONDS s, exit $EXIT_CODE"
    [ "$EXIT_CODE" = 0 ] || Fail "the silent uninstall ended with $EXIT_CODE"
    # With "_?=" the uninstaller runs from its own file and cannot delete it; run the
    # usual way it deletes a copy of itself afterwards.
    [ "$(cd "$dir" && find . -mindepth 1 | sed 's|^\./||')" = uninstall.exe ] ||
        Fail "the uninstaller left: $(cd "$dir" && find . -mindepth 1 | tr '\n' ' ')"
    rm -f "$dir/uninstall.exe"
    rmdir "$dir"

    ExpectValue "$DESKTOP" SCRNSAVE.EXE "$OTHER_SAVER"
    RegistryState "$CASE_DIR/after.reg"
    diff -u "$CASE_DIR/before.reg" "$CASE_DIR/after.reg" >"$CASE_DIR/registry.diff" ||
        Fail "the registry differs from before the install: $(cat "$CASE_DIR/registry.diff")"
    Note "after the uninstall: no file but the running uninstaller's, the registry as before"
}

"Case_$1"
echo "PASS $1"
