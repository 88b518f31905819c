; akkusim's setup for Windows (Debian's makensis, 64-bit Unicode target).
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DFILES=<folder> -DOUTFILE=<setup.exe> akkusim.nsi
; FILES holds what the build installs beside the executable (cmake --install).
; For all users (the default with administrator rights) or for the current
; user only; silent with /S, for the current user with /S /CurrentUser.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define APP "akkusim"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\akkusim"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!include MultiUser.nsh
!include MUI2.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${APP}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "FileDescription" "${APP} ${VERSION} Setup"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "${APP}"

!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "akkusim"
  SetOutPath "$INSTDIR"
  File /r "${FILES}\*"
  ; The installed akkusim keeps learners' programs in their documents folder:
  ; the install folder may be read-only, and it goes with the uninstaller.
  FileOpen $0 "$INSTDIR\installiert.txt" w
  FileWrite $0 "akkusim ist installiert: die Programme der Lernenden liegen in Dokumente\akkusim\Programme.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\Deinstallieren.exe"
  CreateShortCut "$SMPROGRAMS\akkusim.lnk" "$INSTDIR\akkusim.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\akkusim.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Deinstallieren.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Deinstallieren.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ; Only what the setup put there: the folder may have been chosen by hand.
  ; The learners' programs are in their documents folders and stay.
  !include "${FILES}.uninstall.nsh"
  Delete "$INSTDIR\installiert.txt"
  Delete "$INSTDIR\Deinstallieren.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\akkusim.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
