; The Windows installer of Nimbrel, made by scripts/package windows with makensis:
;   makensis -DVERSION=<version> -DPROGRAM=<path of Nimbrel.exe> -DOUTFILE=<installer> Nimbrel.nsi
; It puts Nimbrel.exe under Program Files with a Start-menu shortcut and an uninstaller. The program keeps
; its settings in %APPDATA%\Nimbrel there (it cannot write its own folder), and the uninstaller leaves them.

; A 64-bit installer for the 64-bit program: it runs where the program does, Wine's wine64 included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Nimbrel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Nimbrel"
BrandingText "Nimbrel ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Nimbrel"
  SetOutPath "$INSTDIR"
  File "/oname=Nimbrel.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Nimbrel.lnk" "$INSTDIR\Nimbrel.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Nimbrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Nimbrel developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nimbrel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the installer put in place goes, by name: the user's settings.ini, Launcher.mbl and pictures in
; %APPDATA%\Nimbrel, and the program's values in the registry, stay for a later install.
Section "Uninstall"
  Delete "$SMPROGRAMS\Nimbrel.lnk"
  Delete "$INSTDIR\Nimbrel.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
