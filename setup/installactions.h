// The fixed installation actions that follow extraction: shortcuts, the
// driver, the uninstall entry, the product key with the driver's service key,
// and the shared files with the shared data folder and COM registration.
// Each action does all it can and answers false when any part of it failed,
// so that the installation never reports success over a missing piece.
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

  // In the order the installation calls them.
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
  bool RegisterComServer();

  StringLoader load_string_;
  std::u16string install_folder_;
};

// Values the runners hand the actions.
constexpr const char16_t* kProductName = u"Glimmora";
constexpr const char16_t* kCompanyName = u"Corvanel";
constexpr uint32_t kStartMenuShortcutId = 118;
constexpr uint32_t kDesktopShortcutId = 126;
