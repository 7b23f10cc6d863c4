// The entry point of a program built on the framework: the global
// application object runs, and the process ends with the code it chose.
#include <windows.h>

#include "framework/app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  fw::CWinApp* app = fw::CWinApp::GetApp();
  // Returning (rather than ending the process here) lets the runtime destroy
  // the application object, which releases what it holds.
  return app ? app->Run(instance, command_line) : 0;
}
