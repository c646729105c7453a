; The Windows installer, built by tools/package.sh with makensis:
;   makensis -DVERSION=1.0.0 -DVENDOR=Kelvo -DSTAGE=DIR -DOUTFILE=FILE [-DHAVE_VST3] [-DHAVE_CLAP] installer.nsi
; STAGE holds Quorvel.dll, LICENSE, THIRD_PARTY_NOTICES, INSTALL.txt, with
; HAVE_VST3 the Quorvel.vst3 bundle and with HAVE_CLAP Quorvel.clap. Per
; machine: the VST 2 effect goes into the folder the user picks ($INSTDIR),
; the VST 3 bundle and the CLAP file into their standard folders, and the
; texts and the uninstaller into Program Files\Quorvel.
; /S installs or uninstalls silently; /D=FOLDER sets the VST 2 folder.
; Running it again over an install updates that install in place: the folder
; chosen last time is offered again, and choosing another one moves the
; effect there (nothing stays behind in the old folder), so that one
; uninstall always removes everything.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
!define APP_DIR "$PROGRAMFILES64\Quorvel"
!define VST3_DIR "$COMMONFILES64\VST3"
!define CLAP_DIR "$COMMONFILES64\CLAP"

Name "Quorvel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\VSTPlugins"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "Vst2Folder"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Quorvel"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Quorvel ${VERSION} installer"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "LegalCopyright" "Copyright (c) the Quorvel authors. MIT licence."

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will install the VST 2 effect Quorvel.dll into this folder. Choose the folder your host scans for VST 2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST 2 plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

;; Notes in VALUE the outermost of FOLDER and its parents that does not exist
; yet (or nothing when FOLDER exists), so that the uninstaller removes only
; folders this installer created, and only once they are empty.
!macro NoteCreatedFolder FOLDER VALUE
  StrCpy $0 ""
  StrCpy $1 "${FOLDER}"
  note_${VALUE}:
    IfFileExists "$1\*.*" noted_${VALUE}
    StrCpy $0 $1
    ${GetParent} $1 $1
    StrCmp $1 "" noted_${VALUE} note_${VALUE}
  noted_${VALUE}:
  WriteRegStr HKLM "${UNINSTALL_KEY}" "${VALUE}" $0
!macroend

; Removes FOLDER and then its parents up to the outermost one VALUE names,
; each only when empty.
!macro RemoveCreatedFolders FOLDER VALUE
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${VALUE}"
  StrCpy $1 "${FOLDER}"
  StrCmp $0 "" removed_${VALUE}
  remove_${VALUE}:
    RMDir $1
    StrCmp $1 $0 removed_${VALUE}
    ${GetParent} $1 $1
    StrCmp $1 "" removed_${VALUE} remove_${VALUE}
  removed_${VALUE}:
!macroend

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Quorvel"
  ; An earlier install: the folders it created are still its to remove (they
  ; exist now, so noting them again would forget them). A different VST 2
  ; folder this time moves the effect out of the old one first, so that the
  ; new folder's notes see the drive as it would be without the old install.
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Vst2Folder"
  StrCmp $2 "" vst2_fresh
  StrCmp $2 $INSTDIR vst2_kept
    Delete "$2\Quorvel.dll"
    !insertmacro RemoveCreatedFolders $2 CreatedVst2Folder
  vst2_fresh:
    !insertmacro NoteCreatedFolder "$INSTDIR" CreatedVst2Folder
  vst2_kept:
  SetOutPath "$INSTDIR"
  File "${STAGE}/Quorvel.dll"
!ifdef HAVE_VST3
  ; The bundle is replaced whole, so no file of an older one stays inside.
  RMDir /r "${VST3_DIR}\Quorvel.vst3"
  ; Noted once, by the first install that put a bundle there.
  ClearErrors
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "CreatedVst3Folder"
  IfErrors 0 vst3_kept
    !insertmacro NoteCreatedFolder "${VST3_DIR}" CreatedVst3Folder
  vst3_kept:
  SetOutPath "${VST3_DIR}"
  File /r "${STAGE}/Quorvel.vst3"
!endif
!ifdef HAVE_CLAP
  ClearErrors
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "CreatedClapFolder"
  IfErrors 0 clap_kept
    !insertmacro NoteCreatedFolder "${CLAP_DIR}" CreatedClapFolder
  clap_kept:
  SetOutPath "${CLAP_DIR}"
  File "${STAGE}/Quorvel.clap"
!endif
  SetOutPath "${APP_DIR}"
  File "${STAGE}/LICENSE"
  File "${STAGE}/THIRD_PARTY_NOTICES"
  File "${STAGE}/INSTALL.txt"
  WriteUninstaller "${APP_DIR}\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Quorvel ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${APP_DIR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${APP_DIR}\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${APP_DIR}\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Vst2Folder" "$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "Vst2Folder"
  StrCmp $2 "" vst2_done
    Delete "$2\Quorvel.dll"
    !insertmacro RemoveCreatedFolders $2 CreatedVst2Folder
  vst2_done:
!ifdef HAVE_VST3
  RMDir /r "${VST3_DIR}\Quorvel.vst3"
  !insertmacro RemoveCreatedFolders "${VST3_DIR}" CreatedVst3Folder
!endif
!ifdef HAVE_CLAP
  Delete "${CLAP_DIR}\Quorvel.clap"
  !insertmacro RemoveCreatedFolders "${CLAP_DIR}" CreatedClapFolder
!endif
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\LICENSE"
  Delete "$INSTDIR\THIRD_PARTY_NOTICES"
  Delete "$INSTDIR\INSTALL.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
