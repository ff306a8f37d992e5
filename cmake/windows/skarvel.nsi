; The Windows installer of Skarvel, made by cmake/windows/package.sh:
;   makensis -DVERSION=... -DFILES=files.nsh -DUNFILES=unfiles.nsh -DOUTFILE=... -DICON=... -DSIZE_KB=... skarvel.nsi
;
; Per user, into %LOCALAPPDATA%\Programs\Skarvel: it needs no administrator,
; which a therapist at a practice computer or a patient at home often is not,
; and the records and settings it works with are the user's own anyway. The
; uninstaller is listed under "Apps" for that user and removes exactly the
; files installed; the records and word lists in %APPDATA%\skarvel and the
; settings under HKCU\Software\Pondrel\Skarvel stay.

; A 64-bit installer for a 64-bit program: it also runs where Windows (or
; Wine) has no 32-bit layer.
Target amd64-unicode
!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Skarvel"
; A homework file (*.skarvel) opens in Skarvel with a double-click, for this user.
!define HOMEWORK_CLASS "Software\Classes\Pondrel.Skarvel.Hausaufgabe"

Name "Skarvel"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Skarvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
BrandingText "Pondrel"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\skarvel.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Skarvel jetzt starten"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_GERMAN} "ProductName" "Skarvel"
VIAddVersionKey /LANG=${LANG_GERMAN} "CompanyName" "Pondrel"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileDescription" "Skarvel – Wort- und Rechtschreibtrainer (Installation)"
VIAddVersionKey /LANG=${LANG_GERMAN} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_GERMAN} "LegalCopyright" "Pondrel"

Section "Skarvel"
    SetShellVarContext current
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\Deinstallieren.exe"
    CreateShortcut "$SMPROGRAMS\Skarvel.lnk" "$INSTDIR\skarvel.exe" "" "$INSTDIR\skarvel.exe" 0 \
        SW_SHOWNORMAL "" "Wort- und Rechtschreibtrainer für die Aphasietherapie"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Skarvel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Pondrel"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\skarvel.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Deinstallieren.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Deinstallieren.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}

    WriteRegStr HKCU "Software\Classes\.skarvel" "" "Pondrel.Skarvel.Hausaufgabe"
    WriteRegStr HKCU "${HOMEWORK_CLASS}" "" "Skarvel-Hausaufgabe"
    WriteRegStr HKCU "${HOMEWORK_CLASS}\DefaultIcon" "" "$INSTDIR\skarvel.exe,0"
    WriteRegStr HKCU "${HOMEWORK_CLASS}\shell\open\command" "" '"$INSTDIR\skarvel.exe" "%1"'
    ; Explorer shows the new icon without a restart.
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Skarvel.lnk"
    !include "${UNFILES}"
    Delete "$INSTDIR\Deinstallieren.exe"
    ; Only if empty: whatever else the user put there stays.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    DeleteRegKey HKCU "${HOMEWORK_CLASS}"
    ; Only while it still names ours.
    ReadRegStr $0 HKCU "Software\Classes\.skarvel" ""
    StrCmp $0 "Pondrel.Skarvel.Hausaufgabe" 0 +2
    DeleteRegKey HKCU "Software\Classes\.skarvel"
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
