; Per-user installer of Lumora for Windows: no administrator rights, into
; %LOCALAPPDATA%\Programs\Lumora, with a Start-menu entry and an uninstaller
; registered for the user. /S installs (and uninstalls) silently.
;
;   makensis -DVERSION=x.y.z -DBUILD=<build-windows> -DSOURCE=<tree> -DOUTFILE=<setup.exe> lumora.nsi

; A 64-bit installer for 64-bit programs: it runs where they run, also on a
; system (or a Wine) without 32-bit support.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora"

Name "Lumora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lumora"
Icon "${SOURCE}\src\ui\resources\lumora.ico"
UninstallIcon "${SOURCE}\src\ui\resources\lumora.ico"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Lumora"
VIAddVersionKey "FileDescription" "Lumora ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "See LICENSE.txt"

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles
LicenseData "${SOURCE}\LICENSE"

Section "Lumora"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BUILD}\lumora.exe"
  File "${BUILD}\lumora-cli.exe"
  File "/oname=LICENSE.txt" "${SOURCE}\LICENSE"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Lumora.lnk" "$INSTDIR\lumora.exe"
  CreateShortCut "$SMPROGRAMS\Lumora Commissioning.lnk" "$INSTDIR\lumora.exe" "--commission"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Lumora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Lumora"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumora.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Lumora.lnk"
  Delete "$SMPROGRAMS\Lumora Commissioning.lnk"
  Delete "$INSTDIR\lumora.exe"
  Delete "$INSTDIR\lumora-cli.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
