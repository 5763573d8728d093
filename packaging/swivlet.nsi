; Swivlet's installer: per user, no administrator rights. scripts/release.sh
; builds it with these defined:
;   VERSION   four numbers, as 1.0.3.95
;   BIN32     folder of the 32-bit swv32load.exe and its library's folder
;   LIB32     the name of that folder: swv32-<hash>, holding swv32.dll
;   BIN64     folder of the 64-bit swv32load.exe and its library's folder
;   LIB64     the name of that folder: swv64-<hash>, holding swv64.dll
;             (without BIN64, an installer of the 32-bit build alone)
;   DOCS      folder of README.txt and LICENSE.txt
;   OUTFILE   the installer to write
;   SIGN      a command that signs the file it is given in place
;             (packaging/sign.sh): the uninstaller is signed as it is built
; Silent use: setup.exe /S [/D=folder], uninstall.exe /S [/D=folder].

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Installed files get the time they are installed, not the build's.
SetDateSave off
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

; The key's name is winget's ProductCode: scripts/release.sh reads it here.
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Swivlet"
!define RUNONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
!define CLEANUP_VALUE "Swivlet cleanup"
!define PUBLISHER "The Swivlet developers"

Name "Swivlet"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Swivlet"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Swivlet ${VERSION}"

!define MUI_ICON "..\loader\swivlet.ico"
!define MUI_UNICON "..\loader\swivlet.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Swivlet is installed"
!define MUI_FINISHPAGE_TEXT "Swivlet starts when you choose Finish. It shows no window: right-click the desktop or any window's caption for its menu. To end it, choose Run from the menu and type exit.$\r$\n$\r$\n$\"Configure Swivlet$\" in the Start menu changes its settings."
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Swivlet will be ended and removed. Your settings (%APPDATA%\Swivlet\Swivlet.ini) are left as they are."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Swivlet"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Swivlet Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT licence."

; ---- Shared by the installer and the uninstaller -------------------------

!macro SharedFunctions un
; $1 = 1 while a loader of either width runs its menu: each names an event
; for as long as it does.
Function ${un}SwivletRuns
    StrCpy $1 0
    System::Call 'kernel32::OpenEventW(i 0x00100000, i 0, w "Local\Swivlet.Host.32") p .r3'
    ${If} $3 != 0
        StrCpy $1 1
        System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
    System::Call 'kernel32::OpenEventW(i 0x00100000, i 0, w "Local\Swivlet.Host.64") p .r3'
    ${If} $3 != 0
        StrCpy $1 1
        System::Call 'kernel32::CloseHandle(p r3)'
    ${EndIf}
FunctionEnd

; Ends a running Swivlet as "exit" does: the shutdown message with wParam 0
; ends every loader. Waits up to ten seconds; quits when one still runs.
Function ${un}EndSwivlet
    Call ${un}SwivletRuns
    ${If} $1 = 0
        Return
    ${EndIf}
    DetailPrint "Ending the running Swivlet"
    System::Call 'user32::RegisterWindowMessageW(w "Swivlet.Shutdown") i .r0'
    System::Call 'user32::PostMessageW(p 0xffff, i r0, p 0, p 0)'
    StrCpy $2 0
    ${Do}
        Sleep 100
        Call ${un}SwivletRuns
        ${If} $1 = 0
            Return
        ${EndIf}
        IntOp $2 $2 + 1
    ${LoopUntil} $2 >= 100
    MessageBox MB_OK|MB_ICONSTOP "Swivlet is still running and did not end when asked. End it (Run, then exit) and try again." /SD IDOK
    SetErrorLevel 2
    Quit
FunctionEnd

; Every build of the library lies in a folder of its own, named after its
; bytes, and a program the hook has reached keeps its build's library
; loaded until it ends, which keeps that file from being deleted. These
; delete what is left of other builds than the one being installed ($R9
; names it; "" for none) and of the layout before build folders, and add
; whatever is still held to the command in $R7, which deletes it later.
Function ${un}RemoveBuildsIn
    Exch $R6 ; the folder
    Exch
    Exch $R5 ; the prefix, as swv32-
    Push $R4
    Push $R3
    FindFirst $R4 $R3 "$R6\$R5*"
    ${DoWhile} $R3 != ""
        ${If} ${FileExists} "$R6\$R3\*.*"
        ${AndIf} $R3 != $R9
            RMDir /r "$R6\$R3"
            ${If} ${FileExists} "$R6\$R3\*.*"
                StrCpy $R7 '$R7 & rmdir /s /q "$R6\$R3"'
            ${EndIf}
        ${EndIf}
        FindNext $R4 $R3
    ${Loop}
    FindClose $R4
    Pop $R3
    Pop $R4
    Pop $R5
    Pop $R6
FunctionEnd

; $R9: the 64-bit (or only) build to keep, $R8: the 32-bit one in x86.
Function ${un}RemoveOtherBuilds
    StrCpy $R7 ""
    Push $R9
    Push "swv64-"
    Push "$INSTDIR"
    Call ${un}RemoveBuildsIn
    Push "swv32-"
    Push "$INSTDIR"
    Call ${un}RemoveBuildsIn
    StrCpy $R9 $R8
    Push "swv32-"
    Push "$INSTDIR\x86"
    Call ${un}RemoveBuildsIn
    Pop $R9
    ; The layout before build folders, with copies moved aside.
    Delete "$INSTDIR\swv32.dll*"
    Delete "$INSTDIR\x86\swv32.dll*"
    ${If} ${FileExists} "$INSTDIR\swv32.dll*"
        StrCpy $R7 '$R7 & del /f /q "$INSTDIR\swv32.dll*"'
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\x86\swv32.dll*"
        StrCpy $R7 '$R7 & del /f /q "$INSTDIR\x86\swv32.dll*"'
    ${EndIf}
FunctionEnd
!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; Places one binary, and checks it.
!macro Binary SRC DEST
    ClearErrors
    File /nonfatal "/oname=${DEST}" "${SRC}"
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "${DEST}"
        MessageBox MB_OK|MB_ICONSTOP "${DEST} could not be written. End the programs that use it and try again." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
!macroend

; Places a build's library in its folder. A folder of that name holds the
; same bytes: where a program holds the library, it stays as it is.
!macro Library SRC DIR NAME
    CreateDirectory "${DIR}"
    Delete "${DIR}\${NAME}"
    ${IfNot} ${FileExists} "${DIR}\${NAME}"
        !insertmacro Binary "${SRC}" "${DIR}\${NAME}"
    ${EndIf}
!macroend

; ---- Installer -----------------------------------------------------------

Section "Swivlet" SecMain
    SectionIn RO
    Call EndSwivlet

    SetOutPath "$INSTDIR"
!ifdef BIN64
    ${If} ${RunningX64}
        !insertmacro Binary "${BIN64}/swv32load.exe" "$INSTDIR\swv32load.exe"
        !insertmacro Library "${BIN64}/${LIB64}/swv64.dll" "$INSTDIR\${LIB64}" "swv64.dll"
        CreateDirectory "$INSTDIR\x86"
        !insertmacro Binary "${BIN32}/swv32load.exe" "$INSTDIR\x86\swv32load.exe"
        !insertmacro Library "${BIN32}/${LIB32}/swv32.dll" "$INSTDIR\x86\${LIB32}" "swv32.dll"
        StrCpy $R9 "${LIB64}"
    ${Else}
!endif
        !insertmacro Binary "${BIN32}/swv32load.exe" "$INSTDIR\swv32load.exe"
        !insertmacro Library "${BIN32}/${LIB32}/swv32.dll" "$INSTDIR\${LIB32}" "swv32.dll"
        StrCpy $R9 "${LIB32}"
!ifdef BIN64
    ${EndIf}
!endif
    File "${DOCS}/README.txt"
    File "${DOCS}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Swivlet.lnk" "$INSTDIR\swv32load.exe" "" \
        "$INSTDIR\swv32load.exe" 0 SW_SHOWNORMAL "" "Right-click the desktop or a caption for the menu"
    CreateShortcut "$SMPROGRAMS\Configure Swivlet.lnk" "$INSTDIR\swv32load.exe" "/c" \
        "$INSTDIR\swv32load.exe" 0 SW_SHOWNORMAL "" "Change Swivlet's settings"

    ; Earlier builds that nothing holds go now; the held ones at the next
    ; sign-in, or at a start of the loader once nothing holds them.
    StrCpy $R8 "${LIB32}"
    Call RemoveOtherBuilds
    ${If} $R7 != ""
        WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" '"$SYSDIR\cmd.exe" /c echo off$R7'
    ${Else}
        DeleteRegValue HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}"
    ${EndIf}

    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Swivlet"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\swv32load.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start Swivlet when I sign in" SecStartup
    CreateShortcut "$SMSTARTUP\Swivlet.lnk" "$INSTDIR\swv32load.exe" "" \
        "$INSTDIR\swv32load.exe" 0 SW_SHOWNORMAL "" "Right-click the desktop or a caption for the menu"
SectionEnd

Section "-Startup declined"
    ${IfNot} ${SectionIsSelected} ${SecStartup}
        Delete "$SMSTARTUP\Swivlet.lnk"
    ${EndIf}
SectionEnd

Function .onInit
    ; An upgrade keeps the user's earlier answer to starting at sign-in.
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIfNot} ${FileExists} "$SMSTARTUP\Swivlet.lnk"
        !insertmacro UnselectSection ${SecStartup}
    ${EndIf}
FunctionEnd

Function .onInstSuccess
    ${IfNot} ${Silent}
        SetOutPath "$INSTDIR"
        Exec '"$INSTDIR\swv32load.exe"'
    ${EndIf}
FunctionEnd

; ---- Uninstaller ---------------------------------------------------------

Function un.onInit
    ; /D= names the folder here too; the uninstaller's own folder otherwise.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/D=" $1
    ${IfNot} ${Errors}
    ${AndIf} $1 != ""
        StrCpy $INSTDIR $1
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\swv32load.exe"
    ${AndIfNot} ${FileExists} "$INSTDIR\uninstall.exe"
        MessageBox MB_OK|MB_ICONSTOP "Swivlet is not installed in $INSTDIR." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

Section "Uninstall"
    Call un.EndSwivlet

    Delete "$SMPROGRAMS\Swivlet.lnk"
    Delete "$SMPROGRAMS\Configure Swivlet.lnk"
    Delete "$SMSTARTUP\Swivlet.lnk"

    Delete "$INSTDIR\swv32load.exe"
    Delete "$INSTDIR\x86\swv32load.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"

    ; Every build goes; those some program still holds at the next sign-in.
    StrCpy $R9 ""
    StrCpy $R8 ""
    Call un.RemoveOtherBuilds
    ${If} $R7 != ""
        WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" \
            '"$SYSDIR\cmd.exe" /c echo off$R7 & rmdir "$INSTDIR\x86" & rmdir "$INSTDIR"'
    ${Else}
        DeleteRegValue HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}"
    ${EndIf}
    RMDir "$INSTDIR\x86"
    RMDir "$INSTDIR"

    DeleteRegKey HKCU "${UNINST_KEY}"
    DetailPrint "Your settings are left as they are."
SectionEnd

Function un.onUninstSuccess
    ${IfNot} ${Silent}
        MessageBox MB_OK|MB_ICONINFORMATION "Swivlet is removed. Your settings are left as they are; delete the folder %APPDATA%\Swivlet by hand if you want them gone."
    ${EndIf}
FunctionEnd
