/* Answers a message box from outside, the way a user would: waits for a
   top-level window with the given caption, prints the text of its message
   static as UTF-8, and presses OK. Exit code 0 when a box was answered, 1
   when none appeared in time.

     msgbox_driver CAPTION SECONDS
     msgbox_driver --watch PROGRAM SECONDS
       watches for SECONDS whether any process named PROGRAM (its file
       name, case ignored) shows a visible top-level window; prints
       "window CAPTION" and exits 0 at the first one, exits 1 when none
       appeared. */
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600  /* QueryFullProcessImageNameW */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static void PrintUtf8(const wchar_t* text) {
  char buffer[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
  if (n > 0) fputs(buffer, stdout);
  fputs("\n", stdout);
}

struct Watch {
  const wchar_t* program;
  HWND found;
};

static BOOL CALLBACK FindWindowOfProgram(HWND window, LPARAM data) {
  struct Watch* watch = (struct Watch*)data;
  if (!IsWindowVisible(window)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return TRUE;
  wchar_t path[MAX_PATH] = L"";
  DWORD size = MAX_PATH;
  BOOL named = QueryFullProcessImageNameW(process, 0, path, &size);
  CloseHandle(process);
  if (!named) return TRUE;
  const wchar_t* name = wcsrchr(path, L'\\');
  name = name ? name + 1 : path;
  if (_wcsicmp(name, watch->program) != 0) return TRUE;
  watch->found = window;
  return FALSE;
}

static int WatchForWindows(const wchar_t* program, int seconds) {
  struct Watch watch = {program, NULL};
  for (int i = 0; i < seconds * 20; ++i) {
    EnumWindows(FindWindowOfProgram, (LPARAM)&watch);
    if (watch.found) {
      wchar_t caption[512] = L"";
      GetWindowTextW(watch.found, caption, 512);
      fputs("window ", stdout);
      PrintUtf8(caption);
      fflush(stdout);
      return 0;
    }
    Sleep(50);
  }
  return 1;
}

int wmain(int argc, wchar_t** argv) {
  if (argc == 4 && wcscmp(argv[1], L"--watch") == 0) return WatchForWindows(argv[2], _wtoi(argv[3]));
  if (argc < 3) {
    fputs("usage: msgbox_driver CAPTION SECONDS\n", stderr);
    return 2;
  }
  const wchar_t* caption = argv[1];
  const int tenths = _wtoi(argv[2]) * 10;
  for (int i = 0; i < tenths; ++i) {
    HWND box = FindWindowW(NULL, caption);
    HWND text = box ? GetDlgItem(box, 0xFFFF) : NULL;
    wchar_t message[2048] = L"";
    /* The box may exist a moment before its text is set. */
    if (text) GetWindowTextW(text, message, 2048);
    if (message[0] != L'\0') {
      PrintUtf8(message);
      fflush(stdout);
      HWND ok = GetDlgItem(box, IDOK);
      if (ok) {
        SendMessageW(ok, BM_CLICK, 0, 0);
      } else {
        PostMessageW(box, WM_COMMAND, IDOK, 0);
      }
      return 0;
    }
    Sleep(100);
  }
  return 1;
}
