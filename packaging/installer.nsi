; The Windows installer: puts the 64-bit and the 32-bit Dranvelor.dll into the folders hosts
; scan, the standalone program into the product's folder with a Start-menu shortcut, and an
; uninstaller that takes out exactly what it put in. make-installer.sh defines VERSION, DLL32,
; DLL64, README, LICENSE and OUTFILE, and for the program EXE32, EXE64 and their sizes in KB,
; EXE32_KB and EXE64_KB.
Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
; Stored file dates would make every build's bytes differ.
SetDateSave off
RequestExecutionLevel admin

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include x64.nsh

!define PRODUCT_KEY "Software\Ostravelk\Dranvelor"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Dranvelor"
!define DEFAULT_INSTDIR "$PROGRAMFILES64\Ostravelk\Dranvelor"
; The shortcut is every user's, as the installation is.
!define SHORTCUT "$SMPROGRAMS\Dranvelor.lnk"

Name "Dranvelor ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Ostravelk"
VIProductVersion "${VERSION}.0"
VIAddVersionKey ProductName "Dranvelor"
VIAddVersionKey CompanyName "Ostravelk"
VIAddVersionKey FileDescription "Dranvelor ${VERSION} setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright (c) 2026 Ostravelk"

Var Dir64
Var Dir32

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${LICENSE}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnless64
!define MUI_DIRECTORYPAGE_VARIABLE $Dir64
!define MUI_PAGE_HEADER_TEXT "Folder of the 64-bit plug-in"
!define MUI_PAGE_HEADER_SUBTEXT "Where 64-bit hosts look for VST2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put the 64-bit Dranvelor.dll into this folder. Choose one that your 64-bit hosts scan for plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of the 64-bit plug-in"
!insertmacro MUI_PAGE_DIRECTORY

!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipUnless32
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE EnsureSeparateFolders
!define MUI_DIRECTORYPAGE_VARIABLE $Dir32
!define MUI_PAGE_HEADER_TEXT "Folder of the 32-bit plug-in"
!define MUI_PAGE_HEADER_SUBTEXT "Where 32-bit hosts look for VST2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup will put the 32-bit Dranvelor.dll into this folder. Choose one that your 32-bit hosts scan for plug-ins, not the folder of the 64-bit one."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of the 32-bit plug-in"
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

; A loaded plug-in or a running program cannot be replaced or deleted. Both programs check every
; file they would change before changing any, so that giving up leaves the old installation
; whole.
!define IN_USE "$R0 is in use, most likely by a host that has the plug-in loaded or by the running Dranvelor program. Close that program, then choose Retry."
!macro DefineEnsureFree UN
  ; $R0: the file, which may be missing.
  Function ${UN}EnsureFree
  retry:
    ${If} ${FileExists} $R0
      ClearErrors
      FileOpen $R9 $R0 a
      ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${IN_USE}" /SD IDCANCEL IDRETRY retry
        DetailPrint "In use: $R0"
        Abort "$R0 is in use."
      ${EndIf}
      FileClose $R9
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DefineEnsureFree ""
!insertmacro DefineEnsureFree "un."

!macro RemovePlugin BITS
  ReadRegStr $R0 HKLM "${PRODUCT_KEY}" "Plugin${BITS}Folder"
  ${If} $R0 != ""
    Delete "$R0\Dranvelor.dll"
    ReadRegDWORD $R1 HKLM "${PRODUCT_KEY}" "Plugin${BITS}FolderMade"
    ; A folder that was there before, or that holds other plug-ins now, stays.
    ${If} $R1 = 1
      RMDir $R0
    ${EndIf}
  ${EndIf}
!macroend

; Remembers the chosen folder, and whether the installer made it. A folder chosen in place of
; the one of an earlier installation takes the plug-in over: the old copy goes.
!macro InstallPlugin BITS FOLDER SOURCE
  ReadRegStr $R0 HKLM "${PRODUCT_KEY}" "Plugin${BITS}Folder"
  ${If} $R0 != ${FOLDER}
    !insertmacro RemovePlugin ${BITS}
    ${If} ${FileExists} "${FOLDER}\*.*"
      WriteRegDWORD HKLM "${PRODUCT_KEY}" "Plugin${BITS}FolderMade" 0
    ${Else}
      WriteRegDWORD HKLM "${PRODUCT_KEY}" "Plugin${BITS}FolderMade" 1
    ${EndIf}
    WriteRegStr HKLM "${PRODUCT_KEY}" "Plugin${BITS}Folder" ${FOLDER}
  ${EndIf}
  SetOutPath ${FOLDER}
  ClearErrors
  File "/oname=Dranvelor.dll" "${SOURCE}"
  ${If} ${Errors}
    Abort "${FOLDER}\Dranvelor.dll could not be written."
  ${EndIf}
!macroend

Section "-Check the files to replace"
  Call EnsureChosenFree
SectionEnd

; Written first, so that whatever a failure further on leaves installed can be uninstalled.
Section "-Product" SecProduct
  ReadRegStr $R0 HKLM "${PRODUCT_KEY}" "InstallFolder"
  ${If} $R0 != ""
  ${AndIf} $R0 != $INSTDIR
    Delete "$R0\Dranvelor.exe"
    Delete "$R0\uninstall.exe"
    Delete "$R0\README.txt"
    Delete "$R0\LICENSE.txt"
    RMDir $R0
  ${EndIf}
  SetOutPath $INSTDIR
  File "/oname=README.txt" "${README}"
  File "/oname=LICENSE.txt" "${LICENSE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${PRODUCT_KEY}" "InstallFolder" $INSTDIR
  WriteRegStr HKLM "${PRODUCT_KEY}" "Version" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Dranvelor"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Ostravelk"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" $INSTDIR
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\uninstall.exe,0"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "64-bit VST2 plug-in" SecPlugin64
  !insertmacro InstallPlugin 64 $Dir64 "${DLL64}"
SectionEnd

Section "32-bit VST2 plug-in" SecPlugin32
  !insertmacro InstallPlugin 32 $Dir32 "${DLL32}"
SectionEnd

!ifdef EXE32
; The program of the system's width; .onInit gives the section that one's size.
Section "Dranvelor program (plays without a host)" SecProgram
  SetOutPath $INSTDIR
  ClearErrors
  ${If} ${RunningX64}
    File "/oname=Dranvelor.exe" "${EXE64}"
  ${Else}
    File "/oname=Dranvelor.exe" "${EXE32}"
  ${EndIf}
  ${If} ${Errors}
    Abort "$INSTDIR\Dranvelor.exe could not be written."
  ${EndIf}
  CreateShortCut "${SHORTCUT}" "$INSTDIR\Dranvelor.exe"
SectionEnd

; A program left out of a new installation does not stay from an earlier one.
Section "-Remove an unchosen program"
  ${IfNot} ${SectionIsSelected} ${SecProgram}
    Delete "${SHORTCUT}"
    Delete "$INSTDIR\Dranvelor.exe"
  ${EndIf}
SectionEnd
!endif

Section "-Size"
  ; In KB, as the uninstall entry wants it: both plug-ins, the program and the product folder.
  SectionGetSize ${SecProduct} $R0
  ${If} ${SectionIsSelected} ${SecPlugin64}
    SectionGetSize ${SecPlugin64} $R1
    IntOp $R0 $R0 + $R1
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecPlugin32}
    SectionGetSize ${SecPlugin32} $R1
    IntOp $R0 $R0 + $R1
  ${EndIf}
  !ifdef EXE32
    ${If} ${SectionIsSelected} ${SecProgram}
      SectionGetSize ${SecProgram} $R1
      IntOp $R0 $R0 + $R1
    ${EndIf}
  !endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0
SectionEnd

; Both plug-ins have the same file name: one folder for both would leave a 64-bit host the
; 32-bit DLL.
!define SAME_FOLDER "The 64-bit and the 32-bit plug-in need folders of their own: both are named Dranvelor.dll."
Function EnsureSeparateFolders
  ${If} ${SectionIsSelected} ${SecPlugin64}
  ${AndIf} ${SectionIsSelected} ${SecPlugin32}
  ${AndIf} $Dir64 == $Dir32
    MessageBox MB_OK|MB_ICONSTOP "${SAME_FOLDER}" /SD IDOK
    Abort "${SAME_FOLDER}"
  ${EndIf}
FunctionEnd

Function EnsureChosenFree
  Call EnsureSeparateFolders
  ${If} ${SectionIsSelected} ${SecPlugin64}
    StrCpy $R0 "$Dir64\Dranvelor.dll"
    Call EnsureFree
  ${EndIf}
  ${If} ${SectionIsSelected} ${SecPlugin32}
    StrCpy $R0 "$Dir32\Dranvelor.dll"
    Call EnsureFree
  ${EndIf}
  ; A running program is replaced, or removed when not chosen or when the product's folder
  ; moves, as a loaded plug-in would be.
  StrCpy $R0 "$INSTDIR\Dranvelor.exe"
  Call EnsureFree
  ReadRegStr $R1 HKLM "${PRODUCT_KEY}" "InstallFolder"
  ${If} $R1 != ""
  ${AndIf} $R1 != $INSTDIR
    StrCpy $R0 "$R1\Dranvelor.exe"
    Call EnsureFree
  ${EndIf}
FunctionEnd

Function SkipUnless64
  ${IfNot} ${SectionIsSelected} ${SecPlugin64}
    Abort
  ${EndIf}
FunctionEnd

Function SkipUnless32
  ${IfNot} ${SectionIsSelected} ${SecPlugin32}
    Abort
  ${EndIf}
FunctionEnd

; The folder a host reads from the registry view of its own width, else the usual one.
!macro DefaultPluginFolder VAR VIEW COMMONFILES
  ReadRegStr ${VAR} HKLM "${PRODUCT_KEY}" "Plugin${VIEW}Folder"
  ${If} ${VAR} == ""
    SetRegView ${VIEW}
    ReadRegStr ${VAR} HKLM "Software\VST" "VSTPluginsPath"
    Call UseNativeRegView
  ${EndIf}
  ${If} ${VAR} == ""
    StrCpy ${VAR} "${COMMONFILES}\VST2"
  ${EndIf}
!macroend

!macro DefineUseNativeRegView UN
  Function ${UN}UseNativeRegView
    ${If} ${RunningX64}
      SetRegView 64
    ${Else}
      SetRegView 32
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro DefineUseNativeRegView ""
!insertmacro DefineUseNativeRegView "un."

Function .onInit
  Call UseNativeRegView
  SetShellVarContext all
  !ifdef EXE32
    ${If} ${RunningX64}
      SectionSetSize ${SecProgram} ${EXE64_KB}
    ${Else}
      SectionSetSize ${SecProgram} ${EXE32_KB}
    ${EndIf}
  !endif
  ${IfNot} ${RunningX64}
    ; No 64-bit plug-in on 32-bit Windows: neither chosen nor shown.
    !insertmacro UnselectSection ${SecPlugin64}
    !insertmacro SetSectionFlag ${SecPlugin64} ${SF_RO}
    SectionSetText ${SecPlugin64} ""
  ${EndIf}
  !insertmacro DefaultPluginFolder $Dir64 64 $COMMONFILES64
  !insertmacro DefaultPluginFolder $Dir32 32 $COMMONFILES32
  ; Without InstallDir, $INSTDIR is empty here unless /D= named a folder.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${PRODUCT_KEY}" "InstallFolder"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "${DEFAULT_INSTDIR}"
  ${EndIf}
FunctionEnd

Function un.onInit
  Call un.UseNativeRegView
  SetShellVarContext all
FunctionEnd

!macro EnsureInstalledFree BITS
  ReadRegStr $R0 HKLM "${PRODUCT_KEY}" "Plugin${BITS}Folder"
  ${If} $R0 != ""
    StrCpy $R0 "$R0\Dranvelor.dll"
    Call un.EnsureFree
  ${EndIf}
!macroend

Section "Uninstall"
  !insertmacro EnsureInstalledFree 64
  !insertmacro EnsureInstalledFree 32
  StrCpy $R0 "$INSTDIR\Dranvelor.exe"
  Call un.EnsureFree
  !insertmacro RemovePlugin 64
  !insertmacro RemovePlugin 32
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\Dranvelor.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir $INSTDIR
  ${If} $INSTDIR == "${DEFAULT_INSTDIR}"
    RMDir "$PROGRAMFILES64\Ostravelk"
  ${EndIf}
  DeleteRegKey HKLM "${PRODUCT_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Ostravelk"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
