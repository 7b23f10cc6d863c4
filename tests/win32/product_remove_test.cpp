// Remove.exe /S against a made-up installation in the test prefix: the
// install folder below the temporary folder, the real key and link names
// (the uninstaller knows no others), a driver file and a registered COM
// server in the system folders. Everything the test makes is removed again.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const wchar_t kProductKey[] = L"SOFTWARE\\Tavrin\\Glimmora";
const wchar_t kMakerKey[] = L"SOFTWARE\\Tavrin";
const wchar_t kUninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Glimmora3.5";
const wchar_t kServiceKey[] = L"SYSTEM\\CurrentControlSet\\Services\\kvfilt";
const wchar_t kHarrowClsidKey[] = L"CLSID\\{6E1C3A52-8F0B-4D27-9B1A-5C7E2D4F8A31}";

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::wstring ProductFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  const std::wstring path(exe);
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"..\\product\\";
}

std::wstring Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
  return path;
}

std::wstring SystemFolder() {
  wchar_t path[MAX_PATH] = {};
  GetSystemDirectoryW(path, MAX_PATH);
  return path;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const wchar_t* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::wstring ReadString(const wchar_t* subkey, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::wstring();
  wchar_t value[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH * sizeof(wchar_t);
  RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(key);
  return value;
}

constexpr wchar_t kSharedDllsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::optional<DWORD> ReadDword(const wchar_t* subkey, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return std::nullopt;
  DWORD value = 0, type = 0, size = sizeof value;
  const LONG found = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  if (found != ERROR_SUCCESS || type != REG_DWORD) return std::nullopt;
  return value;
}

// Values as setup writes them: strings without their terminating zero.
void WriteKey(const wchar_t* subkey, const std::vector<std::pair<const wchar_t*, std::wstring>>& strings,
              const std::vector<std::pair<const wchar_t*, DWORD>>& numbers = {}) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyW(HKEY_LOCAL_MACHINE, subkey, &key), ERROR_SUCCESS) << Narrow(subkey);
  for (const auto& [name, text] : strings)
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() * sizeof(wchar_t)));
  for (const auto& [name, number] : numbers)
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  RegCloseKey(key);
}

void DeleteKeyTree(HKEY root, const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
  wchar_t child[256];
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.push_back(child);
  }
  RegCloseKey(key);
  for (const std::wstring& name : children) DeleteKeyTree(root, subkey + L"\\" + name);
  RegDeleteKeyW(root, subkey.c_str());
}

void DeleteTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(folder + L"\\" + name);
      else
        DeleteFileW((folder + L"\\" + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

void WriteText(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << Narrow(path);
  DWORD written = 0;
  WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
}

// The native system folder's driver file, which a 32-bit process reaches
// only with file-system redirection off (as setup and the uninstaller do).
class NativeFileSystem {
 public:
  NativeFileSystem() {
    HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    disable_ = reinterpret_cast<Disable>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64DisableWow64FsRedirection")));
    revert_ = reinterpret_cast<Revert>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "Wow64RevertWow64FsRedirection")));
    active_ = disable_ && revert_ && disable_(&old_);
  }
  ~NativeFileSystem() {
    if (active_) revert_(old_);
  }
  NativeFileSystem(const NativeFileSystem&) = delete;
  NativeFileSystem& operator=(const NativeFileSystem&) = delete;

 private:
  using Disable = BOOL(WINAPI*)(PVOID*);
  using Revert = BOOL(WINAPI*)(PVOID);
  Disable disable_ = nullptr;
  Revert revert_ = nullptr;
  PVOID old_ = nullptr;
  bool active_ = false;
};

bool IsWow64() {
  using IsWow64Fn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto is_wow64 = reinterpret_cast<IsWow64Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return is_wow64 && is_wow64(GetCurrentProcess(), &wow64) && wow64;
}

class ProductRemove : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    scratch_ = std::wstring(temp) + L"glimmora-remove-test";
    install_ = scratch_ + L"\\Glimmora";
    programs_link_ = Special(CSIDL_COMMON_PROGRAMS) + L"\\Tavrin\\Tavrin Glimmora.lnk";
    desktop_link_ = Special(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\Tavrin Glimmora.lnk";
    shared_data_ = Special(CSIDL_COMMON_APPDATA) + L"\\Glimmora";
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    shared_file_ = std::wstring(windows) + L"\\Nuvel.dll";
    harrow_ = SystemFolder() + L"\\Harrow.dll";
    driver_ = SystemFolder() + L"\\Drivers\\kvfilt.sys";

    // A real installation in this prefix would be taken apart by the test.
    const std::pair<const wchar_t*, const wchar_t*> registrations[] = {{kProductKey, L"InstallDir"},
                                                                       {kUninstallKey, L"InstallLocation"}};
    for (const auto& [key, value] : registrations) {
      if (!KeyExists(HKEY_LOCAL_MACHINE, key)) continue;
      std::wstring registered = ReadString(key, value);
      while (!registered.empty() && registered.back() == L'\\') registered.pop_back();
      if (lstrcmpiW(registered.c_str(), install_.c_str()) != 0)
        GTEST_SKIP() << "this Wine prefix holds a Glimmora installation (" << Narrow(registered)
                     << "); remove it first, the removal test would take it apart";
    }
    ready_ = true;
  }

  void TearDown() override {
    if (!ready_) return;
    DeleteTree(scratch_);
    DeleteFileW(programs_link_.c_str());
    RemoveDirectoryW((Special(CSIDL_COMMON_PROGRAMS) + L"\\Tavrin").c_str());
    DeleteFileW(desktop_link_.c_str());
    if (made_shared_data_) DeleteTree(shared_data_);
    if (made_shared_file_) DeleteFileW(shared_file_.c_str());
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kUninstallKey);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kServiceKey);
    HKEY maker = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kMakerKey, 0, KEY_QUERY_VALUE, &maker) == ERROR_SUCCESS) {
      DWORD subkeys = 1;
      RegQueryInfoKeyW(maker, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr);
      RegCloseKey(maker);
      if (subkeys == 0) RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMakerKey);
    }
    DeleteKeyTree(HKEY_CLASSES_ROOT, kHarrowClsidKey);
    DeleteFileW(harrow_.c_str());
    NativeFileSystem native;
    DeleteFileW(driver_.c_str());
  }

  std::wstring scratch_, install_, programs_link_, desktop_link_, shared_data_, shared_file_, harrow_, driver_;
  bool ready_ = false;
  bool made_shared_data_ = false;
  bool made_shared_file_ = false;
};

TEST_F(ProductRemove, SilentRemovalUndoesTheInstallationAndKeepsSharedData) {
  const std::wstring product = ProductFolder();
  DeleteTree(scratch_);
  ASSERT_TRUE(CreateDirectoryW(scratch_.c_str(), nullptr));
  WriteText(scratch_ + L"\\not-ours.txt", "next to the install folder, not in it");
  ASSERT_TRUE(CreateDirectoryW(install_.c_str(), nullptr));
  ASSERT_TRUE(CopyFileW((product + L"Remove.exe").c_str(), (install_ + L"\\Remove.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW((product + L"Notes.txt").c_str(), (install_ + L"\\Notes.txt").c_str(), FALSE));
  ASSERT_TRUE(CreateDirectoryW((install_ + L"\\gui").c_str(), nullptr));
  WriteText(install_ + L"\\gui\\skin.ini", "[skin]\r\n");
  WriteText(install_ + L"\\Glimmora.exe", "stands in for the program");

  const std::wstring folder = install_ + L"\\";
  WriteKey(kProductKey, {{L"Name", L"Glimmora"}, {L"InstallDir", folder}, {L"InstallPath", folder + L"Glimmora.exe"}},
           {{L"Lang", 0}});
  WriteKey(kUninstallKey, {{L"DisplayName", L"Glimmora"},
                           {L"UninstallString", folder + L"Remove.exe"},
                           {L"InstallLocation", folder}});
  WriteKey(kServiceKey, {{L"Group", L"Extended base"}}, {{L"Start", 1}, {L"Type", 1}, {L"ErrorControl", 0}});

  ASSERT_TRUE(CreateDirectoryW((Special(CSIDL_COMMON_PROGRAMS) + L"\\Tavrin").c_str(), nullptr) ||
              GetLastError() == ERROR_ALREADY_EXISTS);
  WriteText(programs_link_, "link");
  WriteText(desktop_link_, "link");

  if (!Exists(shared_data_)) {
    ASSERT_TRUE(CreateDirectoryW(shared_data_.c_str(), nullptr));
    made_shared_data_ = true;
  }
  if (!Exists(shared_file_)) {
    ASSERT_TRUE(CopyFileW((product + L"Nuvel.dll").c_str(), shared_file_.c_str(), TRUE));
    made_shared_file_ = true;
  }

  // Two shared files setup counted: one only this product uses, one that
  // another installation counts as well.
  const std::wstring windows_folder = shared_file_.substr(0, shared_file_.rfind(L'\\'));
  const std::wstring last_user = windows_folder + L"\\Morrow.dll", still_used = windows_folder + L"\\Quillon.dll";
  const bool made_counted = !Exists(last_user) && !Exists(still_used);
  if (made_counted) {
    ASSERT_TRUE(CopyFileW((product + L"Morrow.dll").c_str(), last_user.c_str(), TRUE));
    ASSERT_TRUE(CopyFileW((product + L"Quillon.dll").c_str(), still_used.c_str(), TRUE));
    WriteKey(kSharedDllsKey, {}, {{last_user.c_str(), 1}, {still_used.c_str(), 2}});
  }

  // The COM server as setup leaves it: in the system folder, registered.
  ASSERT_TRUE(CopyFileW((product + L"Harrow.dll").c_str(), harrow_.c_str(), FALSE));
  {
    HMODULE harrow = LoadLibraryW(harrow_.c_str());
    ASSERT_NE(harrow, nullptr);
    using Entry = HRESULT(WINAPI*)();
    auto do_register = reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(harrow, "DllRegisterServer")));
    ASSERT_NE(do_register, nullptr);
    EXPECT_EQ(do_register(), S_OK);
    FreeLibrary(harrow);
  }
  ASSERT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kHarrowClsidKey));
  {
    NativeFileSystem native;
    ASSERT_TRUE(CopyFileW((product + (IsWow64() ? L"kvfilt.x64" : L"kvfilt.vst")).c_str(), driver_.c_str(), FALSE));
  }

  // The setup program starts it as "remove.exe"; the file is Remove.exe.
  std::wstring command = L"\"" + install_ + L"\\remove.exe\" /S";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, scratch_.c_str(), &startup,
                             &process))
      << GetLastError();
  CloseHandle(process.hThread);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 60 * 1000), WAIT_OBJECT_0);
  DWORD exit_code = 1;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hProcess);
  EXPECT_EQ(exit_code, 0u);

  // The work is done by a copy in the temporary folder after the original
  // has ended; wait for its last traces.
  auto driver_present = [&] {
    NativeFileSystem native;
    return Exists(driver_);
  };
  auto all_gone = [&] {
    return !Exists(install_) && !KeyExists(HKEY_LOCAL_MACHINE, kProductKey) &&
           !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey) && !KeyExists(HKEY_LOCAL_MACHINE, kServiceKey) &&
           !Exists(programs_link_) && !Exists(desktop_link_) && !Exists(harrow_) &&
           !KeyExists(HKEY_CLASSES_ROOT, kHarrowClsidKey) && !driver_present();
  };
  for (int waited = 0; waited < 180 && !all_gone(); ++waited) Sleep(1000);

  EXPECT_FALSE(Exists(install_)) << "install folder";
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kServiceKey));
  EXPECT_FALSE(Exists(programs_link_));
  EXPECT_FALSE(Exists(desktop_link_));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kHarrowClsidKey)) << "COM registration";
  EXPECT_FALSE(Exists(harrow_));
  EXPECT_FALSE(driver_present()) << "driver file";

  EXPECT_TRUE(Exists(scratch_ + L"\\not-ours.txt"));
  EXPECT_TRUE(Exists(shared_data_)) << "shared data folder";
  EXPECT_TRUE(Exists(shared_file_)) << "an uncounted shared file in the Windows folder may be another's";
  if (made_counted) {
    EXPECT_FALSE(Exists(last_user)) << "its last user is gone";
    EXPECT_EQ(ReadDword(kSharedDllsKey, last_user.c_str()), std::nullopt);
    EXPECT_TRUE(Exists(still_used)) << "another installation still uses it";
    EXPECT_EQ(ReadDword(kSharedDllsKey, still_used.c_str()), 1u);
    DeleteFileW(still_used.c_str());
    DeleteFileW(last_user.c_str());
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueW(key, still_used.c_str());
      RegDeleteValueW(key, last_user.c_str());
      RegCloseKey(key);
    }
  }
}

}  // namespace
