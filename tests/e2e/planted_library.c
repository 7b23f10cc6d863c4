/* A library planted beside a program under the name of a system library.
 * Whenever a process loads it, it appends a line to
 * C:\planted-markers\<its file name>.txt naming the program and where the
 * library was loaded from. Built once per name, with stub exports of that
 * library's functions (cmake/importlib.py stand-in), so that a program that
 * imports it still starts and the marker tells what happened.
 *
 * Only kernel32 is imported: a planted library must not itself depend on
 * libraries that might be planted. */
#include <windows.h>

static void Append(wchar_t* text, size_t capacity, const wchar_t* more) {
  size_t length = (size_t)lstrlenW(text);
  while (*more && length + 1 < capacity) text[length++] = *more++;
  text[length] = 0;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  wchar_t library[MAX_PATH] = L"";
  wchar_t program[MAX_PATH] = L"";
  wchar_t marker[MAX_PATH] = L"C:\\planted-markers\\";
  wchar_t line[2 * MAX_PATH + 8] = L"";
  const wchar_t* name;
  HANDLE file;
  DWORD written;
  (void)reserved;
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  GetModuleFileNameW(self, library, MAX_PATH);
  GetModuleFileNameW(NULL, program, MAX_PATH);
  name = library;
  for (const wchar_t* c = library; *c; ++c)
    if (*c == L'\\') name = c + 1;
  Append(marker, MAX_PATH, name);
  Append(marker, MAX_PATH, L".txt");
  Append(line, sizeof line / sizeof *line, program);
  Append(line, sizeof line / sizeof *line, L" <- ");
  Append(line, sizeof line / sizeof *line, library);
  Append(line, sizeof line / sizeof *line, L"\r\n");
  CreateDirectoryW(L"C:\\planted-markers", NULL);
  file = CreateFileW(marker, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS, 0, NULL);
  if (file != INVALID_HANDLE_VALUE) {
    WriteFile(file, line, (DWORD)(lstrlenW(line) * sizeof(wchar_t)), &written, NULL);
    CloseHandle(file);
  }
  return TRUE;
}
