#include "setup/interactive.h"

#include <windows.h>
#include <objidl.h>  // before GDI+, which needs its property types
#include <gdiplus.h>

#include "platform/diag.h"
#include "setup/glimmorainstall.h"

namespace {

// GDI+ serves every page for the rest of the process and is never shut down.
void StartGdiplus() {
  static ULONG_PTR token = 0;
  if (token != 0) return;
  Gdiplus::GdiplusStartupInput input;
  Gdiplus::GdiplusStartup(&token, &input, nullptr);
}

}  // namespace

void RunInteractiveInstallation(CGlimmoraInstallApp& app, const std::u16string& installed_folder) {
  StartGdiplus();
  if (!installed_folder.empty()) app.install_folder_ = installed_folder;
  // The skinned wizard and the repair dialog are built on the skin library;
  // until they are part of this program an interactive start installs
  // nothing and says so to a debugger.
  platform::DebugOutput(u"The interactive user interface is not part of this build; use /S.");
}
