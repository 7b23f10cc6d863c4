// What removing Glimmora undoes, step by step. Every step carries on after
// a failure; what could not go now is left for the next restart where the
// system allows that, and reported.
#pragma once

#include <string>
#include <vector>

namespace glimmora {

struct RemovalReport {
  std::vector<std::wstring> left_until_restart;  // scheduled for deletion at the next start
  std::vector<std::wstring> left_behind;         // could not be removed at all
};

// Removes the installation whose files are in `install_folder` (ending in a
// backslash or not): files and folder, shortcuts, registry entries, driver
// and COM server. A shared file (the Windows folder's, the COM server) goes
// only when its SharedDLLs count says this was its last user; an uncounted
// one in the Windows folder stays, as does the shared data folder.
RemovalReport RemoveInstallation(const std::wstring& install_folder);

}  // namespace glimmora
