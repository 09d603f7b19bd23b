; The installer of the ZENTROLA Configurator for 64-bit Windows, made by scripts/package-windows:
;   makensis -DVERSION=92 -DSOURCE=<the unpacked program folder> -DICON=<zentrola.ico>
;            -DOUTFILE=<setup.exe> zentrola.nsi
; Installs for all users into Program Files, adds a Start menu entry, registers the uninstaller
; with Windows' list of apps and opens .ign files in the program. "setup.exe /S" installs
; without asking, "uninstall.exe /S" removes it again.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "x64.nsh"

!define PRODUCT "ZENTROLA Configurator"
!define PUBLISHER "ZENTROLA Configurator developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define FILE_CLASS "ZENTROLA.ParameterFile"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "Software\${PRODUCT}" "InstallDir"
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "See LICENSE.txt"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\zentrola.exe"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${SOURCE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The setup speaks the program's four languages; the first is the default.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "French"
!insertmacro MUI_LANGUAGE "Czech"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "This program needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
  SetShellVarContext all
  !insertmacro MUI_LANGDLL_DISPLAY
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Program"
  SetOutPath "$INSTDIR"
  File /r "${SOURCE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "Software\${PRODUCT}" "InstallDir" "$INSTDIR"

  ; The Start menu entry; the manual and the command line program are reached from the window.
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zentrola.exe" "" "$INSTDIR\zentrola.exe" 0

  ; Windows' list of apps.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zentrola.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" 40000

  ; .ign files open in the program by a double click.
  WriteRegStr HKLM "Software\Classes\.ign" "" "${FILE_CLASS}"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}" "" "ZENTROLA parameter file"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\DefaultIcon" "" "$INSTDIR\zentrola.exe,0"
  WriteRegStr HKLM "Software\Classes\${FILE_CLASS}\shell\open\command" "" '"$INSTDIR\zentrola.exe" "%1"'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Only the program's own files: settings live in the user's application data folder and
  ; stay for a later install.
  RMDir /r "$INSTDIR"
  ; The association goes only while it is still ours.
  ReadRegStr $0 HKLM "Software\Classes\.ign" ""
  StrCmp $0 "${FILE_CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.ign"
  DeleteRegKey HKLM "Software\Classes\${FILE_CLASS}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "Software\${PRODUCT}"
SectionEnd
