// The setup program's application object: start-up, the unattended run and
// the hand-over to the interactive user interface.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "build/extract.h"
#include "framework/app.h"
#include "setup/installactions.h"
#include "setup/installation.h"
#include "setup/renderer/window3drotator.h"
#include "setup/wizard/pagefont.h"

class CGlimmoraInstallApp : public fw::CWinApp {
 public:
  CGlimmoraInstallApp();
  ~CGlimmoraInstallApp() override;

  BOOL InitInstance() override;

  // Read by the pages of the user interface.
  std::u16string install_folder_;  // ends in a backslash once settled
  std::u16string product_version_;
  int32_t language_copy_ = 1;
  std::u16string temp_folder_;     // the run's own folder, ending in a backslash; empty in silent runs
  PageFonts fonts_;                // made by the pages on first use
  std::u16string named_result_path_;  // the result file the command line named, or empty
  InstallOutcome outcome_;         // of the interactive installation, for the finish page
  std::vector<std::u16string> folders_made_;  // levels of the install folder the wizard made

  // The engine opened at start-up; the installation uses it.
  CMyExtract& GetEngine() { return engine_; }
  CInstallActions& GetActions() { return actions_; }

 private:
  bool CheckSingleInstance();
  bool ExtractResourceToFile(UINT id, const wchar_t* type, const std::u16string& file_name);
  void SelectLanguageResources(bool write_files);
  // Ends a silent run that cannot install: the failure section, exit code 1,
  // no window.
  bool ExtractResourceToSystem(UINT id, const wchar_t* type, const std::u16string& file_name);
  [[noreturn]] void RefuseSilently();
  // A message without owner, then the end of the process (code 0).
  [[noreturn]] void ShowMessageAndEnd(UINT text_id);
  // Lets go of everything loaded from the run folder and removes it.
  void EndRun();
  bool PrepareSplashRenderer();
  bool IsSupportedWindows();
  bool HasAdminRights();
  std::u16string ReadInstalledFolder();
  void WriteSkinImages();
  void LoadLanguageModule();

  CInstallActions actions_;
  CMyExtract engine_;
  HMODULE language_module_ = nullptr;  // kept for the life of the process
  HMODULE renderer_module_ = nullptr;  // kept for the life of the process
  IWindow3DRotator* splash_rotator_ = nullptr;
  HANDLE single_instance_event_ = nullptr;  // open until the process ends
};

// The application object, for the pages of the user interface.
CGlimmoraInstallApp* GetSetupApp();

// The process-wide language index, stored as "Lang" (0..21).
extern int32_t g_language_index;
// The result file path (ANSI), "C:\Glimmora.log" unless the command line names one.
extern std::string g_result_path;
