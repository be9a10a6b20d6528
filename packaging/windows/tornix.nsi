; The Windows setup program, tornix-<version>-setup.exe: a 64-bit NSIS
; installer with a Simplified Chinese interface. scripts/release.sh runs
;   makensis -INPUTCHARSET UTF8 -DVERSION=... -DPROGRAMS=<folder> -DOUTFILE=... tornix.nsi
; where <folder> holds tornix.exe, tornix-convert.exe and LICENSE.txt.
;
; It installs for the current user (no administrator rights, the default) or
; for all users, into a folder of the user's choice; silently with /S, the
; folder with /D=. Command-line switches:
;   /CurrentUser  /AllUsers   for whom (all users: run elevated, or the setup
;                             asks for elevation; silent, it ends with 740)
;   /DesktopShortcut          also a shortcut on the desktop
;   /AddToPath                the install folder added to the user's (all
;                             users': the system's) PATH, for tornix-convert
; What it makes: the program files and uninstall.exe; the Start-menu shortcut
; Tornix; an "Open with" entry for .txt files (OpenWithProgids and
; Applications\tornix.exe, never the default program); the Apps & features
; entry; and what was chosen of the desktop shortcut and PATH, recorded in
; that entry. The uninstaller removes exactly these and leaves every other
; file in the folder. A newer setup installs over an older one in its folder,
; keeping its choices, and updates the one entry.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
; The files carry no build time: two builds of the same commit are the same.
SetDateSave off
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!ifndef VERSION | PROGRAMS | OUTFILE | ICON
  !error "VERSION, PROGRAMS, OUTFILE and ICON must be defined (scripts/release.sh)"
!endif

!define PRODUCT "Tornix"
!define DISPLAY_NAME "Tornix 全角/半角转换"
!define PUBLISHER "The Tornix developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tornix"
!define PROGID "Tornix.TextFile"
!define USER_ENVIRONMENT "Environment"
!define SYSTEM_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"
!define ERROR_ELEVATION_REQUIRED 740
; HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER as the system's 64-bit handles.
!define HKLM_HANDLE -2147483646
!define HKCU_HANDLE -2147483647

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include nsDialogs.nsh

Name "${DISPLAY_NAME}"
OutFile "${OUTFILE}"
InstallDir ""
BrandingText "Tornix ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "Tornix"
VIAddVersionKey /LANG=2052 "FileDescription" "Tornix 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"

Var AllUsers        ; 1: for all users (HKLM, Program Files), 0: this user
Var IsAdmin         ; 1 when this process runs with administrator rights
Var Upgrade         ; 1 when Tornix is installed already (in the chosen mode)
Var ModeChosen      ; 1 when /AllUsers or /CurrentUser was given
Var FolderGiven     ; 1 when /D= named the folder
Var OldFolder       ; where the install being upgraded is
Var UserButton
Var AllButton

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\tornix.exe"
!define MUI_FINISHPAGE_RUN_TEXT "运行 Tornix"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${PROGRAMS}\LICENSE.txt"
Page custom ModePage ModePageLeave
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE DirectoryPagePre
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; ---------------------------------------------------------------------------
; Shared by the setup and the uninstaller (un. is their prefix in NSIS).

; Chooses the registry root, the shell folders and the default folder.
!macro USE_MODE un
Function ${un}UseMode
  ${If} $AllUsers == 1
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd
!macroend
!insertmacro USE_MODE ""
!insertmacro USE_MODE "un."

!macro CHECK_ADMIN un
Function ${un}CheckAdmin
  StrCpy $IsAdmin 0
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $IsAdmin 1
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CHECK_ADMIN ""
!insertmacro CHECK_ADMIN "un."

; Waits until neither program runs from the install folder: a running
; program cannot be replaced or removed, so nothing is touched until both are
; closed. Cancelled (silent: at once), the setup or uninstall stops with
; nothing changed.
!macro PROGRAMS_CLOSED un
Function ${un}ProgramsClosed
  retry:
  StrCpy $R0 ""
  ${If} ${FileExists} "$INSTDIR\tornix.exe"
    ClearErrors
    FileOpen $R1 "$INSTDIR\tornix.exe" a
    ${If} ${Errors}
      StrCpy $R0 "Tornix"
    ${Else}
      FileClose $R1
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\tornix-convert.exe"
    ClearErrors
    FileOpen $R1 "$INSTDIR\tornix-convert.exe" a
    ${If} ${Errors}
      StrCpy $R0 "tornix-convert"
    ${Else}
      FileClose $R1
    ${EndIf}
  ${EndIf}
  ${If} $R0 != ""
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R0 正在运行。请先关闭它，然后单击“重试”；单击“取消”则不做任何更改。" \
      /SD IDCANCEL IDRETRY retry
    DetailPrint "$R0 正在运行，未做任何更改。"
    SetErrorLevel 5
    Abort
  ${EndIf}
FunctionEnd
!macroend
!insertmacro PROGRAMS_CLOSED ""
!insertmacro PROGRAMS_CLOSED "un."

; The PATH value this mode changes: HKCU Environment or the system's.
!macro READ_PATH un
; Out: $R0 the value ("" when there is none), $R9 1 when it cannot be used:
; longer than the setup can hold (NSIS strings end at 1024 characters; the
; value is then not read at all) or not a string. Writing such a value back
; would cut it.
Function ${un}ReadPath
  StrCpy $R9 0
  ClearErrors
  ${If} $AllUsers == 1
    ReadRegStr $R0 HKLM "${SYSTEM_ENVIRONMENT}" "Path"
  ${Else}
    ReadRegStr $R0 HKCU "${USER_ENVIRONMENT}" "Path"
  ${EndIf}
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ; An error: no such value, or one that cannot be read whole.
  StrCpy $R0 ""
  StrCpy $R1 0
  ${Do}
    ${If} $AllUsers == 1
      EnumRegValue $R2 HKLM "${SYSTEM_ENVIRONMENT}" $R1
    ${Else}
      EnumRegValue $R2 HKCU "${USER_ENVIRONMENT}" $R1
    ${EndIf}
    ${If} $R2 == ""
      ${Break}
    ${EndIf}
    ${If} $R2 == "Path"
      StrCpy $R9 1
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 + 1
  ${Loop}
FunctionEnd

Function ${un}WritePath
  ${If} $AllUsers == 1
    ${If} $R0 == ""
      DeleteRegValue HKLM "${SYSTEM_ENVIRONMENT}" "Path"
    ${Else}
      WriteRegExpandStr HKLM "${SYSTEM_ENVIRONMENT}" "Path" $R0
    ${EndIf}
  ${Else}
    ${If} $R0 == ""
      DeleteRegValue HKCU "${USER_ENVIRONMENT}" "Path"
    ${Else}
      WriteRegExpandStr HKCU "${USER_ENVIRONMENT}" "Path" $R0
    ${EndIf}
  ${EndIf}
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
FunctionEnd

; $R0 without its entries that name $INSTDIR (with or without a final \);
; every other entry stays as it was, in its place. Out: $R0, $R8 1 when an
; entry went.
Function ${un}PathWithoutFolder
  StrCpy $R2 ""   ; the result
  StrCpy $R3 ""   ; the entry being read
  StrCpy $R4 0    ; the position
  StrCpy $R5 0    ; 1 once the result has an entry
  StrCpy $R8 0
  ${Do}
    StrCpy $R6 $R0 1 $R4
    ${If} $R6 == ";"
    ${OrIf} $R6 == ""
      ${If} $R3 == $INSTDIR
      ${OrIf} $R3 == "$INSTDIR\"
        StrCpy $R8 1
      ${Else}
        ${If} $R5 == 1
          StrCpy $R2 "$R2;$R3"
        ${Else}
          StrCpy $R2 $R3
          StrCpy $R5 1
        ${EndIf}
      ${EndIf}
      StrCpy $R3 ""
      ${If} $R6 == ""
        ${Break}
      ${EndIf}
    ${Else}
      StrCpy $R3 "$R3$R6"
    ${EndIf}
    IntOp $R4 $R4 + 1
  ${Loop}
  StrCpy $R0 $R2
FunctionEnd

; Takes the install folder out of PATH where this setup put it.
Function ${un}RemoveFromPath
  ReadRegDWORD $R7 SHCTX "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $R7 != 1
    Return
  ${EndIf}
  Call ${un}ReadPath
  ${If} $R9 == 1
    DetailPrint "PATH 环境变量过长，无法安全修改：请手动从中删除 $INSTDIR。"
  ${Else}
    Call ${un}PathWithoutFolder
    ${If} $R8 == 1
      Call ${un}WritePath
      DetailPrint "已从 PATH 环境变量中删除 $INSTDIR"
    ${EndIf}
  ${EndIf}
  DeleteRegValue SHCTX "${UNINSTALL_KEY}" "AddedToPath"
FunctionEnd
!macroend
!insertmacro READ_PATH ""
!insertmacro READ_PATH "un."

; Apps & features' entry of the mode, and where it says Tornix is.
!macro INSTALLED_FOLDER un
; Out: $R0 the folder, "" when Tornix is not installed in this mode.
Function ${un}InstalledFolder
  ${If} $AllUsers == 1
    ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${Else}
    ReadRegStr $R0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro INSTALLED_FOLDER ""
!insertmacro INSTALLED_FOLDER "un."

; ---------------------------------------------------------------------------
; The setup.

Section "-Tornix" SecMain
  ; Upgraded into another folder (/D=): the install there goes first, so
  ; that there is one install and one entry.
  ${If} $Upgrade == 1
  ${AndIf} $OldFolder != $INSTDIR
  ${AndIf} ${FileExists} "$OldFolder\uninstall.exe"
    ExecWait '"$OldFolder\uninstall.exe" /S _?=$OldFolder' $0
    ${If} $0 != 0
      MessageBox MB_OK|MB_ICONSTOP "未能卸载 $OldFolder 中的 Tornix，安装已取消。" /SD IDOK
      SetErrorLevel 5
      Abort
    ${EndIf}
    Delete "$OldFolder\uninstall.exe"
    RMDir "$OldFolder"
  ${EndIf}
  Call ProgramsClosed
  SetOutPath "$INSTDIR"
  File "${PROGRAMS}\tornix.exe"
  File "${PROGRAMS}\tornix-convert.exe"
  File "${PROGRAMS}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tornix.lnk" "$INSTDIR\tornix.exe" "" "$INSTDIR\tornix.exe" 0 SW_SHOWNORMAL "" \
    "中文文本全角、半角字符互相转换"

  ; "Open with" for text files, never their default program.
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "文本文件"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "FriendlyTypeName" "文本文件"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\tornix.exe",0'
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\tornix.exe" "%1"'
  WriteRegStr SHCTX "Software\Classes\.txt\OpenWithProgids" "${PROGID}" ""
  WriteRegStr SHCTX "Software\Classes\Applications\tornix.exe" "FriendlyAppName" "${DISPLAY_NAME}"
  WriteRegStr SHCTX "Software\Classes\Applications\tornix.exe\SupportedTypes" ".txt" ""
  WriteRegStr SHCTX "Software\Classes\Applications\tornix.exe\shell\open\command" "" '"$INSTDIR\tornix.exe" "%1"'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${DISPLAY_NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\tornix.exe",0'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/M=*.exe /S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

SectionEnd

Section /o "桌面快捷方式" SecDesktop
  CreateShortcut "$DESKTOP\Tornix.lnk" "$INSTDIR\tornix.exe" "" "$INSTDIR\tornix.exe" 0 SW_SHOWNORMAL "" \
    "中文文本全角、半角字符互相转换"
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "DesktopShortcut" 1
SectionEnd

Section /o "将 tornix-convert 加入 PATH 环境变量" SecPath
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $0 == 1
    Return
  ${EndIf}
  Call ReadPath
  ${If} $R9 == 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "PATH 环境变量过长，安装程序无法安全修改它。$\r$\n请手动将 $INSTDIR 加入 PATH。" /SD IDOK
    DetailPrint "PATH 环境变量过长，未加入 $INSTDIR。"
    Return
  ${EndIf}
  ; Already there (put there by the user): left as it is, and not recorded.
  StrCpy $R7 $R0
  Call PathWithoutFolder
  ${If} $R8 == 1
    Return
  ${EndIf}
  StrCpy $R0 $R7
  StrLen $R1 $R0
  StrLen $R2 $INSTDIR
  IntOp $R1 $R1 + $R2
  ${If} $R1 >= 1023
    MessageBox MB_OK|MB_ICONEXCLAMATION "PATH 环境变量过长，安装程序无法安全修改它。$\r$\n请手动将 $INSTDIR 加入 PATH。" /SD IDOK
    DetailPrint "PATH 环境变量过长，未加入 $INSTDIR。"
    Return
  ${EndIf}
  StrCpy $R1 $R0 1 -1
  ${If} $R0 == ""
    StrCpy $R0 "$INSTDIR"
  ${ElseIf} $R1 == ";"
    StrCpy $R0 "$R0$INSTDIR"
  ${Else}
    StrCpy $R0 "$R0;$INSTDIR"
  ${EndIf}
  Call WritePath
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "AddedToPath" 1
  DetailPrint "已将 $INSTDIR 加入 PATH 环境变量"
SectionEnd


; What an earlier install made and this one leaves out (after the sections
; that make them, whose choices it reads).
Section "-Earlier choices"
  ${IfNot} ${SectionIsSelected} ${SecDesktop}
    ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "DesktopShortcut"
    ${If} $0 == 1
      Delete "$DESKTOP\Tornix.lnk"
      DeleteRegValue SHCTX "${UNINSTALL_KEY}" "DesktopShortcut"
    ${EndIf}
  ${EndIf}
  ${IfNot} ${SectionIsSelected} ${SecPath}
    Call RemoveFromPath
  ${EndIf}
SectionEnd

Function .onInit
  Call CheckAdmin
  StrCpy $FolderGiven 0
  ${If} $INSTDIR != ""
    StrCpy $FolderGiven 1
  ${EndIf}
  ${GetParameters} $0
  StrCpy $ModeChosen 0
  StrCpy $AllUsers 0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 1
    StrCpy $ModeChosen 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/CurrentUser" $1
  ${IfNot} ${Errors}
    StrCpy $AllUsers 0
    StrCpy $ModeChosen 1
  ${EndIf}
  ; Without a choice, an existing install for all users is upgraded as one.
  ${If} $ModeChosen == 0
    ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 == ""
    ${AndIf} $2 != ""
      StrCpy $AllUsers 1
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $IsAdmin == 0
  ${AndIf} ${Silent}
    ; winget and scripts elevate before a silent install for all users.
    SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
    Quit
  ${EndIf}
  Call ApplyMode

  ClearErrors
  ${GetOptions} $0 "/DesktopShortcut" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecDesktop}
  ${EndIf}
  ClearErrors
  ${GetOptions} $0 "/AddToPath" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecPath}
  ${EndIf}
FunctionEnd

; Sets the shell folders, the default folder and the upgrade's choices for
; the mode in $AllUsers.
Function ApplyMode
  Call UseMode
  Call InstalledFolder
  StrCpy $Upgrade 0
  StrCpy $OldFolder $R0
  ${If} $R0 != ""
    StrCpy $Upgrade 1
  ${EndIf}
  ${If} $FolderGiven == 0
    ${If} $Upgrade == 1
      StrCpy $INSTDIR $R0
    ${ElseIf} $AllUsers == 1
      StrCpy $INSTDIR "$PROGRAMFILES64\Tornix"
    ${Else}
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Tornix"
    ${EndIf}
  ${EndIf}
  ; An upgrade keeps what the install before it made.
  ${If} $Upgrade == 1
    ReadRegDWORD $R1 SHCTX "${UNINSTALL_KEY}" "DesktopShortcut"
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecDesktop}
    ${EndIf}
    ReadRegDWORD $R1 SHCTX "${UNINSTALL_KEY}" "AddedToPath"
    ${If} $R1 == 1
      !insertmacro SelectSection ${SecPath}
    ${EndIf}
  ${EndIf}
FunctionEnd

Function ModePage
  ${If} $ModeChosen == 1
  ${OrIf} $Upgrade == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "选择安装方式" "选择为哪些用户安装 Tornix。"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 24u "Tornix 可以只为您安装，也可以为这台计算机的所有用户安装。"
  Pop $0
  ${NSD_CreateRadioButton} 10u 32u 100% 12u "仅为我安装(&M)（无需管理员权限）"
  Pop $UserButton
  ${NSD_CreateRadioButton} 10u 50u 100% 12u "为这台计算机的所有用户安装(&A)（需要管理员权限）"
  Pop $AllButton
  ${If} $AllUsers == 1
    ${NSD_Check} $AllButton
  ${Else}
    ${NSD_Check} $UserButton
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $AllButton $0
  ${If} $0 == ${BST_CHECKED}
    ${If} $IsAdmin == 0
      ; Started again with administrator rights, for all users; this one ends.
      ClearErrors
      ExecShell "runas" "$EXEPATH" "/AllUsers"
      ${IfNot} ${Errors}
        Quit
      ${EndIf}
      MessageBox MB_OK|MB_ICONEXCLAMATION "未能取得管理员权限，无法为所有用户安装。"
      Abort
    ${EndIf}
    StrCpy $AllUsers 1
  ${Else}
    StrCpy $AllUsers 0
  ${EndIf}
  Call ApplyMode
FunctionEnd

Function DirectoryPagePre
  ; An upgrade stays in its folder: one install, one entry.
  ${If} $Upgrade == 1
    Abort
  ${EndIf}
FunctionEnd

; ---------------------------------------------------------------------------
; The uninstaller.

Function un.onInit
  Call un.CheckAdmin
  ; The mode whose entry names this folder; the current user's otherwise.
  StrCpy $AllUsers 1
  Call un.InstalledFolder
  ${If} $R0 != $INSTDIR
    StrCpy $AllUsers 0
  ${EndIf}
  ${If} $AllUsers == 1
  ${AndIf} $IsAdmin == 0
    ${If} ${Silent}
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
    ClearErrors
    ExecShell "runas" "$EXEPATH" "_?=$INSTDIR"
    ${IfNot} ${Errors}
      Quit
    ${EndIf}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Tornix 是为所有用户安装的，卸载需要管理员权限。"
    Quit
  ${EndIf}
  Call un.UseMode
FunctionEnd

Section "Uninstall"
  Call un.ProgramsClosed
  Call un.RemoveFromPath
  ReadRegDWORD $0 SHCTX "${UNINSTALL_KEY}" "DesktopShortcut"
  ${If} $0 == 1
    Delete "$DESKTOP\Tornix.lnk"
  ${EndIf}
  Delete "$SMPROGRAMS\Tornix.lnk"

  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegValue SHCTX "Software\Classes\.txt\OpenWithProgids" "${PROGID}"
  ; The keys this setup may have made on the way, each only when nothing
  ; else is in it (no value, no key).
  ${If} $AllUsers == 1
    StrCpy $0 ${HKLM_HANDLE}
  ${Else}
    StrCpy $0 ${HKCU_HANDLE}
  ${EndIf}
  System::Call 'shlwapi::SHDeleteEmptyKeyW(p r0, w "Software\Classes\.txt\OpenWithProgids") i'
  System::Call 'shlwapi::SHDeleteEmptyKeyW(p r0, w "Software\Classes\.txt") i'
  DeleteRegKey SHCTX "Software\Classes\Applications\tornix.exe"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  Delete "$INSTDIR\tornix.exe"
  Delete "$INSTDIR\tornix-convert.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: a file of the user's keeps the folder.
  RMDir "$INSTDIR"
  ${If} $AllUsers == 0
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
