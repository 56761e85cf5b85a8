; SPDX-License-Identifier: MIT
; The Solvane installer, for the installing user (no administrator rights): the
; saver that fits the machine, the default textures beside it, the texture folder
; remembered where the saver looks for it, optionally Solvane as the current screen
; saver, and an entry in the list of installed apps whose uninstaller takes all of
; it away again. Built by the CMake target "installer", which passes:
;   VERSION   1.0.0
;   FILES     a folder with win32/solvane.scr, win64/solvane.scr and textures/
;   ICON      the saver's icon
;   OUTFILE   where solvane-setup.exe goes
; "/S" installs silently with the defaults, Solvane as the screen saver included;
; "/D=<folder>", last on the line, chooses the folder.

Unicode true
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane"
; The saver's own key; its value "path" names the texture folder. Its Settings
; dialog keeps its other values there too.
!define APP_KEY "Software\QMT_kvr"
!define DESKTOP_KEY "Control Panel\Desktop"
; The saver reads the texture folder as an ANSI text of at most 92 bytes, separator
; included, to leave room for the tile names in its 100-byte paths.
!define MAX_FOLDER_BYTES 92

Name "Solvane"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Solvane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Solvane ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Solvane"
VIAddVersionKey /LANG=1033 "FileDescription" "Solvane screen saver setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 The Solvane developers. MIT licence."

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The sixteen tiles, named one by one so that the uninstaller removes only its own
; files; building stops if one is missing.
!macro InstallTiles
    File "${FILES}/textures/d11.bmp"
    File "${FILES}/textures/d12.bmp"
    File "${FILES}/textures/d13.bmp"
    File "${FILES}/textures/d14.bmp"
    File "${FILES}/textures/d21.bmp"
    File "${FILES}/textures/d22.bmp"
    File "${FILES}/textures/d23.bmp"
    File "${FILES}/textures/d24.bmp"
    File "${FILES}/textures/n11.bmp"
    File "${FILES}/textures/n12.bmp"
    File "${FILES}/textures/n13.bmp"
    File "${FILES}/textures/n14.bmp"
    File "${FILES}/textures/n21.bmp"
    File "${FILES}/textures/n22.bmp"
    File "${FILES}/textures/n23.bmp"
    File "${FILES}/textures/n24.bmp"
    ; Where the tiles come from, and their licence.
    File "${FILES}/textures/SOURCES.txt"
!macroend
!macro DeleteTiles folder
    Delete "${folder}\textures\d11.bmp"
    Delete "${folder}\textures\d12.bmp"
    Delete "${folder}\textures\d13.bmp"
    Delete "${folder}\textures\d14.bmp"
    Delete "${folder}\textures\d21.bmp"
    Delete "${folder}\textures\d22.bmp"
    Delete "${folder}\textures\d23.bmp"
    Delete "${folder}\textures\d24.bmp"
    Delete "${folder}\textures\n11.bmp"
    Delete "${folder}\textures\n12.bmp"
    Delete "${folder}\textures\n13.bmp"
    Delete "${folder}\textures\n14.bmp"
    Delete "${folder}\textures\n21.bmp"
    Delete "${folder}\textures\n22.bmp"
    Delete "${folder}\textures\n23.bmp"
    Delete "${folder}\textures\n24.bmp"
!macroend

; The files of an install in `folder`, and the folder if nothing else is left in it.
!macro RemoveInstalledFiles folder
    Delete "${folder}\solvane.scr"
    Delete "${folder}\LICENSE.txt"
    Delete "${folder}\clouds.png"
    Delete "${folder}\CLOUDS.txt"
    Delete "${folder}\textures\tex.tex"
    Delete "${folder}\textures\SOURCES.txt"
    !insertmacro DeleteTiles "${folder}"
    RMDir "${folder}\textures"
    Delete "${folder}\uninstall.exe"
    RMDir "${folder}"
!macroend

; Leaves $0 the first file of an install in `folder` that cannot be deleted or replaced
; now, or "" when there is none, and $5 why: "busy" when another program holds it open
; (a running saver holds its .scr, so does the preview of Screen Saver Settings, which
; runs it; a picture viewer may hold a tile), else the Windows error code (a read-only
; file, or one this user may not write), which no closing of programs mends. Nothing
; is changed. An uninstaller started in place holds its own file, which is therefore
; left out.
!macro FIND_BUSY_FILE un
Function ${un}CheckFileFree  ; $R2: the file; sets $0 to it and $5 when it cannot be changed
    ${If} $0 == ""
    ${AndIf} ${FileExists} "$R2"
        System::Call 'kernel32::CreateFileW(w "$R2", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) i .r1 ?e'
        Pop $6
        ${If} $1 = -1
            StrCpy $0 "$R2"
            ; ERROR_SHARING_VIOLATION and ERROR_LOCK_VIOLATION: open elsewhere.
            ${If} $6 = 32
            ${OrIf} $6 = 33
                StrCpy $5 busy
            ${Else}
                StrCpy $5 $6
            ${EndIf}
        ${Else}
            System::Call 'kernel32::CloseHandle(i r1)'
        ${EndIf}
    ${EndIf}
FunctionEnd

Function ${un}FindBusyFile  ; $R1: the install's folder
    StrCpy $0 ""
    StrCpy $5 ""
    StrCpy $R2 "$R1\solvane.scr"
    Call ${un}CheckFileFree
    StrCpy $R2 "$R1\LICENSE.txt"
    Call ${un}CheckFileFree
    StrCpy $R2 "$R1\textures\tex.tex"
    Call ${un}CheckFileFree
    ${For} $R3 1 2
        ${For} $R4 1 4
            StrCpy $R2 "$R1\textures\d$R3$R4.bmp"
            Call ${un}CheckFileFree
            StrCpy $R2 "$R1\textures\n$R3$R4.bmp"
            Call ${un}CheckFileFree
        ${Next}
    ${Next}
FunctionEnd

; Returns once every file of the install in $R1 can be changed. A file in use: the
; user is asked to close what holds it and to retry; a cancel, and silent mode at
; once, ends with exit code 2. A file that cannot be written for another reason is
; named and the run ends with exit code 3, since retrying would not help. Either
; way nothing was changed.
Function ${un}WaitUntilFilesFree
    ${Do}
        Call ${un}FindBusyFile
        ${If} $0 == ""
            ${ExitDo}
        ${EndIf}
        ${If} $5 != busy
            MessageBox MB_OK|MB_ICONSTOP "Solvane cannot change $0: the file is read-only, or this user may not change it (error $5).$\r$\n$\r$\nNothing was changed." /SD IDOK
            SetErrorLevel 3
            Quit
        ${EndIf}
        ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Solvane is in use: $0 cannot be changed now.$\r$\n$\r$\nClose Screen Saver Settings, and the screen saver if it is running, then choose Retry." /SD IDCANCEL IDRETRY`
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Loop}
FunctionEnd
!macroend
!insertmacro FIND_BUSY_FILE ""
!insertmacro FIND_BUSY_FILE "un."

Var textureFolder
Var movedScreenSaver  ; "yes" when an install elsewhere was the screen saver

; Sets $textureFolder to the folder the saver will read, and $0 to "ok" when the
; saver can take it: its ANSI form (the saver reads the registry as ANSI) loses no
; character and fits in MAX_FOLDER_BYTES.
Function CheckTextureFolder
    StrCpy $textureFolder "$INSTDIR\textures\"
    ; Bytes of the ANSI form with its NUL; $2 nonzero when a character has none.
    System::Call 'kernel32::WideCharToMultiByte(i 0, i 0x400, w "$textureFolder", i -1, p 0, i 0, p 0, *i 0 r2) i .r1'
    ${If} $1 = 0
        ; Where the ANSI code page is UTF-8, which names every character, Windows
        ; refuses the question about lost characters: ask for the length alone.
        StrCpy $2 0
        System::Call 'kernel32::WideCharToMultiByte(i 0, i 0, w "$textureFolder", i -1, p 0, i 0, p 0, p 0) i .r1'
    ${EndIf}
    IntOp $1 $1 - 1
    ${If} $2 <> 0
    ${OrIf} $1 < 1
        StrCpy $0 "The folder's name holds characters that Solvane cannot read on this system."
    ${ElseIf} $1 > ${MAX_FOLDER_BYTES}
        StrCpy $0 "The folder's path is too long for Solvane: choose a shorter one."
    ${Else}
        StrCpy $0 ok
    ${EndIf}
FunctionEnd

Function CheckFolderPage
    Call CheckTextureFolder
    ${If} $0 != ok
        MessageBox MB_OK|MB_ICONEXCLAMATION "$0"
        Abort
    ${EndIf}
FunctionEnd

Function OpenScreenSaverSettings
    Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

; The path that names the installed saver as the current screen saver: the short
; form where the volume has one, since the system starts the saver from this text
; and older versions of Windows split it at spaces.
Function SaverPathForSystem
    GetFullPathName /SHORT $0 "$INSTDIR\solvane.scr"
    ${If} $0 == ""
        StrCpy $0 "$INSTDIR\solvane.scr"
    ${EndIf}
FunctionEnd

; Leaves $1 "yes" when the current screen saver is the Solvane installed in `folder`,
; named by its long or its short path.
!macro IsScreenSaverAt folder
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    GetFullPathName /SHORT $2 "${folder}\solvane.scr"
    ${If} $1 == ""
        StrCpy $1 no
    ${ElseIf} $1 == "${folder}\solvane.scr"
    ${OrIf} $1 == $2
        StrCpy $1 yes
    ${Else}
        StrCpy $1 no
    ${EndIf}
!macroend

Section "Solvane" SectionSaver
    SectionIn RO
    Call CheckTextureFolder
    ${If} $0 != ok
        MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}

    ; Nothing is touched while a file that would be replaced, or deleted with an
    ; earlier install elsewhere, is in use.
    StrCpy $R1 $INSTDIR
    Call WaitUntilFilesFree
    ReadRegStr $3 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $3 != ""
    ${AndIf} $3 != $INSTDIR
        StrCpy $R1 $3
        Call WaitUntilFilesFree
    ${EndIf}

    ; An install in another folder moves here: its files go, and its being the
    ; screen saver passes to this one.
    StrCpy $movedScreenSaver no
    ${If} $3 != ""
    ${AndIf} $3 != $INSTDIR
        !insertmacro IsScreenSaverAt $3
        StrCpy $movedScreenSaver $1
        !insertmacro RemoveInstalledFiles $3
    ${EndIf}

    SetOutPath "$INSTDIR"
    ; The 32-bit saver runs everywhere, on ARM64 Windows through its emulation; the
    ; 64-bit one only where the processor itself is x64.
    ${If} ${IsNativeAMD64}
        File "/oname=solvane.scr" "${FILES}/win64/solvane.scr"
    ${Else}
        File "/oname=solvane.scr" "${FILES}/win32/solvane.scr"
    ${EndIf}
    File "${FILES}/LICENSE.txt"
    ; The still cloud map (GPL-2+, from flightgear-data-models; CLOUDS.txt says so),
    ; beside the texture folder, where the saver looks for it.
    File "${FILES}/clouds.png"
    File "${FILES}/CLOUDS.txt"
    SetOutPath "$INSTDIR\textures"
    File "${FILES}/textures/tex.tex"
    !insertmacro InstallTiles
    SetOutPath "$INSTDIR"

    ; The folder only. The saver's display values (ShowClock, Monitors) stay unset, so
    ; that it starts with its defaults until the user changes them in its Settings;
    ; the uninstaller takes them away with the key.
    WriteRegStr HKCU "${APP_KEY}" "path" "$textureFolder"

    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Solvane screen saver"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Solvane"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\solvane.scr,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

    ${If} $movedScreenSaver == yes
        Call SaverPathForSystem
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
    ${EndIf}
SectionEnd

Section "Make Solvane the screen saver" SectionCurrent
    !insertmacro IsScreenSaverAt $INSTDIR
    ; The screen saver chosen before is kept for the uninstaller to give back. A
    ; repeated or moved install finds Solvane there and keeps what the first one kept.
    ${If} $1 != yes
    ${AndIf} $movedScreenSaver != yes
        ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${If} $1 == ""
            DeleteRegValue HKCU "${UNINSTALL_KEY}" "PreviousScreenSaver"
        ${Else}
            WriteRegStr HKCU "${UNINSTALL_KEY}" "PreviousScreenSaver" "$1"
        ${EndIf}
    ${EndIf}
    Call SaverPathForSystem
    WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$0"
SectionEnd

Section "Uninstall"
    ; All or nothing: a running saver would keep its file and the folder.
    StrCpy $R1 $INSTDIR
    Call un.WaitUntilFilesFree

    ; Solvane stops being the screen saver; the one chosen before comes back.
    !insertmacro IsScreenSaverAt $INSTDIR
    ${If} $1 == yes
        ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "PreviousScreenSaver"
        ${If} $1 == ""
            DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
        ${Else}
            WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$1"
        ${EndIf}
    ${EndIf}

    !insertmacro RemoveInstalledFiles $INSTDIR

    DeleteRegKey HKCU "${APP_KEY}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; A new profile has no list of its own yet: the install made it for our entry.
    DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd
