// Glimmora: a small window that captures the whole screen to a PNG file in
// the user's Pictures folder when F9 or its button is pressed, and shows
// where the picture went.
//
//   Glimmora.exe              the window
//   Glimmora.exe /capture     one capture without a window; exit code 0 when
//                             the picture was saved (its path goes to the
//                             debug output)
#include <windows.h>
#include <commctrl.h>
#include <objidl.h>  // GDI+ needs it and the lean Windows headers leave it out
#include <gdiplus.h>
#include <shlobj.h>

#include <cwchar>
#include <string>
#include <vector>

#include "common/scoped.h"
#include "framework/librarysearch.h"
#include "libs/morrow.h"
#include "libs/nuvel.h"
#include "libs/tessel.h"

namespace {

constexpr wchar_t kClassName[] = L"GlimmoraCaptureWindow";
constexpr wchar_t kTitle[] = L"Glimmora";
constexpr int kCaptureButton = 100;
constexpr int kStatusText = 101;
constexpr int kHotKey = 1;

// GDI+ for as long as the process captures.
class GdiplusSession {
 public:
  GdiplusSession() {
    Gdiplus::GdiplusStartupInput input;
    ok_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
  }
  ~GdiplusSession() {
    if (ok_) Gdiplus::GdiplusShutdown(token_);
  }
  GdiplusSession(const GdiplusSession&) = delete;
  GdiplusSession& operator=(const GdiplusSession&) = delete;
  bool Ok() const { return ok_; }

 private:
  ULONG_PTR token_ = 0;
  bool ok_ = false;
};

bool FindPngEncoder(CLSID* clsid) {
  UINT count = 0;
  UINT bytes = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &bytes) != Gdiplus::Ok || bytes == 0) return false;
  std::vector<BYTE> buffer(bytes);
  auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
  if (Gdiplus::GetImageEncoders(count, bytes, codecs) != Gdiplus::Ok) return false;
  for (UINT i = 0; i < count; ++i) {
    if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, L"image/png") == 0) {
      *clsid = codecs[i].Clsid;
      return true;
    }
  }
  return false;
}

struct CaptureResult {
  bool saved = false;
  std::wstring text;  // the path, or what went wrong
};

std::wstring PicturesFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                 folder)))
    return folder;
  // No Pictures folder (an old profile): the documents folder will do.
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PERSONAL | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                 folder)))
    return folder;
  return std::wstring();
}

CaptureResult CaptureScreen() {
  CaptureResult result;
  MorrowRegion screen{};
  MorrowVirtualScreen(&screen);
  if (screen.width <= 0 || screen.height <= 0) {
    result.text = L"The screen has no size.";
    return result;
  }

  // A top-down 32-bit section: its rows are ready for conversion.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = screen.width;
  info.bmiHeader.biHeight = -screen.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  glimmora::WindowDc screen_dc(nullptr);
  glimmora::ScopedBitmap section(CreateDIBSection(screen_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  glimmora::ScopedMemoryDc memory(CreateCompatibleDC(screen_dc.Get()));
  if (!section || !memory || !bits) {
    result.text = L"Not enough memory for a picture of the screen.";
    return result;
  }
  {
    glimmora::Selection select(memory.Get(), section.Get());
    if (!BitBlt(memory.Get(), 0, 0, screen.width, screen.height, screen_dc.Get(), screen.left, screen.top,
                SRCCOPY | CAPTUREBLT)) {
      result.text = L"The screen could not be read.";
      return result;
    }
  }
  GdiFlush();

  const int stride = NuvelStride24(screen.width);
  std::vector<BYTE> rgb(static_cast<size_t>(stride) * screen.height);
  NuvelBgrxToBgr(bits, screen.width * 4, rgb.data(), stride, screen.width, screen.height);

  const std::wstring folder = PicturesFolder();
  if (folder.empty()) {
    result.text = L"There is no Pictures folder to save into.";
    return result;
  }
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t name[64];
  wchar_t path[MAX_PATH];
  if (!TesselCaptureName(&now, name, 64) || !TesselUniquePath(folder.c_str(), name, path, MAX_PATH)) {
    result.text = L"No free file name in " + folder;
    return result;
  }

  CLSID png{};
  if (!FindPngEncoder(&png)) {
    result.text = L"This system has no PNG encoder.";
    return result;
  }
  Gdiplus::Bitmap picture(screen.width, screen.height, stride, PixelFormat24bppRGB, rgb.data());
  if (picture.GetLastStatus() != Gdiplus::Ok || picture.Save(path, &png, nullptr) != Gdiplus::Ok) {
    result.text = std::wstring(L"The picture could not be written to ") + path;
    return result;
  }
  result.saved = true;
  result.text = path;
  return result;
}

struct WindowState {
  HWND status = nullptr;
  bool hot_key = false;
  glimmora::ScopedFont font;
};

void DoCapture(HWND window, WindowState* state) {
  // The window is not part of the picture: it steps aside while the screen is read.
  ShowWindow(window, SW_HIDE);
  Sleep(150);  // let the windows below repaint
  const CaptureResult result = CaptureScreen();
  ShowWindow(window, SW_SHOW);
  const std::wstring text = result.saved ? L"Saved to " + result.text : result.text;
  SetWindowTextW(state->status, text.c_str());
  if (result.saved) OutputDebugStringW(result.text.c_str());
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* state = reinterpret_cast<WindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
      state = static_cast<WindowState*>(create->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
      NONCLIENTMETRICSW metrics{};
      metrics.cbSize = sizeof(metrics);
      if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        state->font.Reset(CreateFontIndirectW(&metrics.lfMessageFont));
      HWND button = CreateWindowExW(0, L"BUTTON", L"&Capture screen (F9)",
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 12, 12, 200, 28,
                                    window, reinterpret_cast<HMENU>(kCaptureButton), nullptr, nullptr);
      state->status = CreateWindowExW(0, L"STATIC", L"Press F9 or the button to save the screen as a picture.",
                                      WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 12, 50, 400, 40, window,
                                      reinterpret_cast<HMENU>(kStatusText), nullptr, nullptr);
      if (state->font) {
        SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(state->font.Get()), FALSE);
        SendMessageW(state->status, WM_SETFONT, reinterpret_cast<WPARAM>(state->font.Get()), FALSE);
      }
      // F9 everywhere when nobody else holds it; otherwise only while this window has the focus.
      state->hot_key = RegisterHotKey(window, kHotKey, 0, VK_F9) != FALSE;
      return 0;
    }
    case WM_HOTKEY:
      if (state && wparam == kHotKey) DoCapture(window, state);
      return 0;
    case WM_COMMAND:
      if (state && LOWORD(wparam) == kCaptureButton) DoCapture(window, state);
      return 0;
    case WM_DESTROY:
      if (state && state->hot_key) UnregisterHotKey(window, kHotKey);
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

int RunWindow(HINSTANCE instance, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return 1;

  WindowState state;
  RECT frame{0, 0, 424, 100};
  AdjustWindowRect(&frame, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
  HWND window = CreateWindowExW(0, kClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                                nullptr, nullptr, instance, &state);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  // F9 while focused, for when another program holds the global hot key.
  ACCEL f9{FVIRTKEY, VK_F9, kCaptureButton};
  HACCEL accelerators = CreateAcceleratorTableW(&f9, 1);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (accelerators && TranslateAcceleratorW(window, accelerators, &msg)) continue;
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (accelerators) DestroyAcceleratorTable(accelerators);
  return static_cast<int>(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int show) {
  // The program's own libraries (Nuvel, Tessel, Morrow) are in its import
  // table: the loader took them from the install folder before this line.
  // Nothing loaded from here on comes from that folder, so the search is
  // not widened to it (LOAD_LIBRARY_SEARCH_APPLICATION_DIR), and a
  // gdiplus.dll put there is never preferred to the system's.
  fw::RestrictLibrarySearch();
  GdiplusSession gdiplus;
  if (!gdiplus.Ok()) {
    MessageBoxW(nullptr, L"Glimmora cannot start: GDI+ is not available.", kTitle, MB_OK | MB_ICONERROR);
    return 1;
  }
  if (command_line && (wcsstr(command_line, L"/capture") || wcsstr(command_line, L"-capture"))) {
    const CaptureResult result = CaptureScreen();
    OutputDebugStringW(result.text.c_str());
    return result.saved ? 0 : 1;
  }
  return RunWindow(instance, show);
}
