/* Answers a message box from outside, the way a user would: waits for a
   top-level window with the given caption, prints the text of its message
   static as UTF-8, and presses OK. Exit code 0 when a box was answered, 1
   when none appeared in time. */
#include <windows.h>
#include <stdio.h>
#include <wchar.h>

static void PrintUtf8(const wchar_t* text) {
  char buffer[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
  if (n > 0) fputs(buffer, stdout);
  fputs("\n", stdout);
}

int wmain(int argc, wchar_t** argv) {
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
