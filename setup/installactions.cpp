#include "setup/installactions.h"

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"
#include "setup/journal.h"
#include "setup/sharedfiles.h"

namespace {

constexpr int kCsidlWindows = 0x24;
constexpr int kCsidlSystem = 0x25;
constexpr int kCsidlCommonAppData = 0x23;
constexpr int kCsidlCommonPrograms = 0x17;
constexpr int kCsidlCommonDesktop = 0x19;

constexpr const char16_t* kUninstallKey = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr const char16_t* kUninstallEntry = u"Glimmora3.5";
constexpr const char16_t* kProductKeyParent = u"SOFTWARE";
constexpr const char16_t* kProductKey = u"Tavrin\\Glimmora";
constexpr const char16_t* kServicesKey = u"SYSTEM\\CurrentControlSet\\Services";
constexpr const char16_t* kServiceName = u"kvfilt";
constexpr const char16_t* kMakerWeb = u"http://www.tavrin.example/glimmora";

// Shared files copied from the install folder into the Windows folder.
constexpr const char16_t* kSharedFiles[] = {
    u"GlimmoraSrcSaver.scr", u"Nuvel.dll", u"Tessel.dll",   u"Morrow.dll",  u"Quillon.dll",
    u"Atl71.dll",            u"d3dx9_24.dll", u"MFC71.dll", u"msvcr80.dll", u"Microsoft.VC80.CRT.manifest",
};

void Trace(const std::u16string& text) { platform::DebugOutput(text); }

// A key the actions write values into: its new levels and every value set
// are journaled, with the value each one replaced.
class ActionKey {
 public:
  // Opens `path` below HKEY_LOCAL_MACHINE, then creates `subkey` below it
  // level by level, the way every key of the actions is reached.
  static ActionKey OpenThenCreate(InstallJournal* journal, const std::u16string& path, const std::u16string& subkey) {
    ActionKey key;
    key.journal_ = journal;
    if (!platform::RegKey::Open(platform::kLocalMachine, path).IsValid()) return key;
    std::u16string level = path;
    size_t start = 0;
    while (start <= subkey.size()) {
      size_t end = subkey.find(u'\\', start);
      if (end == std::u16string::npos) end = subkey.size();
      level += u"\\" + subkey.substr(start, end - start);
      const bool existed = platform::RegKey::Open(platform::kLocalMachine, level).IsValid();
      key.key_ = platform::RegKey::Create(platform::kLocalMachine, level);
      if (!key.key_.IsValid()) return key;
      if (!existed && journal) journal->KeyCreated(platform::kLocalMachine, level);
      start = end + 1;
    }
    key.path_ = level;
    return key;
  }

  bool IsValid() const { return key_.IsValid(); }

  // A value that cannot be written (a key closed to us, a full registry)
  // fails the action.
  //
  // The product's string values are stored without their terminating zero
  // (twice the character count), as readers of these keys have always found
  // them; a reader into a zero-filled buffer gets the whole text. The system
  // counts a terminator in by itself when the character after the data is a
  // zero, so the data is handed over with a guard character behind it.
  bool SetText(const std::u16string& name, const std::u16string& text) {
    const std::u16string guarded = text + u'#';
    return Set(name, platform::kRegSz, guarded.data(), static_cast<uint32_t>(text.size() * sizeof(char16_t)));
  }

  // One more on a count (a missing or malformed one counts as none).
  bool Increment(const std::u16string& name) {
    uint32_t type = 0;
    uint32_t count = 0;
    if (auto bytes = key_.QueryValue(name, &type); bytes && type == platform::kRegDword && bytes->size() == 4) {
      count = (*bytes)[0] | ((*bytes)[1] << 8) | ((*bytes)[2] << 16) | (static_cast<uint32_t>((*bytes)[3]) << 24);
    }
    return SetDword(name, count + 1);
  }

  bool SetDword(const std::u16string& name, uint32_t value) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return Set(name, platform::kRegDword, bytes, 4);
  }

 private:
  bool Set(const std::u16string& name, uint32_t type, const void* data, uint32_t size) {
    std::optional<InstallJournal::Value> previous;
    uint32_t previous_type = 0;
    if (auto bytes = key_.QueryValue(name, &previous_type)) previous = InstallJournal::Value{previous_type, *bytes};
    if (!key_.SetValue(name, type, data, size)) return false;
    if (journal_) journal_->ValueSet(platform::kLocalMachine, path_, name, std::move(previous));
    return true;
  }

  InstallJournal* journal_ = nullptr;
  std::u16string path_;
  platform::RegKey key_;
};

// The driver copy of the 32-bit lines: "kvfilt.sys" in the system's
// driver folder.
std::u16string DriverTarget(const std::u16string& system_folder) { return system_folder + u"\\Drivers\\kvfilt.sys"; }

}  // namespace

CInstallActions::CInstallActions(StringLoader load_string) : load_string_(std::move(load_string)) {}

bool CInstallActions::CopyJournaled(const std::u16string& source, const std::u16string& target, bool native_view) {
  // The file there is moved aside, not overwritten: a driver or library in
  // use can be renamed though not replaced.
  const bool copied = WriteFileJournaled(journal_, target, native_view,
                                         [&] { return platform::CopyFileOver(source, target); });
  if (!copied) Trace(u"Copy File Failed");
  return copied;
}

void CInstallActions::MakeFolder(const std::u16string& path) {
  if (platform::CreateFolder(path) && journal_) journal_->FolderCreated(path);
}

bool CInstallActions::CreateShortcuts(int32_t flag) {
  const std::u16string target = install_folder_ + u"\\Glimmora.exe";
  const std::u16string programs = platform::SpecialFolderPath(kCsidlCommonPrograms);
  MakeFolder(programs + u"\\Tavrin");  // an existing folder is fine; a missing one fails the link
  const std::u16string start_menu_link = programs + load_string_(kStartMenuShortcutId);
  bool made = MakeShortcut(&target, &start_menu_link, nullptr, nullptr, &install_folder_);
  if (flag == 0) {
    const std::u16string desktop_link = platform::SpecialFolderPath(kCsidlCommonDesktop) + load_string_(kDesktopShortcutId);
    made = MakeShortcut(&target, &desktop_link, nullptr, nullptr, &install_folder_) && made;
  }
  return made;
}

bool CInstallActions::MakeShortcut(const std::u16string* target, const std::u16string* link_path,
                                   const std::u16string* arguments, const std::u16string* description,
                                   const std::u16string* working_folder) {
  if (target == nullptr || link_path == nullptr) return false;
  platform::ShellLink link;
  link.target = *target;
  if (arguments) link.arguments = *arguments;
  if (description) link.description = *description;
  if (working_folder) {
    link.working_folder = *working_folder;
    link.icon_path = *working_folder + u"glimmora.ico";
    link.icon_index = 0;
  }
  return WriteFileJournaled(journal_, *link_path, false, [&] { return platform::SaveShellLink(link, *link_path); });
}

bool CInstallActions::InstallDriver() {
  const std::u16string system_folder = platform::SpecialFolderPath(kCsidlSystem);
  const platform::OsVersion version = platform::GetOsVersion();
  if (version.major == 0) return false;  // the version could not be read
  if (version.major == 5) {
    Trace(u"Start Driver");
    Trace(DriverTarget(system_folder));
    return CopyJournaled(install_folder_ + u"kvfilt.xp", DriverTarget(system_folder));
  }
  if (version.major == 6) {
    if (platform::IsWow64()) return InstallDriver64();
    Trace(DriverTarget(system_folder));
    return CopyJournaled(install_folder_ + u"kvfilt.vst", DriverTarget(system_folder));
  }
  return true;  // no driver for other systems; start-up refuses them anyway
}

bool CInstallActions::InstallDriver64() {
  Trace(u"64bit copy file");
  // Only this copy sees the native system folder; everything else the
  // program writes stays in the 32-bit view.
  platform::ScopedNativeSystemFolder native;
  const std::u16string system_folder = platform::SpecialFolderPath(kCsidlSystem);
  Trace(system_folder);
  Trace(DriverTarget(system_folder));
  return CopyJournaled(install_folder_ + u"kvfilt.x64", DriverTarget(system_folder), true);
}

bool CInstallActions::RegisterUninstallEntry(const std::u16string& version, const std::u16string& display_name,
                                             const std::u16string& install_folder) {
  ActionKey entry = ActionKey::OpenThenCreate(journal_, kUninstallKey, kUninstallEntry);
  if (!entry.IsValid()) return false;
  bool written = entry.SetText(u"DisplayName", display_name);
  written = entry.SetText(u"UninstallString", install_folder + u"Remove.exe") && written;
  written = entry.SetText(u"Publisher", u"Tavrin") && written;
  written = entry.SetText(u"URLInfoAbout", kMakerWeb) && written;
  written = entry.SetText(u"URLUpdateInfo", kMakerWeb) && written;
  written = entry.SetText(u"DisplayVersion", version) && written;
  written = entry.SetText(u"InstallLocation", install_folder) && written;
  written = entry.SetText(u"Comments", u"Thanks for using Tavrin artificial intelligence product.") && written;
  written = entry.SetText(u"ReadMe", install_folder + u"Notes.txt") && written;
  written = entry.SetText(u"DisplayIcon", install_folder + u"glimmora.exe,0") && written;
  return written;
}

bool CInstallActions::RegisterProductInfo(const std::u16string& name, const std::u16string& program_path,
                                          const std::u16string& install_folder, const std::u16string& version,
                                          const std::u16string& company, int32_t language_index) {
  bool written = false;
  {
    ActionKey product = ActionKey::OpenThenCreate(journal_, kProductKeyParent, kProductKey);
    if (product.IsValid()) {
      written = product.SetText(u"Name", name);
      written = product.SetText(u"Version", version) && written;
      written = product.SetText(u"InstallPath", program_path) && written;
      written = product.SetText(u"InstallDir", install_folder) && written;
      written = product.SetText(u"company", company) && written;
      written = product.SetDword(u"Lang", static_cast<uint32_t>(language_index)) && written;
    }
  }
  // The service key is written even when the product key was refused: the
  // driver copied a moment ago needs it to start.
  return WriteDriverServiceKey() && written;
}

bool CInstallActions::WriteDriverServiceKey() {
  // No image path: the system looks for the driver under the service name in
  // its driver folder, where InstallDriver put it.
  ActionKey service = ActionKey::OpenThenCreate(journal_, kServicesKey, kServiceName);
  if (!service.IsValid()) return false;
  bool written = service.SetDword(u"Start", 1);
  written = service.SetDword(u"Type", 1) && written;
  written = service.SetDword(u"ErrorControl", 0) && written;
  written = service.SetText(u"Group", u"Extended base") && written;
  return written;
}

bool CInstallActions::DeploySharedFiles() {
  const std::u16string windows_folder = platform::SpecialFolderPath(kCsidlWindows);
  bool deployed = true;
  std::vector<std::u16string> shared = delivered_shared_;
  for (const char16_t* name : kSharedFiles) {
    // A file the package does not deliver is not shared; one it delivered
    // must arrive, unless a newer (or the same, or someone's edited) file of
    // that name is there already, which stays.
    const std::u16string source = install_folder_ + name;
    if (!platform::FileExists(source)) continue;
    const std::u16string target = windows_folder + u"\\" + name;
    if (platform::FileExists(target) && !MayReplaceSharedFile(FileVersionOf(source), DescribeExistingFile(target))) {
      Trace(u"Kept the file there: " + target);
    } else if (!CopyJournaled(source, target)) {
      deployed = false;
      continue;
    }
    shared.push_back(target);
  }
  if (count_shared_ && !CountSharedFiles(shared)) deployed = false;
  // Only the last level is created; an existing folder keeps its rights.
  const std::u16string data_folder = platform::SpecialFolderPath(kCsidlCommonAppData) + u"\\Glimmora";
  if (platform::CreateFolderWithAccess(data_folder, kSharedFolderAccess)) {
    if (journal_) journal_->FolderCreated(data_folder);
  } else if (!platform::FolderExists(data_folder)) {
    deployed = false;
  }
  return RegisterComServer() && deployed;
}

bool CInstallActions::CountSharedFiles(const std::vector<std::u16string>& paths) {
  if (paths.empty()) return true;
  ActionKey counts = ActionKey::OpenThenCreate(journal_, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"SharedDLLs");
  if (!counts.IsValid()) return false;
  bool counted = true;
  for (const std::u16string& path : paths) counted = counts.Increment(path) && counted;
  return counted;
}

bool CInstallActions::RegisterComServer() {
  const std::u16string server = platform::SpecialFolderPath(kCsidlSystem) + u"\\Harrow.dll";
  Trace(server);
  const std::u16string parameters = u"/s \"" + server + u"\"";
  Trace(parameters);
  // By its full path: by name the shell would look in this program's own
  // folder (a Downloads folder) first, and run whatever is there as administrator.
  const std::u16string tool = platform::SpecialFolderPath(kCsidlSystem) + u"\\RegSvr32.exe";
  if (!platform::StartProgram(tool, parameters)) return false;  // runs on its own; nobody waits for it
  if (journal_) journal_->ComRegistered(server);
  return true;
}
