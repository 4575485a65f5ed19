; The per-user installer of Kinaru for Windows: the program, the archiver
; library, the self-extractor stubs and the help page go into the user's
; programs folder, with a Start-menu entry (the settings), a Send-to entry
; (files sent to Kinaru are packed) and an uninstaller in the user's list of
; apps. No administrator rights; /S installs and uninstalls silently.
;   makensis -DARCH=x86|amd64 -DBIN=<kinaru.exe, unlha32.dll> -DSTUBS=<stubs>
;            -DHELP=<Kinaru.html> -DOUT=<kinaru-setup.exe> kinaru.nsi
Unicode true
Target ${ARCH}-unicode
SetCompressor /SOLID lzma

!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kinaru"

Name "Kinaru"
Caption "Kinaru 2.5 セットアップ"
OutFile "${OUT}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Kinaru"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BIN}/kinaru.exe"
  File "${BIN}/unlha32.dll"
  File "${STUBS}/kinaru-sfx-console.exe"
  File "${STUBS}/kinaru-sfx-window.exe"
  File "${HELP}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Kinaru.lnk" "$INSTDIR\kinaru.exe"
  CreateShortCut "$SENDTO\Kinaru.lnk" "$INSTDIR\kinaru.exe"
  WriteRegStr HKCU "${KEY}" "DisplayName" "Kinaru"
  WriteRegStr HKCU "${KEY}" "DisplayVersion" "2.5"
  WriteRegStr HKCU "${KEY}" "DisplayIcon" "$INSTDIR\kinaru.exe"
  WriteRegStr HKCU "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Kinaru.lnk"
  Delete "$SENDTO\Kinaru.lnk"
  Delete "$INSTDIR\kinaru.exe"
  Delete "$INSTDIR\unlha32.dll"
  Delete "$INSTDIR\kinaru-sfx-console.exe"
  Delete "$INSTDIR\kinaru-sfx-window.exe"
  Delete "$INSTDIR\Kinaru.html"
  ; The settings file is ours too.
  Delete "$INSTDIR\kinaru.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${KEY}"
SectionEnd
