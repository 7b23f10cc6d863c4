#include "setup/interactive.h"

#include <windows.h>
#include <commctrl.h>

#include "framework/gdiplus_session.h"
#include "setup/glimmorainstall.h"
#include "setup/wizard/repairdialog.h"
#include "setup/wizard/wizard.h"
#include "skin/skinmanager.h"

void RunInteractiveInstallation(CGlimmoraInstallApp& app, const std::u16string& installed_folder) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  fw::StartGdiplus();
  // Every page takes its look from the description written next to the
  // skin pictures in the temporary folder.
  const std::u16string description = app.temp_folder_ + u"install.ini";
  CSkinManager::SetSkinFile(std::wstring(description.begin(), description.end()));

  if (installed_folder.empty()) {
    CDialogWizard wizard;
    wizard.DoModal();
    return;
  }
  CDialogRepair repair;
  repair.SetInstalledFolder(std::wstring(installed_folder.begin(), installed_folder.end()));
  app.install_folder_ = installed_folder;
  repair.DoModal();
}
