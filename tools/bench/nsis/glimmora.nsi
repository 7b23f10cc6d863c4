; The NSIS side of `./run bench --compare-nsis`: the benchmark payload as a
; plain NSIS installer, zlib per file (not solid), silent, into
; $PROGRAMFILES\Tavrin\Glimmora, followed by the same work Glimmora's silent
; run does after extraction (two shortcuts, the uninstall entry, the product
; and service keys, the shared data folder, the COM registration started
; without waiting). Everything else is NSIS's default, as most installers
; leave it (the installer's CRC check at start included).
;
;   makensis -DPAYLOAD=/abs/payload -DOUTFILE=/abs/setup.exe glimmora.nsi
;   (-DNO_ACTIONS: files only)

Unicode true
SetCompressor zlib
SilentInstall silent
RequestExecutionLevel admin

Name "Glimmora"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Tavrin\Glimmora"

Section
  SetOutPath "$INSTDIR"
  File /r "${PAYLOAD}/*"

!ifndef NO_ACTIONS
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Tavrin"
  CreateShortcut "$SMPROGRAMS\Tavrin\Tavrin Glimmora.lnk" "$INSTDIR\Glimmora.exe" "" "$INSTDIR\glimmora.ico" 0
  CreateShortcut "$DESKTOP\Tavrin Glimmora.lnk" "$INSTDIR\Glimmora.exe" "" "$INSTDIR\glimmora.ico" 0

  !define UNINSTALL "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora3.5"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayName" "Glimmora"
  WriteRegStr HKLM "${UNINSTALL}" "UninstallString" "$INSTDIR\Remove.exe"
  WriteRegStr HKLM "${UNINSTALL}" "Publisher" "Tavrin"
  WriteRegStr HKLM "${UNINSTALL}" "URLInfoAbout" "http://www.tavrin.example/glimmora"
  WriteRegStr HKLM "${UNINSTALL}" "URLUpdateInfo" "http://www.tavrin.example/glimmora"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayVersion" "1.0"
  WriteRegStr HKLM "${UNINSTALL}" "InstallLocation" "$INSTDIR\"
  WriteRegStr HKLM "${UNINSTALL}" "Comments" "Thanks for using Tavrin artificial intelligence product."
  WriteRegStr HKLM "${UNINSTALL}" "ReadMe" "$INSTDIR\Notes.txt"
  WriteRegStr HKLM "${UNINSTALL}" "DisplayIcon" "$INSTDIR\glimmora.exe,0"

  WriteRegStr HKLM "SOFTWARE\Tavrin\Glimmora" "Name" "Glimmora"
  WriteRegStr HKLM "SOFTWARE\Tavrin\Glimmora" "Version" "1.0"
  WriteRegStr HKLM "SOFTWARE\Tavrin\Glimmora" "InstallPath" "$INSTDIR\Glimmora.exe"
  WriteRegStr HKLM "SOFTWARE\Tavrin\Glimmora" "InstallDir" "$INSTDIR\"
  WriteRegStr HKLM "SOFTWARE\Tavrin\Glimmora" "company" "Corvanel"
  WriteRegDWORD HKLM "SOFTWARE\Tavrin\Glimmora" "Lang" 1

  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\kvfilt" "Start" 1
  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\kvfilt" "Type" 1
  WriteRegDWORD HKLM "SYSTEM\CurrentControlSet\Services\kvfilt" "ErrorControl" 0
  WriteRegStr HKLM "SYSTEM\CurrentControlSet\Services\kvfilt" "Group" "Extended base"

  CreateDirectory "$APPDATA\Glimmora"
  Exec '"$SYSDIR\RegSvr32.exe" /s "$SYSDIR\Harrow.dll"'
!endif
SectionEnd
