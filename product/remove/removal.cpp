#include "remove/removal.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cwctype>

#include "common/scoped.h"

namespace glimmora {
namespace {

constexpr wchar_t kProductKey[] = L"SOFTWARE\\Tavrin\\Glimmora";
constexpr wchar_t kMakerKey[] = L"SOFTWARE\\Tavrin";
constexpr wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora3.5";
constexpr wchar_t kServiceName[] = L"kvfilt";
constexpr wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\kvfilt";
constexpr wchar_t kProgramsLink[] = L"\\Tavrin\\Tavrin Glimmora.lnk";
constexpr wchar_t kProgramsFolder[] = L"\\Tavrin";
constexpr wchar_t kDesktopLink[] = L"\\Tavrin Glimmora.lnk";
constexpr wchar_t kSharedDllsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

// The shared files setup copies into the Windows folder; each one setup
// counted in SharedDLLs goes when the last product that uses it is removed.
const wchar_t* const kSharedFiles[] = {
    L"GlimmoraSrcSaver.scr", L"Nuvel.dll",    L"Tessel.dll", L"Morrow.dll",  L"Quillon.dll",
    L"Atl71.dll",            L"d3dx9_24.dll", L"MFC71.dll",  L"msvcr80.dll", L"Microsoft.VC80.CRT.manifest",
};

enum class SharedRelease {
  kStillUsed,  // another product counts it: it stays
  kLast,       // this was the last use: the file may go
  kUncounted,  // no count: an installation from before counting
};

// Takes this product's use off the file's count.
SharedRelease ReleaseSharedCount(const std::wstring& path) {
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &raw) != ERROR_SUCCESS)
    return SharedRelease::kUncounted;
  ScopedKey key(raw);
  DWORD count = 0, type = 0, size = sizeof count;
  if (RegQueryValueExW(key.Get(), path.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&count), &size) !=
          ERROR_SUCCESS || type != REG_DWORD) {
    return SharedRelease::kUncounted;
  }
  if (count > 1) {
    --count;
    RegSetValueExW(key.Get(), path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    return SharedRelease::kStillUsed;
  }
  RegDeleteValueW(key.Get(), path.c_str());
  return SharedRelease::kLast;
}

// The files a package of the product puts into the install folder. Used
// alone when the folder is not the registered one: then nothing else in it
// can be assumed to be ours.
const wchar_t* const kProductFiles[] = {
    L"Glimmora.exe", L"Remove.exe",  L"glimmora.ico", L"Notes.txt",   L"Harrow.dll",
    L"Nuvel.dll",    L"Tessel.dll",  L"Morrow.dll",   L"Quillon.dll", L"GlimmoraSrcSaver.scr",
    L"kvfilt.xp",    L"kvfilt.vst",  L"kvfilt.x64",
};

std::wstring WithoutSlash(std::wstring path) {
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return path;
}

bool SamePath(const std::wstring& a, const std::wstring& b) {
  return !a.empty() && !b.empty() && lstrcmpiW(WithoutSlash(a).c_str(), WithoutSlash(b).c_str()) == 0;
}

std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::wstring();
  return path;
}

std::wstring ReadString(HKEY root, const wchar_t* subkey, const wchar_t* name) {
  ScopedKey key;
  if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return std::wstring();
  // Setup stores strings without their terminating zero: read into a zeroed buffer.
  wchar_t value[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH * sizeof(wchar_t);
  if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::wstring();
  return value;
}

// Folders whose whole contents must never go, whatever a registry value says.
bool IsProtectedFolder(const std::wstring& folder) {
  const std::wstring path = WithoutSlash(folder);
  if (path.size() <= 3) return true;  // a drive root, or nothing
  const int kFolders[] = {CSIDL_WINDOWS,         CSIDL_SYSTEM,          CSIDL_PROGRAM_FILES,
                          CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE,
                          CSIDL_DESKTOPDIRECTORY, CSIDL_PERSONAL,        CSIDL_APPDATA,
                          CSIDL_LOCAL_APPDATA,   CSIDL_COMMON_APPDATA,  CSIDL_COMMON_DOCUMENTS,
                          CSIDL_MYPICTURES,      CSIDL_COMMON_DESKTOPDIRECTORY};
  for (int csidl : kFolders) {
    if (SamePath(path, SpecialFolder(csidl))) return true;
  }
  wchar_t temp[MAX_PATH] = {};
  if (GetTempPathW(MAX_PATH, temp) && SamePath(path, temp)) return true;
  // The parent of a user profile (C:\Users, C:\Documents and Settings).
  const std::wstring profile = WithoutSlash(SpecialFolder(CSIDL_PROFILE));
  const size_t cut = profile.rfind(L'\\');
  if (cut != std::wstring::npos && SamePath(path, profile.substr(0, cut))) return true;
  return false;
}

class Remover {
 public:
  RemovalReport Run(const std::wstring& install_folder);

 private:
  void DeleteOneFile(const std::wstring& path);
  void DeleteTree(const std::wstring& folder);  // contents, then the folder
  void DeleteFolderIfEmpty(const std::wstring& folder);
  void RemoveInstallFolder(const std::wstring& folder);
  void RemoveShortcuts();
  void RemoveRegistry();
  void RemoveDriver();
  void RemoveComServer();
  void RemoveSharedFiles();

  RemovalReport report_;
};

void Remover::DeleteOneFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  if (DeleteFileW(path.c_str())) return;
  // In use (a running program, a loaded library): gone at the next start.
  if (MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
    report_.left_until_restart.push_back(path);
  else
    report_.left_behind.push_back(path);
}

void Remover::DeleteFolderIfEmpty(const std::wstring& folder) {
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  if (RemoveDirectoryW(folder.c_str())) return;
  if (PathIsDirectoryEmptyW(folder.c_str())) {
    // Empty but held open by someone: the system removes it at the next start.
    if (MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT))
      report_.left_until_restart.push_back(folder);
    else
      report_.left_behind.push_back(folder);
  }
}

void Remover::DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  ScopedFind find(FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (find.IsValid()) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      // A junction or link is removed itself, never followed.
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
          !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        DeleteTree(path);
      else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveDirectoryW(path.c_str());
      else
        DeleteOneFile(path);
    } while (FindNextFileW(find.Get(), &found));
  }
  find.Reset();
  DeleteFolderIfEmpty(folder);
}

void Remover::RemoveInstallFolder(const std::wstring& install_folder) {
  const std::wstring folder = WithoutSlash(install_folder);
  if (GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  // The whole folder goes only when it is the one setup registered and no
  // folder of the system; otherwise just the product's own files.
  const bool registered = SamePath(folder, ReadString(HKEY_LOCAL_MACHINE, kProductKey, L"InstallDir")) ||
                          SamePath(folder, ReadString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"));
  if (registered && !IsProtectedFolder(folder)) {
    DeleteTree(folder);
    // The default layout is "<Program Files>\Tavrin\Glimmora": the maker's
    // folder goes too once nothing else of the maker is in it.
    const size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos) {
      const std::wstring parent = folder.substr(0, slash);
      const size_t parent_slash = parent.find_last_of(L'\\');
      if (parent_slash != std::wstring::npos && lstrcmpiW(parent.c_str() + parent_slash + 1, L"Tavrin") == 0 &&
          !IsProtectedFolder(parent)) {
        DeleteFolderIfEmpty(parent);
      }
    }
    return;
  }
  for (const wchar_t* name : kProductFiles) DeleteOneFile(folder + L"\\" + name);
  if (!IsProtectedFolder(folder)) DeleteFolderIfEmpty(folder);
}

void Remover::RemoveShortcuts() {
  const std::wstring programs = SpecialFolder(CSIDL_COMMON_PROGRAMS);
  if (!programs.empty()) {
    DeleteOneFile(programs + kProgramsLink);
    DeleteFolderIfEmpty(programs + kProgramsFolder);
  }
  const std::wstring desktop = SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY);
  if (!desktop.empty()) DeleteOneFile(desktop + kDesktopLink);
}

bool KeyIsEmpty(HKEY root, const wchar_t* subkey) {
  ScopedKey key;
  if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return false;
  return subkeys == 0 && values == 0;
}

void DeleteKeyTree(HKEY root, const wchar_t* subkey, RemovalReport& report) {
  const DWORD result = SHDeleteKeyW(root, subkey);
  if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
    report.left_behind.push_back(std::wstring(L"HKEY_LOCAL_MACHINE\\") + subkey);
}

void Remover::RemoveRegistry() {
  // Same view as setup: a 32-bit program without view flags.
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey, report_);
  if (KeyIsEmpty(HKEY_LOCAL_MACHINE, kMakerKey)) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMakerKey);
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey, report_);

  // The driver service: stopped and deleted through the service manager when
  // it knows the service, then the key itself, which setup wrote directly.
  if (SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT)) {
    if (SC_HANDLE service = OpenServiceW(manager, kServiceName, SERVICE_STOP | DELETE)) {
      SERVICE_STATUS status{};
      ControlService(service, SERVICE_CONTROL_STOP, &status);
      DeleteService(service);
      CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
  }
  DeleteKeyTree(HKEY_LOCAL_MACHINE, kServiceKey, report_);
}

void Remover::RemoveDriver() {
  wchar_t system[MAX_PATH] = {};
  if (!GetSystemDirectoryW(system, MAX_PATH)) return;
  const std::wstring driver = std::wstring(system) + L"\\Drivers\\kvfilt.sys";

  // On 64-bit Windows the driver lives in the native system folder, which a
  // 32-bit program sees only with redirection off; it is off for this one
  // delete and nothing else.
  using DisableFn = BOOL(WINAPI*)(PVOID*);
  using RevertFn = BOOL(WINAPI*)(PVOID);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto disable = reinterpret_cast<DisableFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
  auto revert = reinterpret_cast<RevertFn>(
      reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
  PVOID old_value = nullptr;
  const bool disabled = disable && revert && disable(&old_value);
  DeleteOneFile(driver);
  if (disabled) revert(old_value);
}

void Remover::RemoveComServer() {
  wchar_t system[MAX_PATH] = {};
  if (!GetSystemDirectoryW(system, MAX_PATH)) return;
  const std::wstring server = std::wstring(system) + L"\\Harrow.dll";
  if (GetFileAttributesW(server.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  // Another installation that shares the server still needs it registered.
  if (ReleaseSharedCount(server) == SharedRelease::kStillUsed) return;

  // The registration tool undoes what setup's call to it did; the file can
  // only go once it has finished with it. Named by its full path: by its
  // bare name it would be looked for in the current folder (the user's
  // temporary folder) before the system folder, and run with our rights.
  const std::wstring parameters = L"/u /s \"" + server + L"\"";
  const std::wstring tool = std::wstring(system) + L"\\RegSvr32.exe";
  SHELLEXECUTEINFOW run{};
  run.cbSize = sizeof(run);
  run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  run.lpVerb = L"open";
  run.lpFile = tool.c_str();
  run.lpParameters = parameters.c_str();
  run.nShow = SW_HIDE;
  if (ShellExecuteExW(&run) && run.hProcess) {
    ScopedHandle process(run.hProcess);
    WaitForSingleObject(process.Get(), 60 * 1000);
  }
  DeleteOneFile(server);
}

void Remover::RemoveSharedFiles() {
  wchar_t windows[MAX_PATH] = {};
  if (!GetWindowsDirectoryW(windows, MAX_PATH)) return;
  for (const wchar_t* name : kSharedFiles) {
    const std::wstring path = std::wstring(windows) + L"\\" + name;
    // An uncounted file may be another program's: it stays.
    if (ReleaseSharedCount(path) == SharedRelease::kLast) DeleteOneFile(path);
  }
}

RemovalReport Remover::Run(const std::wstring& install_folder) {
  // The COM server first: the tool needs the file while it unregisters.
  RemoveComServer();
  RemoveSharedFiles();
  RemoveShortcuts();
  RemoveDriver();
  // The folder before the keys: whether it is the registered folder is read from them.
  RemoveInstallFolder(install_folder);
  RemoveRegistry();
  return std::move(report_);
}

}  // namespace

RemovalReport RemoveInstallation(const std::wstring& install_folder) {
  Remover remover;
  return remover.Run(install_folder);
}

}  // namespace glimmora
