; The Windows installer of Nimbrel, made by scripts/package windows with makensis:
;   makensis -DVERSION=<version> -DPROGRAM=<path of Nimbrel.exe> -DOUTFILE=<installer> Nimbrel.nsi
; It puts Nimbrel.exe under Program Files with a Start-menu shortcut and an uninstaller. The program keeps
; its settings in %APPDATA%\Nimbrel there (the entry's InstallLocation tells it that it is the installed
; copy), and the uninstaller leaves them.
;
; Nimbrel starts at logon and sits in the tray, so a running copy is the usual case for both: each asks the
; copy of the folder it installs to or removes to end as its "Exit Nimbrel" does and waits for it; a copy
; from another folder (a portable one) is left alone. A copy that stays, or a program file that cannot be
; written or removed, stops them before they change anything, with a message, or under /S with exit code 2.
; An upgrade starts the new program again when it ended the old one.

; A 64-bit installer for the 64-bit program: it runs where the program does, Wine's wine64 included.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "Nimbrel"
Caption "Nimbrel ${VERSION} Setup"
UninstallCaption "Nimbrel ${VERSION} Uninstall"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Nimbrel"
; An upgrade goes where the installed copy is, wherever that was chosen.
InstallDirRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel" "InstallLocation"
BrandingText "Nimbrel ${VERSION}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nimbrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PUBLISHER "Nimbrel developers"

; How a running Nimbrel is found and asked to end: it holds this mutex for its whole life, and its hidden
; window (this class and title) ends the program on this message (WM_APP + 3), whose wParam is the asking
; process's id. The request stands while the asker holds an event of this name followed by that id: one
; taken back finds the program staying, and a program that takes it holds the event too until it is gone.
!define PROGRAM_MUTEX "Local\Nimbrel"
!define PROGRAM_WINDOW_CLASS "ThunderRT6Main"
!define PROGRAM_WINDOW_TITLE "Nimbrel"
!define PROGRAM_EXIT_REQUEST 0x8003
!define PROGRAM_EXIT_REQUEST_SIGN "Local\NimbrelExitRequest-"
; How long it is given to end, in steps of a tenth of a second.
!define PROGRAM_PATIENCE 100
!define SYNCHRONIZE 0x00100000
!define PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define ERROR_FILE_NOT_FOUND 2
!define MOVEFILE_REPLACE_EXISTING 1
; The exit code of an installer or uninstaller that stopped before its work was done.
!define EXIT_STOPPED 2

; The version resource wants four numbers: 5.0 is 5.0.0.0.
!searchparse /noerrors "${VERSION}" "" VERSION_1 "." VERSION_2 "." VERSION_3 "." VERSION_4
!ifndef VERSION_2
  !define VERSION_2 0
!endif
!ifndef VERSION_3
  !define VERSION_3 0
!endif
!ifndef VERSION_4
  !define VERSION_4 0
!endif

!define MUI_ICON "../../src/ui/win32/Nimbrel.ico"
!define MUI_UNICON "../../src/ui/win32/Nimbrel.ico"
; The finish page's picture: the icon on a light ground (164 x 314 pixels, as the page wants it).
!define MUI_WELCOMEFINISHPAGE_BITMAP "Nimbrel-wizard.bmp"
!define MUI_ABORTWARNING
!define MUI_UNABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Run Nimbrel"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFinishPage
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
VIFileVersion "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Nimbrel"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Nimbrel memory optimiser setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${PUBLISHER}"

; 1 when this installer ended a running Nimbrel; 1 when it started the new one.
Var ProgramWasRunning
Var ProgramStarted

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

; Whether the Nimbrel of the window on the stack runs from this folder's Nimbrel.exe: 1 or 0 on the stack.
; Both paths are compared in their long form, letter case aside; a program that cannot be asked is not this
; folder's (Windows keeps a running program's file from being replaced, so Setup then stops there).
!macro PROGRAM_OF_THIS_FOLDER PREFIX
Function ${PREFIX}IsProgramOfThisFolder
  Exch $0 ; the window, then the answer
  Push $1 ; its process id, then a length
  Push $2 ; its process
  Push $3 ; its program file
  Push $4 ; a path in its long form
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}, i 0, i r1) p .r2'
  StrCpy $0 0
  ${If} $2 P<> 0
    System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN}) i .r1'
    System::Call 'kernel32::CloseHandle(p r2)'
    ${If} $1 <> 0
      System::Call 'kernel32::GetLongPathNameW(w r3, w .r4, i ${NSIS_MAX_STRLEN}) i .r1'
      ${IfThen} $1 <> 0 ${|} StrCpy $3 $4 ${|}
      System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\Nimbrel.exe", w .r4, i ${NSIS_MAX_STRLEN}) i .r1'
      ${IfThen} $1 = 0 ${|} StrCpy $4 "$INSTDIR\Nimbrel.exe" ${|}
      ; StrCmp, and so ==, ignores case, as Windows does in a path.
      ${IfThen} $3 == $4 ${|} StrCpy $0 1 ${|}
    ${EndIf}
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro PROGRAM_OF_THIS_FOLDER ""
!insertmacro PROGRAM_OF_THIS_FOLDER "un."

; Ends the Nimbrel of this folder, as its "Exit Nimbrel" does, and waits for it. Sets $ProgramWasRunning to 1
; when it asked one to end, and leaves on the stack 1 when one still runs after the wait, else 0. Nimbrel runs
; once in a session: a copy of another folder (a portable one) running is left alone, and there is nothing
; to end. A copy that is still starting has its mutex before its window: it is asked as soon as the window
; shows. A request left unanswered (a copy that hangs) is taken back, so that the copy does not end later,
; when Setup has said that nothing was changed.
!macro END_RUNNING_PROGRAM PREFIX
Function ${PREFIX}EndRunningProgram
  Push $0 ; step
  Push $1 ; the program's window
  Push $2 ; the window already asked
  Push $3 ; the mutex, or its absence's error
  Push $4 ; the asked program's process
  Push $5 ; its id
  Push $6 ; still running
  Push $7 ; 1 when the window's program is this folder's
  Push $8 ; this process's id, which the request carries
  Push $9 ; the request's sign, held while the request stands
  StrCpy $ProgramWasRunning 0
  StrCpy $2 0
  StrCpy $4 0
  StrCpy $6 0
  System::Call 'kernel32::GetCurrentProcessId() i .r8'
  System::Call 'kernel32::CreateEventW(p 0, i 1, i 0, w "${PROGRAM_EXIT_REQUEST_SIGN}$8") p .r9'
  ${For} $0 0 ${PROGRAM_PATIENCE}
    FindWindow $1 "${PROGRAM_WINDOW_CLASS}" "${PROGRAM_WINDOW_TITLE}"
    System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${PROGRAM_MUTEX}") p .r3 ?e'
    Pop $5
    ; A mutex that cannot be opened for any other reason than its absence is there all the same.
    ${If} $3 P<> 0
      System::Call 'kernel32::CloseHandle(p r3)'
      StrCpy $6 1
    ${ElseIf} $5 = ${ERROR_FILE_NOT_FOUND}
      StrCpy $6 0
    ${Else}
      StrCpy $6 1
    ${EndIf}
    ${If} $1 P<> 0
      Push $1
      Call ${PREFIX}IsProgramOfThisFolder
      Pop $7
      ; Another folder's copy holds the session's Nimbrel: this folder's is not running.
      ${If} $7 = 0
        StrCpy $6 0
        ${Break}
      ${EndIf}
      StrCpy $6 1
    ${EndIf}
    ${If} $6 = 0
      ${Break}
    ${EndIf}
    ${If} $1 P<> 0
    ${AndIf} $1 P<> $2
      ${If} $2 = 0
        DetailPrint "Closing Nimbrel..."
      ${EndIf}
      ${If} $4 P<> 0
        System::Call 'kernel32::CloseHandle(p r4)'
      ${EndIf}
      System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r5)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r5) p .r4'
      System::Call 'user32::PostMessageW(p r1, i ${PROGRAM_EXIT_REQUEST}, p r8, p 0)'
      StrCpy $2 $1
      StrCpy $ProgramWasRunning 1
    ${EndIf}
    Sleep 100
  ${Next}
  ; The request is taken back; a copy that took it meanwhile holds its sign, and is ending.
  System::Call 'kernel32::CloseHandle(p r9)'
  ${If} $6 = 1
  ${AndIf} $4 P<> 0
    System::Call 'kernel32::OpenEventW(i ${SYNCHRONIZE}, i 0, w "${PROGRAM_EXIT_REQUEST_SIGN}$8") p .r3'
    ${If} $3 P<> 0
      System::Call 'kernel32::CloseHandle(p r3)'
      System::Call 'kernel32::WaitForSingleObject(p r4, i 5000) i .r5'
      ${IfThen} $5 = 0 ${|} StrCpy $6 0 ${|}
    ${EndIf}
  ${EndIf}
  ; The program's file is free once its process is gone, a moment after its mutex.
  ${If} $4 P<> 0
    ${If} $6 = 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i 5000)'
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r4)'
  ${EndIf}
  StrCpy $0 $6
  Pop $9
  Pop $8
  Pop $7
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd
!macroend
!insertmacro END_RUNNING_PROGRAM ""
!insertmacro END_RUNNING_PROGRAM "un."

; Stops the installer or uninstaller, changing nothing more: the reason is shown (not under /S) and the
; exit code says it.
!macro STOP TEXT
  DetailPrint "${TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
  SetErrorLevel ${EXIT_STOPPED}
  Abort
!macroend

; Starts the installed program as the user would, not with the installer's administrator rights: the
; desktop shell (explorer.exe) starts it, as a double-click on it would.
Function StartProgram
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\Nimbrel.exe"'
  StrCpy $ProgramStarted 1
FunctionEnd

; Stops Setup after it ended a running Nimbrel: the program in place (the old one, or the new one once it took
; its place) is started again first, so the user is not left without it.
!macro STOP_AFTER_ENDING TEXT
  ${If} $ProgramWasRunning = 1
    Call StartProgram
  ${EndIf}
  !insertmacro STOP "${TEXT}"
!macroend

; A program started already, as the one the upgrade ended, is not started twice: the page says it runs.
Function ShowFinishPage
  ${If} $ProgramStarted = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    SendMessage $mui.FinishPage.Text ${WM_SETTEXT} 0 "STR:Nimbrel has been installed on your computer. It was running, and has been started again.$\r$\n$\r$\nClick Finish to close Setup."
  ${EndIf}
FunctionEnd

Section "Nimbrel"
  Call EndRunningProgram
  Pop $0
  ${If} $0 = 1
    !insertmacro STOP "Nimbrel is running and did not close when asked. Choose Exit Nimbrel in its tray menu, then run Setup again. Nothing was changed."
  ${EndIf}

  ; The new program is written beside the old one, then takes its place in one step: a write that fails
  ; leaves the old program whole.
  SetOutPath "$INSTDIR"
  ClearErrors
  SetOverwrite try
  File "/oname=Nimbrel.exe.new" "${PROGRAM}"
  SetOverwrite on
  ${If} ${Errors}
    Delete "$INSTDIR\Nimbrel.exe.new"
    !insertmacro STOP_AFTER_ENDING "Setup could not write Nimbrel.exe in $INSTDIR. Nothing was changed."
  ${EndIf}
  System::Call 'kernel32::MoveFileExW(w "$INSTDIR\Nimbrel.exe.new", w "$INSTDIR\Nimbrel.exe", i ${MOVEFILE_REPLACE_EXISTING}) i .r0'
  ${If} $0 = 0
    Delete "$INSTDIR\Nimbrel.exe.new"
    !insertmacro STOP_AFTER_ENDING "Setup could not replace $INSTDIR\Nimbrel.exe: it is in use, perhaps by another user's Nimbrel. Nothing was changed."
  ${EndIf}

  ClearErrors
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    !insertmacro STOP_AFTER_ENDING "Setup could not write the uninstaller in $INSTDIR."
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Nimbrel.lnk" "$INSTDIR\Nimbrel.exe"

  ; The program reads InstallLocation to know that it is the installed copy.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Nimbrel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nimbrel.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $ProgramWasRunning = 1
    Call StartProgram
  ${EndIf}
SectionEnd

; Removes the user's "Start with Windows" value when it starts this installation's program: quoted or not,
; with backslashes or (as older versions wrote it, without .exe) a slash. A value naming another copy stays.
Function un.RemoveStartWithWindows
  ReadRegStr $0 HKCU "${RUN_KEY}" "Nimbrel"
  ${If} $0 == ""
    Return
  ${EndIf}
  StrCpy $1 $0 1
  StrCpy $2 $0 1 -1
  ${If} $1 == '"'
  ${AndIf} $2 == '"'
    StrCpy $0 $0 -1 1
  ${EndIf}
  StrCpy $1 ""
  StrCpy $3 0
  ${Do}
    StrCpy $2 $0 1 $3
    ${IfThen} $2 == "/" ${|} StrCpy $2 "\" ${|}
    StrCpy $1 "$1$2"
    IntOp $3 $3 + 1
  ${LoopUntil} $2 == ""
  ; StrCmp, and so ==, ignores case, as Windows does in a path.
  ${If} $1 == "$INSTDIR\Nimbrel.exe"
  ${OrIf} $1 == "$INSTDIR\Nimbrel"
    DeleteRegValue HKCU "${RUN_KEY}" "Nimbrel"
  ${EndIf}
FunctionEnd

; What the installer put in place goes, by name: the user's settings.ini, Launcher.mbl and pictures in
; %APPDATA%\Nimbrel, and the program's values in the registry, stay for a later install.
Section "Uninstall"
  Call un.EndRunningProgram
  Pop $0
  ${If} $0 = 1
    !insertmacro STOP "Nimbrel is running and did not close when asked. Choose Exit Nimbrel in its tray menu, then uninstall it again. Nothing was removed."
  ${EndIf}
  ClearErrors
  Delete "$INSTDIR\Nimbrel.exe"
  ${If} ${Errors}
    !insertmacro STOP "$INSTDIR\Nimbrel.exe could not be removed: it is in use, perhaps by another user's Nimbrel. Nothing was removed."
  ${EndIf}
  Call un.RemoveStartWithWindows
  ; A new program that a Setup cut short (by a power cut, say) left beside the old one.
  Delete "$INSTDIR\Nimbrel.exe.new"
  Delete "$SMPROGRAMS\Nimbrel.lnk"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
