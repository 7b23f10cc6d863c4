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
// and COM server. Never touches the shared files in the Windows folder or
// the shared data folder.
RemovalReport RemoveInstallation(const std::wstring& install_folder);

}  // namespace glimmora
