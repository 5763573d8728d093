; Swivlet's installer: per user, no administrator rights. scripts/release.sh
; builds it with these defined:
;   VERSION   four numbers, as 1.0.3.95
;   BIN32     folder of the 32-bit swv32load.exe and swv32.dll
;   BIN64     folder of the 64-bit ones
;   DOCS      folder of README.txt and LICENSE.txt
;   OUTFILE   the installer to write
; Silent use: setup.exe /S [/D=folder], uninstall.exe /S [/D=folder].

Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
; Installed files get the time they are installed, not the build's.
SetDateSave off

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

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

; Gets the file $R9 out of the way. A program that has it loaded (the hook
; maps swv32.dll into every program that gets mouse input) keeps it from
; being deleted or overwritten, but not from being renamed: then it becomes
; $R9.old-N, deleted once nothing holds it.
Function ${un}PlaceAside
    ${IfNot} ${FileExists} "$R9"
        Return
    ${EndIf}
    Delete "$R9"
    ${IfNot} ${FileExists} "$R9"
        Return
    ${EndIf}
    StrCpy $R8 1
    ${DoWhile} ${FileExists} "$R9.old-$R8"
        IntOp $R8 $R8 + 1
    ${Loop}
    ClearErrors
    Rename "$R9" "$R9.old-$R8"
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$R9 is in use and cannot be replaced. End the programs that use it and try again." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    DetailPrint "In use, moved aside: $R9.old-$R8"
FunctionEnd

; Deletes the files moved aside that nothing holds any more; $R7 = 1 when
; some are still held.
Function ${un}DeleteOld
    StrCpy $R7 0
    Push "$INSTDIR"
    Call ${un}DeleteOldIn
    Push "$INSTDIR\x86"
    Call ${un}DeleteOldIn
FunctionEnd

Function ${un}DeleteOldIn
    Exch $R6
    Push $R5
    Push $R4
    FindFirst $R4 $R5 "$R6\*.old-*"
    ${DoWhile} $R5 != ""
        Delete "$R6\$R5"
        ${If} ${FileExists} "$R6\$R5"
            StrCpy $R7 1
        ${EndIf}
        FindNext $R4 $R5
    ${Loop}
    FindClose $R4
    Pop $R4
    Pop $R5
    Pop $R6
FunctionEnd
!macroend

!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

; Places one binary: the old one out of the way first, then checked.
!macro Binary SRC DEST
    StrCpy $R9 "${DEST}"
    Call PlaceAside
    ClearErrors
    File /nonfatal "/oname=${DEST}" "${SRC}"
    ${If} ${Errors}
    ${OrIfNot} ${FileExists} "${DEST}"
        MessageBox MB_OK|MB_ICONSTOP "${DEST} could not be written." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
!macroend

; ---- Installer -----------------------------------------------------------

Section "Swivlet" SecMain
    SectionIn RO
    Call EndSwivlet

    SetOutPath "$INSTDIR"
    ${If} ${RunningX64}
        !insertmacro Binary "${BIN64}/swv32load.exe" "$INSTDIR\swv32load.exe"
        !insertmacro Binary "${BIN64}/swv32.dll" "$INSTDIR\swv32.dll"
        CreateDirectory "$INSTDIR\x86"
        !insertmacro Binary "${BIN32}/swv32load.exe" "$INSTDIR\x86\swv32load.exe"
        !insertmacro Binary "${BIN32}/swv32.dll" "$INSTDIR\x86\swv32.dll"
    ${Else}
        !insertmacro Binary "${BIN32}/swv32load.exe" "$INSTDIR\swv32load.exe"
        !insertmacro Binary "${BIN32}/swv32.dll" "$INSTDIR\swv32.dll"
    ${EndIf}
    File "${DOCS}/README.txt"
    File "${DOCS}/LICENSE.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Swivlet.lnk" "$INSTDIR\swv32load.exe" "" \
        "$INSTDIR\swv32load.exe" 0 SW_SHOWNORMAL "" "Right-click the desktop or a caption for the menu"
    CreateShortcut "$SMPROGRAMS\Configure Swivlet.lnk" "$INSTDIR\swv32load.exe" "/c" \
        "$INSTDIR\swv32load.exe" 0 SW_SHOWNORMAL "" "Change Swivlet's settings"

    ; Copies moved aside by an earlier upgrade and no longer held go now;
    ; the rest when the user next signs in, when nothing holds them.
    Call DeleteOld
    ${If} $R7 = 1
        WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" \
            '"$SYSDIR\cmd.exe" /c del /f /q "$INSTDIR\*.old-*" "$INSTDIR\x86\*.old-*"'
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

    ; A library some program still holds is moved aside like the others.
    StrCpy $R9 "$INSTDIR\swv32load.exe"
    Call un.PlaceAside
    StrCpy $R9 "$INSTDIR\swv32.dll"
    Call un.PlaceAside
    StrCpy $R9 "$INSTDIR\x86\swv32load.exe"
    Call un.PlaceAside
    StrCpy $R9 "$INSTDIR\x86\swv32.dll"
    Call un.PlaceAside
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\uninstall.exe"

    Call un.DeleteOld
    ${If} $R7 = 1
        WriteRegStr HKCU "${RUNONCE_KEY}" "${CLEANUP_VALUE}" \
            '"$SYSDIR\cmd.exe" /c del /f /q "$INSTDIR\*.old-*" "$INSTDIR\x86\*.old-*" & rmdir "$INSTDIR\x86" & rmdir "$INSTDIR"'
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
