; The Windows installer: rx904-tool-VERSION-setup.exe, built by scripts/windows/package.sh
;   makensis -DVERSION=1.0 -DSTAGE=<folder with the program> -DICON=<.ico> -DOUTFILE=<.exe>
;            -DREMOVE=<.nsh deleting each staged file and folder, deepest first>
; Installs for all users under Program Files, with a Start-menu entry and an uninstaller
; that Windows' "应用和功能" lists.
; A 64-bit installer for the 64-bit program; it also runs under a wine without 32-bit support.
Target amd64-unicode
!include "MUI2.nsh"

!define NAME "RX904智能电压控制器工具软件"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\RX904Tool"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\RX904Tool"
InstallDirRegKey HKLM "${KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
Icon "${ICON}"
UninstallIcon "${ICON}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\rx904-tool.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Install"
    SetShellVarContext all
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\rx904-tool.exe" "" "$INSTDIR\rx904-tool.exe" 0
    WriteRegStr HKLM "${KEY}" "DisplayName" "${NAME}"
    WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\rx904-tool.exe"
    WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${NAME}.lnk"
    ; File by file what the installer put there, so that a folder chosen by the user keeps
    ; whatever else it holds; the program keeps its settings in the user's profile.
    !include "${REMOVE}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${KEY}"
SectionEnd
