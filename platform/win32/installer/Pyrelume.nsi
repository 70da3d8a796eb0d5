; Pyrelume-Setup.exe: installs Pyrelume.scr and Help.html into the folder of
; 32-bit system programs, selects Pyrelume as the user's screen saver and
; registers an uninstaller under Add/Remove Programs.
;
; Built by platform/win32/installer/CMakeLists.txt, which passes
;   PYR_VERSION (e.g. 3.0), PYR_MAJOR (3), PYR_SCR (Pyrelume.scr), PYR_HELP
;   (Help.html), PYR_ICON (Pyrelume.ico) and PYR_OUT (the setup's path).
;
; Command line:
;   Pyrelume-Setup.exe [/S]             /S: silent
;   Uninstall.exe [/S] [/REMOVESETTINGS] /REMOVESETTINGS: also delete the
;                                       user's Pyrelume settings (silent mode;
;                                       interactive mode asks)
; Exit codes: 0 done, 1 cancelled or failed, 2 a file could not be written,
;   740 no administrator rights (nothing installed or removed).

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Pyrelume"
!define PUBLISHER "Varnel Software"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pyrelume"
; The key the saver keeps its settings under (company, title, major version).
!define SETTINGS_COMPANY_KEY "Software\${PUBLISHER}"
!define SETTINGS_KEY "${SETTINGS_COMPANY_KEY}\${PRODUCT} ${PYR_MAJOR}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define ERROR_ELEVATION_REQUIRED 740
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "${PRODUCT} ${PYR_VERSION}"
OutFile "${PYR_OUT}"
; Only the uninstaller lives here; the saver goes into the system folder.
InstallDir "$PROGRAMFILES\${PRODUCT}"
BrandingText "${PRODUCT} ${PYR_VERSION}"

VIProductVersion "${PYR_VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${PYR_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${PYR_VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"

!define MUI_ICON "${PYR_ICON}"
!define MUI_UNICON "${PYR_ICON}"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Setup installs the ${PRODUCT} fireplace screen saver and selects it as your screen saver.$\r$\n$\r$\nThe screen saver and its help page go into the Windows system folder, so Setup needs administrator rights.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed and selected as your screen saver.$\r$\n$\r$\nThe screen saver settings let you change its options (Settings...) and see it full screen (Preview)."
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the screen saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenSaverSettings
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The saver's path as the rest of the system sees it: on 64-bit Windows this
; 32-bit setup writes $SYSDIR (System32) but the file lands in SysWOW64, which
; is the path the screen-saver settings and Add/Remove Programs must be given.
Var SaverPath
; The short (8.3) form of SaverPath: older Windows versions store that one.
Var SaverShortPath

!macro FindSaverPath un
Function ${un}FindSaverPath
  System::Call 'kernel32::GetSystemWow64DirectoryW(w .r0, i ${NSIS_MAX_STRLEN}) i .r1'
  ${If} $1 = 0
    StrCpy $0 $SYSDIR
  ${EndIf}
  StrCpy $SaverPath "$0\${PRODUCT}.scr"
  StrCpy $SaverShortPath $SaverPath
FunctionEnd
!macroend
!insertmacro FindSaverPath ""
!insertmacro FindSaverPath "un."

; Pushes 1 when the user's selected screen saver is the installed Pyrelume, else 0.
!macro IsPyrelumeSelected un
Function ${un}IsPyrelumeSelected
  Push $0
  ClearErrors
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${If} ${Errors}
    StrCpy $0 0
  ${ElseIf} $0 == $SaverPath
  ${OrIf} $0 == $SaverShortPath
  ${OrIf} $0 == "$SYSDIR\${PRODUCT}.scr"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Exch $0
FunctionEnd
!macroend
!insertmacro IsPyrelumeSelected ""
!insertmacro IsPyrelumeSelected "un."

; Writing the system folder and HKLM needs an administrator. Ends the program
; with a clear message (silent: exit code 740 only) when the rights are missing.
!macro RequireAdmin un
Function ${un}RequireAdmin
  UserInfo::GetAccountType
  Pop $0
!ifdef PYR_TEST_ACCOUNT_TYPE
  ; Check builds only: the account type a real non-administrator gets.
  StrCpy $0 "${PYR_TEST_ACCOUNT_TYPE}"
!endif
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} Setup needs administrator rights: the screen saver is installed into the Windows system folder.$\r$\n$\r$\nNothing was changed. Run it again as an administrator (right-click it and choose Run as administrator)." /SD IDOK
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
FunctionEnd
!macroend
!insertmacro RequireAdmin ""
!insertmacro RequireAdmin "un."

Function .onInit
  SetShellVarContext all
  Call RequireAdmin
  Call FindSaverPath
FunctionEnd

Function OpenSaverSettings
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
FunctionEnd

Section "-Pyrelume" SecMain
  SetOutPath $SYSDIR
  ; A running saver cannot be replaced: say so instead of keeping the old file.
  SetOverwrite try
  ClearErrors
  File "${PYR_SCR}"
  File "${PYR_HELP}"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "$SYSDIR\${PRODUCT}.scr or Help.html could not be written. Close the screen saver and its settings, then run Setup again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
  SetOverwrite on
  GetFullPathName /SHORT $SaverShortPath $SaverPath

  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; Keep the user's current screen saver for the uninstaller, unless it is
  ; Pyrelume already (a reinstall keeps the one recorded the first time).
  Call IsPyrelumeSelected
  Pop $0
  ${If} $0 = 0
    DeleteRegValue HKLM "${UNINST_KEY}" "PreviousScreenSaver"
    DeleteRegValue HKLM "${UNINST_KEY}" "PreviousScreenSaveActive"
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${IfNot} ${Errors}
      WriteRegStr HKLM "${UNINST_KEY}" "PreviousScreenSaver" $1
    ${EndIf}
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${IfNot} ${Errors}
      WriteRegStr HKLM "${UNINST_KEY}" "PreviousScreenSaveActive" $1
    ${EndIf}
  ${EndIf}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $SaverPath
  ; Turns the screen saver on and tells running programs about the change.
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND}) i'

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${PYR_VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$SaverPath,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ; Size in KB: the installed files plus the uninstaller.
  SectionGetSize ${SecMain} $0
  ${GetSize} "$INSTDIR" "/M=Uninstall.exe /S=0K /G=0" $1 $2 $3
  IntOp $0 $0 + $1
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  Call un.RequireAdmin
  Call un.FindSaverPath
  ; Without the uninstall key there is no installation (removed already):
  ; say so and change nothing.
  ClearErrors
  ReadRegStr $0 HKLM "${UNINST_KEY}" "UninstallString"
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONINFORMATION "${PRODUCT} is not installed on this computer: there is nothing to remove." /SD IDOK
    SetErrorLevel 0
    Quit
  ${EndIf}
FunctionEnd

Section "un.Pyrelume"
  ${If} ${FileExists} $SaverPath
    GetFullPathName /SHORT $SaverShortPath $SaverPath
  ${EndIf}
  ; The previous screen saver comes back only while Pyrelume is still the one
  ; selected; a saver the user chose since then stays.
  Call un.IsPyrelumeSelected
  Pop $0
  ${If} $0 = 1
    ClearErrors
    ReadRegStr $1 HKLM "${UNINST_KEY}" "PreviousScreenSaver"
    ${If} ${Errors}
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${Else}
      WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $1
    ${EndIf}
    ClearErrors
    ReadRegStr $1 HKLM "${UNINST_KEY}" "PreviousScreenSaveActive"
    ${IfNot} ${Errors}
      IntOp $1 $1 + 0
      System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i $1, p 0, i ${SPIF_UPDATE_AND_SEND}) i'
    ${EndIf}
  ${EndIf}

  ; A saver still running goes when Windows restarts.
  Delete /REBOOTOK "$SYSDIR\${PRODUCT}.scr"
  Delete /REBOOTOK "$SYSDIR\Help.html"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The user's settings stay unless asked for (/REMOVESETTINGS when silent).
  ${un.GetParameters} $0
  ClearErrors
  ${un.GetOptions} $0 "/REMOVESETTINGS" $1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Also remove your ${PRODUCT} settings (flame, sounds, clock and display options)?" /SD IDNO IDYES remove_settings
    Goto settings_done
  ${EndIf}
  remove_settings:
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_COMPANY_KEY}"
  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "${SETTINGS_COMPANY_KEY}"
  settings_done:
SectionEnd
