// The fixed installation actions that follow extraction: shortcuts, the
// driver, the uninstall entry, the product key with the driver's service key,
// and the shared files with the shared data folder and COM registration.
// Each action does all it can and answers false when any part of it failed,
// so that the installation never reports success over a missing piece.
// With a journal, every change an action makes is recorded so that a failed
// installation can be undone.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class InstallJournal;

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
  // Where the actions record their changes; null records nothing.
  void SetJournal(InstallJournal* journal) { journal_ = journal; }
  // Whether this run adds its reference to the shared files' counts: once
  // per installation, so a repair does not count again.
  void SetCountSharedFiles(bool count) { count_shared_ = count; }
  // Shared files the package itself put into the system or Windows folder
  // (counted with the shared files DeploySharedFiles copies).
  void AddDeliveredSharedFile(const std::u16string& path) { delivered_shared_.push_back(path); }
  void ClearDeliveredSharedFiles() { delivered_shared_.clear(); }

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

  // A file copied over `target`, the previous one kept for the journal.
  bool CopyJournaled(const std::u16string& source, const std::u16string& target, bool native_view = false);
  // One folder level made, and journaled when it is new.
  void MakeFolder(const std::u16string& path);

  StringLoader load_string_;
  std::u16string install_folder_;
  // Adds one to the count of each shared file of this run.
  bool CountSharedFiles(const std::vector<std::u16string>& paths);

  InstallJournal* journal_ = nullptr;
  bool count_shared_ = false;
  std::vector<std::u16string> delivered_shared_;
};

// The product's shared data folder: every user of the machine reads and
// writes the product's data there (modify rights, without the right to
// change permissions or ownership); administrators and the system have full
// control; anonymous logons and guests get nothing. Inherited by files and
// subfolders, and protected from the looser rights of the folder above.
constexpr const char16_t* kSharedFolderAccess = u"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)";

// Values the runners hand the actions.
constexpr const char16_t* kProductName = u"Glimmora";
constexpr const char16_t* kCompanyName = u"Corvanel";
constexpr uint32_t kStartMenuShortcutId = 118;
constexpr uint32_t kDesktopShortcutId = 126;
