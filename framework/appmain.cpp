// The entry point of a program built on the framework: the global
// application object runs, and the process ends with the code it chose.
#include <windows.h>

#include "framework/app.h"
#include "framework/librarysearch.h"

namespace {

// Restricts the library search before the first static object is
// constructed (101 is the earliest priority a program may use), not only
// before wWinMain: the application object's constructor already asks the
// shell for folders, and the shell loads libraries by name.
__attribute__((constructor(101))) void RestrictLibrarySearchFirst() { fw::RestrictLibrarySearch(); }

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR command_line, int) {
  fw::CWinApp* app = fw::CWinApp::GetApp();
  // Returning (rather than ending the process here) lets the runtime destroy
  // the application object, which releases what it holds.
  return app ? app->Run(instance, command_line) : 0;
}
