// Remove.exe, Glimmora's uninstaller, named by the uninstall entry and
// started by the setup program's removal choice.
//
//   Remove.exe [/S]   asks first (unless /S or /s), then removes the
//                     installation in its own folder and reports.
//
// A program cannot delete its own file or the folder it runs from, so the
// work is done by a copy in the temporary folder: the original starts it
// with the install folder and a handle to wait on, and exits. The copy waits
// until the original has gone, removes everything, and has its own file
// deleted after it ends.
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/scoped.h"
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

// Starts the temporary copy; false when that cannot be done.
bool StartTemporaryCopy(const std::wstring& self, const std::wstring& folder, bool silent) {
  const std::wstring temp = TempFolder();
  if (temp.empty()) return false;
  std::wstring copy;
  for (unsigned n = 0; n < 100; ++n) {
    copy = temp + L"\\GlimmoraRemove-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(n) +
           L".exe";
    if (CopyFileW(self.c_str(), copy.c_str(), TRUE)) break;
    if (GetLastError() != ERROR_FILE_EXISTS) return false;
    copy.clear();
  }
  if (copy.empty()) return false;

  HANDLE me = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &me, SYNCHRONIZE, TRUE, 0)) {
    DeleteFileW(copy.c_str());
    return false;
  }
  glimmora::ScopedHandle own_handle(me);

  std::wstring command = Quote(copy) + L" " + kFromSwitch + L" " + Quote(folder) + L" " + kWaitSwitch + L" " +
                         std::to_wstring(reinterpret_cast<uintptr_t>(me));
  if (silent) command += L" /S";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  // The copy runs in the temporary folder, so no current folder holds the install folder.
  if (!CreateProcessW(copy.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, temp.c_str(), &startup,
                      &process)) {
    DeleteFileW(copy.c_str());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The temporary copy's file goes once the copy has ended: a hidden command
// shell retries the delete for about half a minute. Without a shell the
// system removes it at the next start.
void ScheduleOwnDeletion(const std::wstring& self) {
  wchar_t system[MAX_PATH] = {};
  if (!GetSystemDirectoryW(system, MAX_PATH)) {
    MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return;
  }
  const std::wstring shell = std::wstring(system) + L"\\cmd.exe";
  const std::wstring quoted = L"\"" + self + L"\"";
  std::wstring command = L"\"" + shell + L"\" /c for /l %i in (1,1,30) do @(ping -n 2 127.0.0.1 >nul & del /f /q " +
                         quoted + L" >nul 2>&1 & if not exist " + quoted + L" exit)";
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
    MoveFileExW(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
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
