; Gridloom's setup program for Windows. The build makes it (target installer) with
;   makensis -DGRIDLOOM_GENERATED=<folder> Gridloom.nsi
; where <folder> holds GridloomIdentity.nsh (the program's identity and this build's target)
; and GridloomFiles.nsh (the programs), both made from the build's own description.
;
; It copies the programs into Program Files\<developer>\Gridloom, puts a shortcut to the
; window program in the Start menu of all users, and registers its uninstaller with Windows.
; That is all it writes: Skylune's folder is Skylune's installer's business. The uninstaller
; removes exactly those things again. /S installs or uninstalls without asking anything.

!include "${GRIDLOOM_GENERATED}/GridloomIdentity.nsh"
!include "${GRIDLOOM_GENERATED}/GridloomFiles.nsh"

Target ${GRIDLOOM_TARGET}
SetCompressor /SOLID lzma
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${GRIDLOOM_NAME} ${GRIDLOOM_VERSION}"
OutFile "${GRIDLOOM_SETUP}"
BrandingText "${GRIDLOOM_DEVELOPER} - ${GRIDLOOM_NAME} ${GRIDLOOM_VERSION}"
!define GRIDLOOM_DEFAULT_FOLDER "${GRIDLOOM_PROGRAM_FILES}\${GRIDLOOM_DEVELOPER}\${GRIDLOOM_NAME}"
InstallDir "${GRIDLOOM_DEFAULT_FOLDER}"
!define GRIDLOOM_UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${GRIDLOOM_NAME}"
; A second install goes where the first one is, so that it replaces it.
InstallDirRegKey HKLM "${GRIDLOOM_UNINSTALL_KEY}" "InstallLocation"
!define GRIDLOOM_UNINSTALLER "Uninstall.exe"
!define GRIDLOOM_SHORTCUT "$SMPROGRAMS\${GRIDLOOM_NAME}.lnk"

!define MUI_ICON "${GRIDLOOM_ICON}"
!define MUI_UNICON "${GRIDLOOM_ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!ifdef GRIDLOOM_WINDOW_PROGRAM
    !define MUI_FINISHPAGE_RUN "$INSTDIR\${GRIDLOOM_WINDOW_PROGRAM}"
    !insertmacro MUI_PAGE_FINISH
!endif
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The setup program's own version resource, so that Windows shows whose it is before it runs.
VIProductVersion "${GRIDLOOM_VERSION}"
VIFileVersion "${GRIDLOOM_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${GRIDLOOM_PRODUCT_NAME}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${GRIDLOOM_DEVELOPER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${GRIDLOOM_COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${GRIDLOOM_NAME} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${GRIDLOOM_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${GRIDLOOM_VERSION}"

; Program Files and HKLM are the machine's, so the shortcut is every user's too.
Function .onInit
    SetShellVarContext all
FunctionEnd

Function un.onInit
    SetShellVarContext all
FunctionEnd

Section "${GRIDLOOM_NAME}"
    SectionIn RO
    SetOutPath "$INSTDIR"
    !insertmacro GRIDLOOM_INSTALL_PROGRAMS
    WriteUninstaller "$INSTDIR\${GRIDLOOM_UNINSTALLER}"
!ifdef GRIDLOOM_WINDOW_PROGRAM
    CreateShortcut "${GRIDLOOM_SHORTCUT}" "$INSTDIR\${GRIDLOOM_WINDOW_PROGRAM}" "" \
        "$INSTDIR\${GRIDLOOM_WINDOW_PROGRAM}" 0 SW_SHOWNORMAL "" "${GRIDLOOM_FILE_DESCRIPTION}"
    !define GRIDLOOM_DISPLAY_ICON "$INSTDIR\${GRIDLOOM_WINDOW_PROGRAM},0"
!else
    ; Without the window program, the uninstaller carries the same icon.
    !define GRIDLOOM_DISPLAY_ICON "$INSTDIR\${GRIDLOOM_UNINSTALLER},0"
!endif

    ; What "Apps and features" (or "Add or remove programs") shows and runs.
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "DisplayName" "${GRIDLOOM_NAME}"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "DisplayVersion" "${GRIDLOOM_VERSION}"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "Publisher" "${GRIDLOOM_DEVELOPER}"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "URLInfoAbout" "${GRIDLOOM_WEB_ADDRESS}"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "DisplayIcon" "${GRIDLOOM_DISPLAY_ICON}"
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${GRIDLOOM_UNINSTALLER}"'
    WriteRegStr HKLM "${GRIDLOOM_UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${GRIDLOOM_UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${GRIDLOOM_UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${GRIDLOOM_UNINSTALL_KEY}" "NoRepair" 1
    ; In KiB, as Windows reads it.
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${GRIDLOOM_UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    !insertmacro GRIDLOOM_DELETE_PROGRAMS
!ifdef GRIDLOOM_WINDOW_PROGRAM
    Delete "${GRIDLOOM_SHORTCUT}"
!endif
    Delete "$INSTDIR\${GRIDLOOM_UNINSTALLER}"
    ; Only when empty: whatever the user put there stays, and so does the folder.
    RMDir "$INSTDIR"
    ; The developer's folder above it, made by the first install into the default place,
    ; goes when nothing else of the developer's (Skylune, say) is left in it.
    ${If} "$INSTDIR" == "${GRIDLOOM_DEFAULT_FOLDER}"
        RMDir "${GRIDLOOM_PROGRAM_FILES}\${GRIDLOOM_DEVELOPER}"
    ${EndIf}
    DeleteRegKey HKLM "${GRIDLOOM_UNINSTALL_KEY}"
SectionEnd
