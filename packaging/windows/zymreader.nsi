; The ZYM Reader installer for Windows. scripts/windows makes it:
;   makensis -DVERSION=1.0 -DVERSION4=1.0.0.0 -DSTAGE=<program folder> -DOUTFILE=<setup .exe> zymreader.nsi
;
; The program keeps ZYMReader.ini, and by default its archive (DATA\), beside
; itself, so it is installed for the current user into a folder that user may
; write, %LOCALAPPDATA%\Programs\ZYMReader, never into Program Files, and no
; administrator rights are asked for. /S installs silently (offices),
; /D=<folder> (last on the command line) chooses another folder.
;
; Installing again over an installation keeps its ZYMReader.ini, and the
; uninstaller removes only what the installer put there: the settings and the
; archive are the user's.

; A 64-bit installer for a 64-bit program: it runs wherever the program does.
Target amd64-unicode
!include "MUI2.nsh"

!ifndef VERSION
  !error "VERSION is not set (scripts/windows sets it)"
!endif

Name "ZYM Reader ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\ZYMReader"
InstallDirRegKey HKCU "Software\ZYMReader" "InstallDir"
RequestExecutionLevel user
SetCompressor /SOLID lzma

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "ZYM Reader"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "ZYM Reader ${VERSION} setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "GNU General Public License, version 3"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\ZYMReader.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Polish"
!insertmacro MUI_LANGUAGE "English"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZYMReader"

Section "ZYM Reader"
  SetOutPath "$INSTDIR"
  File /r /x ZYMReader.ini "${STAGE}\*.*"
  ; The user's settings stay as they are.
  SetOverwrite off
  File "${STAGE}\ZYMReader.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\ZYM Reader"
  CreateShortcut "$SMPROGRAMS\ZYM Reader\ZYM Reader.lnk" "$INSTDIR\ZYMReader.exe"
  CreateShortcut "$SMPROGRAMS\ZYM Reader\Odinstaluj ZYM Reader.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "Software\ZYMReader" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "ZYM Reader"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZYMReader.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\ZYMReader.exe"
  Delete "$INSTDIR\zymreader-cli.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\qt.conf"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\sqldrivers"
  RMDir /r "$INSTDIR\printsupport"
  Delete "$INSTDIR\translations\*.qm"
  RMDir "$INSTDIR\translations"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when nothing of the user's is left in it (ZYMReader.ini, DATA\).
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\ZYM Reader\ZYM Reader.lnk"
  Delete "$SMPROGRAMS\ZYM Reader\Odinstaluj ZYM Reader.lnk"
  RMDir "$SMPROGRAMS\ZYM Reader"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\ZYMReader"
SectionEnd
