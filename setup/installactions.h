// The fixed installation actions that follow extraction: shortcuts, the
// driver, the uninstall entry, the product key with the driver's service key,
// and the shared files with the shared data folder and COM registration.
// Results are reported but the runners do not act on them: nothing is
// rolled back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class CInstallActions {
 public:
  // Texts the actions take from the current resource source by id
  // (the shortcut file names 118 and 126).
  using StringLoader = std::function<std::u16string(uint32_t id)>;

  explicit CInstallActions(StringLoader load_string);

  // Ends in a backslash when the actions run; every path below is this
  // folder followed directly by a file name.
  void SetInstallFolder(const std::u16string& folder) { install_folder_ = folder; }
  const std::u16string& GetInstallFolder() const { return install_folder_; }

  // In the order the runners call them.
  bool CreateShortcuts(int32_t flag);
  bool InstallDriver();
  bool RegisterUninstallEntry(const std::u16string& version, const std::u16string& display_name,
                              const std::u16string& install_folder);
  bool RegisterProductInfo(const std::u16string& name, const std::u16string& program_path,
                           const std::u16string& install_folder, const std::u16string& version,
                           const std::u16string& company, int32_t language_index);
  bool DeploySharedFiles();

  bool InstallDriver64();
  bool MakeShortcut(const std::u16string* target, const std::u16string* link_path, const std::u16string* arguments,
                    const std::u16string* description, const std::u16string* working_folder);

 private:
  bool WriteDriverServiceKey();
  void RegisterComServer();

  StringLoader load_string_;
  std::u16string install_folder_;
};

// Values the runners hand the actions.
constexpr const char16_t* kProductName = u"Glimmora";
constexpr const char16_t* kCompanyName = u"Corvanel";
constexpr uint32_t kStartMenuShortcutId = 118;
constexpr uint32_t kDesktopShortcutId = 126;

// Runs the five actions in their fixed order for `install_folder` (ending in
// a backslash), as both the silent run and the progress page do.
void RunInstallActions(CInstallActions& actions, const std::u16string& install_folder,
                       const std::u16string& product_version, int32_t language_index);
