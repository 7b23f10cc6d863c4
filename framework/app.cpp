#include "framework/app.h"

#include "framework/resources.h"

namespace fw {

CWinApp* CWinApp::the_app_ = nullptr;

CWinApp::CWinApp() { the_app_ = this; }

CWinApp::~CWinApp() {
  if (the_app_ == this) the_app_ = nullptr;
}

int CWinApp::Run(HINSTANCE instance, const wchar_t* command_line) {
  instance_ = instance;
  command_line_ = command_line ? reinterpret_cast<const char16_t*>(command_line) : u"";
  try {
    InitInstance();
  } catch (...) {
    // Nothing escapes the entry point, and a run that broke off is no
    // success.
    exit_code_ = 1;
  }
  return exit_code_;
}

void ShowMessageAndExit(UINT text_id) {
  const std::u16string text = LoadString(text_id);
  const std::u16string caption = LoadString(102);
  ::MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()),
                reinterpret_cast<const wchar_t*>(caption.c_str()), MB_OK | MB_ICONINFORMATION);
  ::ExitProcess(0);
}

}  // namespace fw
