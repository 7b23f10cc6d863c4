/* Drives the setup program's wizard from outside, the way a user would:
   clicks its buttons, types into its fields, presses keys, and reports what
   the windows show. One process runs a whole list of steps, since every
   start of a program under emulation costs about a second.

     wizard_driver STEP...
       wait:S          until a wizard or repair window is visible (S seconds)
       buttons         prints "buttons 1=VE 2=HE ..." (Visible/Hidden, Enabled/Disabled)
       text:ID         prints "text ID=..." of the first control ID below the window,
                       an edit control before any other of that id (a skinned edit
                       sits inside a frame that carries its id), with CR and LF
                       written as \r and \n
       select:ID:N     chooses entry N of combo box ID, as a user's choice does
       click:ID        clicks the window's button ID (posted, as a mouse click would be)
       check:ID        clicks the radio or check button ID below the window
       type:ID:TEXT    replaces the text of edit control ID below the window
       key:VK          presses and releases a key on the control that has the focus
       sleep:MS
       status:S        prints each new text of the status line 1002 until the
                       Finish button shows (S seconds at most), then the last
                       position of progress bar 1013 ("progress N") and "finished"
       msgbox:S        answers a message box: prints "msgbox TEXT", presses Yes or OK
       msgbox-no:S     the same, pressing No
       gone:S          until no wizard window is left; prints "gone" or "still-there"
       altf4           asks the window to close as Alt+F4 does
   Exit code: 0, or 1 when a step timed out. */
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <wchar.h>

static HWND g_frame;

static void PrintUtf8(const char* prefix, const wchar_t* text) {
  static char buffer[262144];
  int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof buffer, NULL, NULL);
  printf("%s%s\n", prefix, n > 0 ? buffer : "");
  fflush(stdout);
}

/* A top-level dialog of another process that has the frame's close button
   1022 (a message box has none). */
static BOOL CALLBACK FindFrame(HWND window, LPARAM out) {
  wchar_t name[64];
  GetClassNameW(window, name, 64);
  if (wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, 1022)) {
    *(HWND*)out = window;
    return FALSE;
  }
  return TRUE;
}

static HWND Frame(void) {
  HWND found = NULL;
  EnumWindows(FindFrame, (LPARAM)&found);
  return found;
}

struct Search {
  int id;
  HWND found;
  HWND edit;
};

static BOOL CALLBACK FindChild(HWND window, LPARAM data) {
  struct Search* search = (struct Search*)data;
  if (GetDlgCtrlID(window) != search->id) return TRUE;
  wchar_t name[32];
  GetClassNameW(window, name, 32);
  if (!search->edit && _wcsicmp(name, L"Edit") == 0 && IsWindowVisible(window)) search->edit = window;
  if (!search->found && IsWindowVisible(GetParent(window))) search->found = window;
  return TRUE;
}

/* Control `id` anywhere below the frame, on a page that is shown. */
static HWND Control(int id) {
  struct Search search = {id, NULL, NULL};
  if (g_frame) EnumChildWindows(g_frame, FindChild, (LPARAM)&search);
  return search.edit ? search.edit : search.found;
}

static BOOL CALLBACK FindBox(HWND window, LPARAM out) {
  wchar_t name[64];
  GetClassNameW(window, name, 64);
  if (wcscmp(name, L"#32770") == 0 && IsWindowVisible(window) && GetDlgItem(window, 0xFFFF) &&
      !GetDlgItem(window, 1022)) {
    *(HWND*)out = window;
    return FALSE;
  }
  return TRUE;
}

static int Wait(int seconds) {
  for (int i = 0; i < seconds * 10; ++i) {
    g_frame = Frame();
    if (g_frame) return 0;
    Sleep(100);
  }
  puts("timeout waiting for the wizard");
  return 1;
}

static void Buttons(void) {
  printf("buttons");
  for (int id = 1; id <= 7; ++id) {
    HWND button = GetDlgItem(g_frame, id);
    printf(" %d=%c%c", id, button && IsWindowVisible(button) ? 'V' : 'H',
           button && IsWindowEnabled(button) ? 'E' : 'D');
  }
  printf("\n");
  fflush(stdout);
}

static void Key(int vk) {
  GUITHREADINFO info;
  info.cbSize = sizeof(info);
  DWORD thread = GetWindowThreadProcessId(g_frame, NULL);
  HWND target = g_frame;
  if (GetGUIThreadInfo(thread, &info) && info.hwndFocus) target = info.hwndFocus;
  PostMessageW(target, WM_KEYDOWN, (WPARAM)vk, 1);
  PostMessageW(target, WM_KEYUP, (WPARAM)vk, 0xC0000001);
}

static wchar_t g_last_status[512] = L"\x1";

static void ReportStatus(HWND status) {
  wchar_t text[512] = L"";
  if (!status || !IsWindowVisible(status)) return;
  GetWindowTextW(status, text, 512);
  if (text[0] && wcscmp(text, g_last_status) != 0) {
    PrintUtf8("status ", text);
    wcscpy(g_last_status, text);
  }
}

/* Every text change of a window of the setup program arrives here, queued,
   so a status line that stands only for a moment is not missed. */
static void CALLBACK OnNameChange(HWINEVENTHOOK hook, DWORD event, HWND window, LONG object, LONG child,
                                  DWORD thread, DWORD time) {
  (void)hook, (void)event, (void)object, (void)child, (void)thread, (void)time;
  if (window && GetDlgCtrlID(window) == 1002) ReportStatus(window);
}

static int Status(int seconds) {
  DWORD process = 0;
  GetWindowThreadProcessId(g_frame, &process);
  HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, NULL, OnNameChange,
                                       process, 0, WINEVENT_OUTOFCONTEXT);
  int result = 1;
  HWND status = NULL, bar = NULL;
  int position = -1;
  for (int i = 0; i < seconds * 200; ++i) {
    MSG message;
    while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    /* A repair opens a wizard of its own once its dialog has gone. */
    if (!IsWindowVisible(g_frame)) {
      HWND frame = Frame();
      if (frame) g_frame = frame, status = NULL, bar = NULL;
    }
    if (!status || !IsWindowVisible(status)) status = Control(1002);
    if (!bar) bar = Control(1013);
    ReportStatus(status);
    /* The setup program does not answer messages between its steps (it is
       working, not waiting), so the question must not wait for it. */
    DWORD_PTR answer = 0;
    if (bar && IsWindowVisible(bar) && SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 20, &answer))
      position = (int)answer;
    HWND finish = GetDlgItem(g_frame, 7);
    if (finish && IsWindowVisible(finish)) {
      while (PeekMessageW(&message, NULL, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      printf("progress %d\n", position);
      puts("finished");
      result = 0;
      break;
    }
    Sleep(5);
  }
  if (hook) UnhookWinEvent(hook);
  if (result) puts("timeout waiting for the installation");
  fflush(stdout);
  return result;
}

static int MsgBox(int seconds, BOOL yes) {
  for (int i = 0; i < seconds * 10; ++i) {
    HWND box = NULL;
    EnumWindows(FindBox, (LPARAM)&box);
    wchar_t text[2048] = L"";
    if (box) GetWindowTextW(GetDlgItem(box, 0xFFFF), text, 2048);
    if (text[0]) {
      PrintUtf8("msgbox ", text);
      /* Yes (or No) where the box asks, OK where it tells. */
      HWND answer = GetDlgItem(box, yes ? IDYES : IDNO);
      PostMessageW(answer ? answer : GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
      /* Until it has gone: the next step must not meet this box again. */
      for (int j = 0; j < 100 && IsWindow(box) && IsWindowVisible(box); ++j) Sleep(50);
      return 0;
    }
    Sleep(100);
  }
  puts("timeout waiting for a message box");
  return 1;
}

int wmain(int argc, wchar_t** argv) {
  int failed = 0;
  for (int i = 1; i < argc && !failed; ++i) {
    const wchar_t* step = argv[i];
    const wchar_t* value = wcschr(step, L':');
    value = value ? value + 1 : L"";
    if (wcsncmp(step, L"wait:", 5) == 0) {
      failed = Wait(_wtoi(value));
    } else if (wcscmp(step, L"buttons") == 0) {
      Buttons();
    } else if (wcsncmp(step, L"text:", 5) == 0) {
      HWND control = Control(_wtoi(value));
      /* Asked of the control itself: across processes GetWindowText reads
         only the caption the system keeps, which an edit control has not. */
      static wchar_t text_buffer[65536], escaped[131072];
      text_buffer[0] = 0;
      if (control) SendMessageW(control, WM_GETTEXT, 65536, (LPARAM)text_buffer);
      size_t out = 0;
      for (const wchar_t* c = text_buffer; *c && out + 2 < 131072; ++c) {
        if (*c == L'\r' || *c == L'\n') {
          escaped[out++] = L'\\';
          escaped[out++] = *c == L'\r' ? L'r' : L'n';
        } else {
          escaped[out++] = *c;
        }
      }
      escaped[out] = 0;
      printf("text %d=", _wtoi(value));
      PrintUtf8("", escaped);
    } else if (wcsncmp(step, L"click:", 6) == 0) {
      PostMessageW(GetDlgItem(g_frame, _wtoi(value)), BM_CLICK, 0, 0);
    } else if (wcsncmp(step, L"select:", 7) == 0) {
      const wchar_t* index = wcschr(value, L':');
      HWND combo = Control(_wtoi(value));
      SendMessageW(combo, CB_SETCURSEL, (WPARAM)(index ? _wtoi(index + 1) : 0), 0);
      PostMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(_wtoi(value), CBN_SELCHANGE), (LPARAM)combo);
    } else if (wcsncmp(step, L"check:", 6) == 0) {
      PostMessageW(Control(_wtoi(value)), BM_CLICK, 0, 0);
    } else if (wcsncmp(step, L"type:", 5) == 0) {
      const wchar_t* text = wcschr(value, L':');
      SendMessageW(Control(_wtoi(value)), WM_SETTEXT, 0, (LPARAM)(text ? text + 1 : L""));
    } else if (wcsncmp(step, L"key:", 4) == 0) {
      Key(_wtoi(value));
    } else if (wcsncmp(step, L"sleep:", 6) == 0) {
      Sleep((DWORD)_wtoi(value));
    } else if (wcsncmp(step, L"status:", 7) == 0) {
      failed = Status(_wtoi(value));
    } else if (wcsncmp(step, L"msgbox:", 7) == 0) {
      failed = MsgBox(_wtoi(value), TRUE);
    } else if (wcsncmp(step, L"msgbox-no:", 10) == 0) {
      failed = MsgBox(_wtoi(value), FALSE);
    } else if (wcsncmp(step, L"gone:", 5) == 0) {
      int gone = 0;
      for (int t = 0; t < _wtoi(value) * 10 && !gone; ++t) {
        gone = Frame() == NULL;
        if (!gone) Sleep(100);
      }
      puts(gone ? "gone" : "still-there");
      fflush(stdout);
    } else if (wcscmp(step, L"altf4") == 0) {
      PostMessageW(g_frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else {
      PrintUtf8("unknown step ", step);
      failed = 1;
    }
  }
  return failed;
}
