// The application object: one global instance, constructed before start-up;
// the entry point hands it the command line and calls InitInstance, which
// does all the work. There is no main window and no message loop here:
// every window is a modal dialog run from inside InitInstance.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // True ends the process at once; false after the framework's own exit
  // processing. The exit code is what SetExitCode set, 0 by default.
  virtual BOOL InitInstance() = 0;

  void SetExitCode(int code) { exit_code_ = code; }

  HINSTANCE GetInstanceHandle() const { return instance_; }
  // The argument text, without the program's own path.
  const std::u16string& GetCommandLineText() const { return command_line_; }

  // Called by the entry point.
  int Run(HINSTANCE instance, const wchar_t* command_line);
  static CWinApp* GetApp() { return the_app_; }

 private:
  HINSTANCE instance_ = nullptr;
  std::u16string command_line_;
  int exit_code_ = 0;
  static CWinApp* the_app_;
};

// A message box without owner, the program's caption (string 102) and the
// information icon, after which the process ends at once with code 0.
[[noreturn]] void ShowMessageAndExit(UINT text_id);

}  // namespace fw
