; The Windows installer: per user, no administrator rights, a Start-menu entry and an
; uninstaller. scripts/windows passes VERSION, PAYLOAD (the files to install), ICON and OUTFILE,
; and TARGET amd64-unicode for the 64-bit test build (on a machine without 32-bit Wine).
!ifdef TARGET
Target ${TARGET}
!else
Unicode true
!endif
RequestExecutionLevel user
; Sharp text on monitors scaled above 100 %: the installer draws at the monitor's DPI.
ManifestDPIAware true
SetCompressor /SOLID lzma

Name "Vexlorn"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Vexlorn"
InstallDirRegKey HKCU "Software\Vexlorn" "InstallDir"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Vexlorn"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vexlorn installer"
VIAddVersionKey "LegalCopyright" "Vexlorn developers"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vexlorn"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vexlorn"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${PAYLOAD}\vexlorn.exe"
  File "${PAYLOAD}\vexlorn-demo.dat"
  File "${PAYLOAD}\vexlorn.url"
  File "${PAYLOAD}\licences.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The installed game keeps its hall of fame and settings in %APPDATA%\Vexlorn.
  CreateShortCut "$SMPROGRAMS\Vexlorn.lnk" "$INSTDIR\vexlorn.exe" "-user-data" \
    "$INSTDIR\vexlorn.exe" 0
  WriteRegStr HKCU "Software\Vexlorn" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vexlorn"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Vexlorn developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vexlorn.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program's files only: the hall of fame in %APPDATA%\Vexlorn is the player's and stays.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Vexlorn.lnk"
  Delete "$INSTDIR\vexlorn.exe"
  Delete "$INSTDIR\vexlorn-demo.dat"
  Delete "$INSTDIR\vexlorn.url"
  Delete "$INSTDIR\licences.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Vexlorn"
SectionEnd
