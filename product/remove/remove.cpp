// Remove.exe, Glimmora's uninstaller, named by the uninstall entry and
// started by the setup program's removal choice.
//
//   Remove.exe [/S]   asks first (unless /S or /s), then removes the
//                     installation in its own folder and reports.
//
// A program cannot delete its own file or the folder it runs from, so the
// work is done by a copy in a folder of its own below the temporary folder:
// the original starts it with the install folder and a handle to wait on,
// and exits. The copy waits until the original has gone, removes
// everything, and has its own file and folder deleted after it ends.
#include <windows.h>
#include <objbase.h>
#include <sddl.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/scoped.h"
#include "framework/librarysearch.h"
#include "remove/removal.h"

namespace {

constexpr wchar_t kTitle[] = L"Remove Glimmora";
constexpr wchar_t kFromSwitch[] = L"/removefrom";  // the original folder, for the temporary copy
constexpr wchar_t kWaitSwitch[] = L"/waitfor";     // the original process, inherited handle value

struct Options {
  bool silent = false;
  std::wstring from;           // set in the temporary copy only
  HANDLE wait_for = nullptr;   // ditto
};

Options ParseCommandLine() {
  Options options;
  int count = 0;
  LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!args) return options;
  for (int i = 1; i < count; ++i) {
    const std::wstring arg = args[i];
    if (lstrcmpiW(arg.c_str(), L"/S") == 0) {
      options.silent = true;
    } else if (lstrcmpiW(arg.c_str(), kFromSwitch) == 0 && i + 1 < count) {
      options.from = args[++i];
    } else if (lstrcmpiW(arg.c_str(), kWaitSwitch) == 0 && i + 1 < count) {
      options.wait_for = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(wcstoul(args[++i], nullptr, 10)));
    }
  }
  LocalFree(args);
  return options;
}

std::wstring ModulePath() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) return std::wstring(path.data(), n);
    path.resize(path.size() * 2);
  }
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/");
  return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  if (n == 0 || n > MAX_PATH) return std::wstring();
  std::wstring folder(temp, n);
  while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  return folder;
}

// A quoted command-line argument that CommandLineToArgvW reads back as is.
std::wstring Quote(const std::wstring& text) {
  std::wstring quoted = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : text) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

// The copy runs with administrator rights, so its folder is one that
// nobody else can have prepared: made by this run under a name nobody can
// foresee (a folder of a fixed name in the user's temporary folder could be
// made beforehand by any program of the user, with an access list of its
// choosing and libraries in it), writable only by administrators and SYSTEM.
constexpr wchar_t kRunFolderAccess[] = L"D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
constexpr wchar_t kRunFolderPrefix[] = L"GlimmoraRemove-";

struct RunFolder {
  std::wstring path;
  // Held without delete sharing until the copy runs: the user's temporary
  // folder is the user's, who could otherwise rename ours away and put
  // another in its place between the copy and its start.
  glimmora::ScopedFile hold;
};

bool MakeRunFolder(const std::wstring& temp, RunFolder* folder) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kRunFolderAccess, SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
  bool made = false;
  for (int attempt = 0; attempt < 8 && !made; ++attempt) {
    GUID guid{};
    wchar_t name[40] = {};
    if (FAILED(CoCreateGuid(&guid)) || !StringFromGUID2(guid, name, 40)) break;
    folder->path = temp + L"\\" + kRunFolderPrefix + name;
    made = CreateDirectoryW(folder->path.c_str(), &attributes) != FALSE;
    if (!made && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  LocalFree(descriptor);
  if (!made) return false;
  folder->hold.Reset(CreateFileW(folder->path.c_str(), FILE_LIST_DIRECTORY, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder->hold) {
    RemoveDirectoryW(folder->path.c_str());
    return false;
  }
  return true;
}

// Starts the temporary copy; false when that cannot be done.
bool StartTemporaryCopy(const std::wstring& self, const std::wstring& folder, bool silent) {
  const std::wstring temp = TempFolder();
  if (temp.empty()) return false;
  RunFolder run_folder;
  if (!MakeRunFolder(temp, &run_folder)) return false;
  const std::wstring copy = run_folder.path + L"\\Remove.exe";
  auto give_up = [&] {
    DeleteFileW(copy.c_str());
    run_folder.hold.Reset();
    RemoveDirectoryW(run_folder.path.c_str());
    return false;
  };
  if (!CopyFileW(self.c_str(), copy.c_str(), TRUE)) return give_up();

  HANDLE me = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0))
    return give_up();
  glimmora::ScopedHandle own_handle(me);

  std::wstring command = Quote(copy) + L" " + kFromSwitch + L" " + Quote(folder) + L" " + kWaitSwitch + L" " +
                         std::to_wstring(reinterpret_cast<uintptr_t>(me));
  if (silent) command += L" /S";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // The copy runs in the temporary folder, so no current folder holds the install folder.
  if (!CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(), &startup,
                      &process))
    return give_up();
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The temporary copy's file and folder go once the copy has ended: a hidden
// command shell retries the delete for about half a minute ("rd" without
// "/s" removes the folder only once it is empty). Without a shell the
// system removes them at the next start.
void ScheduleOwnDeletion(const std::wstring& self) {
  const std::wstring folder = FolderOf(self);
  auto at_next_start = [&] {
    MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    MoveFileExW(folder.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  };
  wchar_t system[MAX_PATH] = {};
  if (!GetSystemDirectoryW(system, MAX_PATH)) {
    at_next_start();
    return;
  }
  const std::wstring shell = std::wstring(system) + L"\\cmd.exe";
  const std::wstring quoted_self = L"\"" + self + L"\"";
  const std::wstring quoted_folder = L"\"" + folder + L"\"";
  std::wstring command = L"\"" + shell + L"\" /c for /l %i in (1,1,30) do @(ping -n 2 127.0.0.1 >nul & del /f /q " +
                         quoted_self + L" >nul 2>&1 & rd /q " + quoted_folder + L" >nul 2>&1 & if not exist " +
                         quoted_folder + L" exit)";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  const std::wstring temp = TempFolder();
  if (CreateProcessW(shell.c_str(), &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW | IDLE_PRIORITY_CLASS,
                     nullptr, temp.empty() ? nullptr : temp.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  } else {
    at_next_start();
  }
}

void ShowReport(const glimmora::RemovalReport& report) {
  std::wstring text = L"Glimmora has been removed from your computer.";
  UINT icon = MB_ICONINFORMATION;
  if (!report.left_until_restart.empty())
    text += L"\n\nSome files are in use. They will be removed when Windows restarts.";
  if (!report.left_behind.empty()) {
    text += L"\n\nThese items could not be removed:";
    for (const std::wstring& item : report.left_behind) text += L"\n" + item;
    icon = MB_ICONWARNING;
  }
  MessageBoxW(nullptr, text.c_str(), kTitle, MB_OK | icon);
}

int DoRemoval(const std::wstring& folder, bool silent) {
  const glimmora::RemovalReport report = glimmora::RemoveInstallation(folder);
  if (!silent) ShowReport(report);
  return report.left_behind.empty() ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  fw::RestrictLibrarySearch();
  Options options = ParseCommandLine();
  const std::wstring self = ModulePath();
  if (self.empty()) return 1;

  if (!options.from.empty()) {
    // The temporary copy: the original must have ended before its file and
    // folder can go.
    if (options.wait_for) {
      glimmora::ScopedHandle original(options.wait_for);
      WaitForSingleObject(original.Get(), 60 * 1000);
    }
    const int result = DoRemoval(options.from, options.silent);
    ScheduleOwnDeletion(self);
    return result;
  }

  if (!options.silent &&
      MessageBoxW(nullptr, L"Do you want to remove Glimmora and all of its components from your computer?", kTitle,
                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return 0;

  const std::wstring folder = FolderOf(self);
  if (StartTemporaryCopy(self, folder, options.silent)) return 0;
  // No temporary copy: remove from here; this file and its folder then go at the next start.
  return DoRemoval(folder, options.silent);
}
