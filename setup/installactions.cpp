#include "setup/installactions.h"

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/system.h"

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

// Full access for guests, anonymous logon, authenticated users and
// administrators, inherited by files and subfolders: every user of the
// machine shares the product's data folder.
constexpr const char16_t* kSharedFolderAccess =
    u"D:(A;OICI;GA;;;BG)(A;OICI;GA;;;AN)(A;OICI;GA;;;AU)(A;OICI;GA;;;BA)";

// Shared files copied from the install folder into the Windows folder.
constexpr const char16_t* kSharedFiles[] = {
    u"GlimmoraSrcSaver.scr", u"Nuvel.dll", u"Tessel.dll",   u"Morrow.dll",  u"Quillon.dll",
    u"Atl71.dll",            u"d3dx9_24.dll", u"MFC71.dll", u"msvcr80.dll", u"Microsoft.VC80.CRT.manifest",
};

void Trace(const std::u16string& text) { platform::DebugOutput(text); }

// A value that cannot be written (a key closed to us, a full registry)
// fails the action; the text is still stored whole when it can be.
//
// The product's string values are stored without their terminating zero
// (twice the character count), as readers of these keys have always found
// them; a reader into a zero-filled buffer gets the whole text. The system
// counts a terminator in by itself when the character after the data is a
// zero, so the data is handed over with a guard character behind it.
bool SetText(platform::RegKey& key, const std::u16string& name, const std::u16string& text) {
  const std::u16string guarded = text + u'#';
  return key.SetValue(name, platform::kRegSz, guarded.data(), static_cast<uint32_t>(text.size() * sizeof(char16_t)));
}

// Opens `path` below HKEY_LOCAL_MACHINE, then creates `subkey` below it, the
// way every key of the actions is reached.
platform::RegKey OpenThenCreate(const std::u16string& path, const std::u16string& subkey) {
  platform::RegKey parent = platform::RegKey::Open(platform::kLocalMachine, path);
  if (!parent.IsValid()) return {};
  return platform::RegKey::Create(platform::kLocalMachine, path + u"\\" + subkey);
}

// The driver copy of the 32-bit lines: "kvfilt.sys" in the system's
// driver folder.
bool CopyDriver(const std::u16string& source, const std::u16string& system_folder) {
  const std::u16string target = system_folder + u"\\Drivers\\kvfilt.sys";
  Trace(source);
  Trace(target);
  if (platform::CopyFileOver(source, target)) return true;
  Trace(u"Copy File Failed");
  return false;
}

}  // namespace

CInstallActions::CInstallActions(StringLoader load_string) : load_string_(std::move(load_string)) {}

bool CInstallActions::CreateShortcuts(int32_t flag) {
  const std::u16string target = install_folder_ + u"\\Glimmora.exe";
  const std::u16string programs = platform::SpecialFolderPath(kCsidlCommonPrograms);
  platform::CreateFolder(programs + u"\\Tavrin");  // an existing folder is fine; a missing one fails the link
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
  return platform::SaveShellLink(link, *link_path);  // a failed link leaves no file behind
}

bool CInstallActions::InstallDriver() {
  const std::u16string system_folder = platform::SpecialFolderPath(kCsidlSystem);
  const platform::OsVersion version = platform::GetOsVersion();
  if (version.major == 0) return false;  // the version could not be read
  if (version.major == 5) {
    Trace(u"Start Driver");
    return CopyDriver(install_folder_ + u"kvfilt.xp", system_folder);
  }
  if (version.major == 6) {
    if (platform::IsWow64()) return InstallDriver64();
    return CopyDriver(install_folder_ + u"kvfilt.vst", system_folder);
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
  const std::u16string target = system_folder + u"\\Drivers\\kvfilt.sys";
  Trace(target);
  if (platform::CopyFileOver(install_folder_ + u"kvfilt.x64", target)) return true;
  Trace(u"Copy File Failed");
  return false;
}

bool CInstallActions::RegisterUninstallEntry(const std::u16string& version, const std::u16string& display_name,
                                             const std::u16string& install_folder) {
  platform::RegKey entry = OpenThenCreate(kUninstallKey, kUninstallEntry);
  if (!entry.IsValid()) return false;
  bool written = SetText(entry, u"DisplayName", display_name);
  written = SetText(entry, u"UninstallString", install_folder + u"Remove.exe") && written;
  written = SetText(entry, u"Publisher", u"Tavrin") && written;
  written = SetText(entry, u"URLInfoAbout", kMakerWeb) && written;
  written = SetText(entry, u"URLUpdateInfo", kMakerWeb) && written;
  written = SetText(entry, u"DisplayVersion", version) && written;
  written = SetText(entry, u"InstallLocation", install_folder) && written;
  written = SetText(entry, u"Comments", u"Thanks for using Tavrin artificial intelligence product.") && written;
  written = SetText(entry, u"ReadMe", install_folder + u"Notes.txt") && written;
  written = SetText(entry, u"DisplayIcon", install_folder + u"glimmora.exe,0") && written;
  return written;
}

bool CInstallActions::RegisterProductInfo(const std::u16string& name, const std::u16string& program_path,
                                          const std::u16string& install_folder, const std::u16string& version,
                                          const std::u16string& company, int32_t language_index) {
  bool written = false;
  {
    platform::RegKey product = OpenThenCreate(kProductKeyParent, kProductKey);
    if (product.IsValid()) {
      written = SetText(product, u"Name", name);
      written = SetText(product, u"Version", version) && written;
      written = SetText(product, u"InstallPath", program_path) && written;
      written = SetText(product, u"InstallDir", install_folder) && written;
      written = SetText(product, u"company", company) && written;
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
  platform::RegKey service = OpenThenCreate(kServicesKey, kServiceName);
  if (!service.IsValid()) return false;
  bool written = service.SetDword(u"Start", 1);
  written = service.SetDword(u"Type", 1) && written;
  written = service.SetDword(u"ErrorControl", 0) && written;
  written = SetText(service, u"Group", u"Extended base") && written;
  return written;
}

bool CInstallActions::DeploySharedFiles() {
  const std::u16string windows_folder = platform::SpecialFolderPath(kCsidlWindows);
  bool deployed = true;
  for (const char16_t* name : kSharedFiles) {
    // A file the package does not deliver is not shared; one it delivered
    // must arrive.
    const std::u16string source = install_folder_ + name;
    if (!platform::FileExists(source)) continue;
    if (!platform::CopyFileOver(source, windows_folder + u"\\" + name)) {
      Trace(u"Copy File Failed");
      deployed = false;
    }
  }
  // Only the last level is created; an existing folder keeps its rights.
  const std::u16string data_folder = platform::SpecialFolderPath(kCsidlCommonAppData) + u"\\Glimmora";
  if (!platform::CreateFolderWithAccess(data_folder, kSharedFolderAccess) && !platform::FolderExists(data_folder)) {
    deployed = false;
  }
  return RegisterComServer() && deployed;
}

bool CInstallActions::RegisterComServer() {
  const std::u16string server = platform::SpecialFolderPath(kCsidlSystem) + u"\\Harrow.dll";
  Trace(server);
  const std::u16string parameters = u"/s \"" + server + u"\"";
  Trace(parameters);
  return platform::StartProgram(u"RegSvr32.exe", parameters);  // runs on its own; nobody waits for it
}
