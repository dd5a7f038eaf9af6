; The Windows installer: Nomaro for the current user alone, without elevation, in the user's own
; programs folder, with a Start Menu shortcut, an uninstaller and its entry in Settings > Apps.
;   makensis -DSTAGE=DIR -DOUTFILE=FILE [-DSIGN=COMMAND] Nomaro.nsi
; STAGE holds the shipped files and Product.nsh (version, names, architecture), written by
; packaging/make-packages; SIGN, when given, is run on the uninstaller and on the installer.
; Switches beyond NSIS's own /S and /D=: /CONTEXTMENU selects the Explorer context-menu entry.
!include /CHARSET=UTF8 "${STAGE}/Product.nsh"

Unicode true
!if "${ARCH}" == "amd64"
    Target amd64-unicode
!else
    Target x86-unicode
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nomaro"
!define CONTEXT_KEY "Software\Classes\Directory\shell\Nomaro"
!define CONTEXT_TEXT "Lower-case names with Nomaro"
; What Nomaro itself keeps: its settings and its undo journals.
!define SETTINGS_KEY "SOFTWARE\Kestrith\Nomaro"
!define SETTINGS_PARENT_KEY "SOFTWARE\Kestrith"
!define JOURNAL_DIR "$LOCALAPPDATA\Kestrith\Nomaro"
!define JOURNAL_PARENT_DIR "$LOCALAPPDATA\Kestrith"
; Every running Nomaro holds this mutex.
!define INSTANCE_MUTEX "7A1C52E0-3B94-4F6D-9E21-C08D5B3A6F47"
!define SYNCHRONIZE 0x00100000
!define FOLDERID_UserProgramFiles "{5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma
; Where the known folder UserProgramFiles is unless the user moved it; .onInit asks for it.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; Installing over an earlier version goes where that one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"

!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif

!define MUI_ICON "${__FILEDIR__}/../src/resources/art/Nomaro.ico"
!define MUI_UNICON "${__FILEDIR__}/../src/resources/art/Nomaro.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

Section "Nomaro" SecProgram
    SectionIn RO
    SetOutPath "$INSTDIR"
    File "${STAGE}/Nomaro.exe"
    File "${STAGE}/nomaro.chm"
    File "${STAGE}/offer.pdf"
    File "${STAGE}/Readme.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; The shortcut starts Nomaro in $OUTDIR, its own folder: Help finds nomaro.chm there, and the
    ; numbering memory is kept there.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Nomaro.exe"
    ; An earlier install's context-menu entry stays only if the component below writes it again.
    DeleteRegKey HKCU "${CONTEXT_KEY}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nomaro.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section /o "Explorer context menu" SecContextMenu
    WriteRegStr HKCU "${CONTEXT_KEY}" "" "${CONTEXT_TEXT}"
    WriteRegStr HKCU "${CONTEXT_KEY}" "Icon" "$INSTDIR\Nomaro.exe"
    WriteRegStr HKCU "${CONTEXT_KEY}\command" "" '"$INSTDIR\Nomaro.exe" "%1"'
SectionEnd

Section "un.Nomaro" UnSecProgram
    SectionIn RO
    Delete "$INSTDIR\Nomaro.exe"
    Delete "$INSTDIR\nomaro.chm"
    Delete "$INSTDIR\offer.pdf"
    Delete "$INSTDIR\Readme.txt"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${CONTEXT_KEY}"
SectionEnd

Section /o "un.Settings and data" UnSecUserData
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
    ; The numbering memory of the shortcut's Nomaro, started in the program folder: the history
    ; file and the index files, named after a date and time.
    Delete "$INSTDIR\Nomaro.stdb"
    Delete "$INSTDIR\??????????????.idx"
    RMDir /r "${JOURNAL_DIR}"
    RMDir "${JOURNAL_PARENT_DIR}"
SectionEnd

Section "-un.Finish"
    ; Only an empty folder goes: the numbering memory may be left in it.
    RMDir "$INSTDIR"
    ; Last, so that the entry's going tells that the uninstall is done.
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Nomaro, its help and a Start Menu shortcut."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecContextMenu} "Adds $\"${CONTEXT_TEXT}$\" to the right-click menu of folders in Explorer."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

!insertmacro MUI_UNFUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecProgram} "Nomaro, its help, the Start Menu shortcut and the Explorer entry."
    !insertmacro MUI_DESCRIPTION_TEXT ${UnSecUserData} "Also removes your settings, the numbering memory in the program folder and the undo journals. Leave it unticked to keep them."
!insertmacro MUI_UNFUNCTION_DESCRIPTION_END

; A running Nomaro's files can be neither replaced nor removed: wait for the user to close it.
!macro WaitUntilNomaroIsClosed
    ${Do}
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${INSTANCE_MUTEX}") p .r0'
        ${If} $0 P= 0
            ${Break}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Nomaro is running. Close it, then choose Retry." /SD IDCANCEL IDRETRY +2
        Abort
    ${Loop}
!macroend

Function .onInit
    !insertmacro WaitUntilNomaroIsClosed
    ; Neither /D= nor an earlier install chose the folder: take the known folder, wherever it is.
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
        System::Call 'shell32::SHGetKnownFolderPath(g "${FOLDERID_UserProgramFiles}", i 0, p 0, *p .r0) i .r1'
        ${If} $1 = 0
            System::Call '*$0(&w${NSIS_MAX_STRLEN} .r2)'
            StrCpy $INSTDIR "$2\${PRODUCT}"
        ${EndIf}
        System::Call 'ole32::CoTaskMemFree(p r0)'
    ${EndIf}
    ; The context-menu entry is chosen by /CONTEXTMENU, and kept when an earlier install has it.
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/CONTEXTMENU" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecContextMenu}
    ${EndIf}
    ReadRegStr $1 HKCU "${CONTEXT_KEY}\command" ""
    ${If} $1 != ""
        !insertmacro SelectSection ${SecContextMenu}
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro WaitUntilNomaroIsClosed
FunctionEnd
