; The Windows installer: Nomaro for the current user alone, without elevation, in the user's own
; programs folder, with a Start Menu shortcut, an uninstaller and its entry in Settings > Apps.
;   makensis -DSTAGE=DIR -DOUTFILE=FILE [-DSETUP_TARGET=amd64] [-DSIGN=COMMAND] Nomaro.nsi
; STAGE, written by packaging/make-packages, holds Product.nsh (version, names) and the shipped
; files of each program: x86/ the 32-bit Nomaro and the files beside it, x64/ the 64-bit one's.
; The installer carries both programs and installs the 64-bit one on x64 Windows, the 32-bit one
; elsewhere. It is a 32-bit program itself so that it runs on every Windows; SETUP_TARGET=amd64
; makes it a 64-bit one, for a test machine that runs no 32-bit code. SIGN, when given, is run on
; the uninstaller and on the installer.
; Switches beyond NSIS's own /S and /D=: /CONTEXTMENU selects the Explorer context-menu entry;
; the uninstaller's /PURGE also removes the settings, the numbering memory and the undo journals.
!include /CHARSET=UTF8 "${STAGE}/Product.nsh"

Unicode true
!ifndef SETUP_TARGET
    !define SETUP_TARGET x86
!endif
Target ${SETUP_TARGET}-unicode

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include x64.nsh

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
; Installing over an earlier version, 32-bit or 64-bit, goes where that one is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PUBLISHER}"

!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif

!define MUI_ICON "${__FILEDIR__}/../src/resources/art/Nomaro.ico"
!define MUI_UNICON "${__FILEDIR__}/../src/resources/art/Nomaro.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}/x86/License.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; Pages are never shown in silent mode, so neither is this offer.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "&Run ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION RunNomaro
!insertmacro MUI_PAGE_FINISH
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
    ; Only x64 Windows runs the 64-bit program natively: ARM64 Windows 10 cannot run it at all,
    ; and every Windows runs the 32-bit one. The same name replaces a 32-bit install in place.
    ${If} ${IsNativeAMD64}
        File "${STAGE}/x64/Nomaro.exe"
    ${Else}
        File "${STAGE}/x86/Nomaro.exe"
    ${EndIf}
    File "${STAGE}/x86/nomaro.chm"
    File "${STAGE}/x86/offer.pdf"
    File "${STAGE}/x86/Readme.txt"
    File "${STAGE}/x86/License.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    ; The shortcut starts Nomaro in $OUTDIR, its own folder: Help finds nomaro.chm there, and the
    ; numbering memory is kept there.
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Nomaro.exe" "" "" 0 SW_SHOWNORMAL "" "${DESCRIPTION}"
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

; Deletes the files of FOLDER that PATTERN finds and the name test TEST accepts. The pattern only
; narrows the search: Windows also matches it against short 8.3 names.
!macro DeleteOwnFiles FOLDER PATTERN TEST
    FindFirst $R8 $R9 "${FOLDER}\${PATTERN}"
    ${DoWhile} $R9 != ""
        Push $R9
        Call ${TEST}
        Pop $R7
        ${If} $R7 = 1
            Delete "${FOLDER}\$R9"
        ${EndIf}
        FindNext $R8 $R9
    ${Loop}
    FindClose $R8
!macroend

Section "un.Nomaro" UnSecProgram
    SectionIn RO
    Delete "$INSTDIR\Nomaro.exe"
    Delete "$INSTDIR\nomaro.chm"
    Delete "$INSTDIR\offer.pdf"
    Delete "$INSTDIR\Readme.txt"
    Delete "$INSTDIR\License.txt"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${CONTEXT_KEY}"
SectionEnd

Section /o "un.Settings and data" UnSecUserData
    DeleteRegKey HKCU "${SETTINGS_KEY}"
    DeleteRegKey /ifempty HKCU "${SETTINGS_PARENT_KEY}"
    ; The numbering memory of the shortcut's Nomaro, started in the program folder, and nothing
    ; else of that folder: the history file with its backups and temporary file, the index files.
    !insertmacro DeleteOwnFiles "$INSTDIR" "Nomaro.stdb*" un.IsHistoryFileName
    !insertmacro DeleteOwnFiles "$INSTDIR" "*.idx" un.IsIndexFileName
    !insertmacro DeleteOwnFiles "${JOURNAL_DIR}" "Run-*" un.IsJournalFileName
    ; The folders go only when nothing else is left in them.
    RMDir "${JOURNAL_DIR}"
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

; The finish page's offer starts Nomaro as the shortcut does, in its own folder.
Function RunNomaro
    SetOutPath "$INSTDIR"
    Exec '"$INSTDIR\Nomaro.exe"'
FunctionEnd

Function un.onInit
    !insertmacro WaitUntilNomaroIsClosed
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/PURGE" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UnSecUserData}
    ${EndIf}
FunctionEnd

; The purge's name tests: each takes a file name from the stack and leaves 1 when the name is one
; of Nomaro's own, else 0. Names compare without regard to case, as Windows compares them.

; 1 when the text on the stack is one or more of the digits 0 to 9.
Function un.AreDigits
    Exch $0
    Push $1
    Push $2
    Push $3
    StrCpy $2 0
    StrCpy $3 0
    ${Do}
        StrCpy $1 $0 1 $2
        ${If} $1 == ""
            ${Break}
        ${EndIf}
        ; A digit is the one character that reads back as the number it is.
        IntOp $3 $1 + 0
        ${If} $3 S!= $1
            StrCpy $3 -1
            ${Break}
        ${EndIf}
        IntOp $2 $2 + 1
    ${Loop}
    ${If} $2 > 0
    ${AndIf} $3 >= 0
        StrCpy $0 1
    ${Else}
        StrCpy $0 0
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Nomaro.stdb, its backups Nomaro.stdb.bak and Nomaro.stdb.N.bak, its temporary files Nomaro.stdb.tmp and
; Nomaro.stdb.N.tmp.
Function un.IsHistoryFileName
    Exch $0
    Push $1
    ${If} $0 == "Nomaro.stdb"
    ${OrIf} $0 == "Nomaro.stdb.bak"
    ${OrIf} $0 == "Nomaro.stdb.tmp"
        StrCpy $0 1
    ${Else}
        StrCpy $1 $0 12
        ${If} $1 == "Nomaro.stdb."
            StrCpy $1 $0 "" -4
            ${If} $1 == ".bak"
            ${OrIf} $1 == ".tmp"
                StrCpy $1 $0 -4 12
                Push $1
                Call un.AreDigits
                Pop $0
            ${Else}
                StrCpy $0 0
            ${EndIf}
        ${Else}
            StrCpy $0 0
        ${EndIf}
    ${EndIf}
    Pop $1
    Exch $0
FunctionEnd

; An index: YYYYMMDDhhmmss.idx.
Function un.IsIndexFileName
    Exch $0
    Push $1
    StrLen $1 $0
    ${If} $1 = 18
        StrCpy $1 $0 "" 14
        ${If} $1 == ".idx"
            StrCpy $1 $0 14
            Push $1
            Call un.AreDigits
            Pop $0
        ${Else}
            StrCpy $0 0
        ${EndIf}
    ${Else}
        StrCpy $0 0
    ${EndIf}
    Pop $1
    Exch $0
FunctionEnd

; An undo journal, Run-*.journal, or one set aside as damaged, Run-*.journal.unreadable.
Function un.IsJournalFileName
    Exch $0
    Push $1
    StrCpy $1 $0 4
    ${If} $1 == "Run-"
        StrCpy $1 $0 "" -8
        ${If} $1 == ".journal"
            StrCpy $0 1
        ${Else}
            StrCpy $1 $0 "" -19
            ${If} $1 == ".journal.unreadable"
                StrCpy $0 1
            ${Else}
                StrCpy $0 0
            ${EndIf}
        ${EndIf}
    ${Else}
        StrCpy $0 0
    ${EndIf}
    Pop $1
    Exch $0
FunctionEnd
