// GlimmoraSrcSaver.scr: the Glimmora screensaver. Coloured marks drift over
// a dark background, each drawn as the product's lens: a disc with a ring
// and a highlight.
//
//   /s            full screen until the mouse moves or a key or button is pressed
//   /p HWND       drawn inside the preview window of the display settings
//   /c[:HWND]     settings: there are none, a message says so
//   (nothing)     as /c
#include <windows.h>

#include <cstdlib>
#include <cwchar>
#include <vector>

#include "common/scoped.h"
#include "libs/morrow.h"
#include "libs/quillon.h"

namespace {

constexpr wchar_t kClassName[] = L"GlimmoraSaverWindow";
constexpr wchar_t kTitle[] = L"Glimmora screensaver";
constexpr UINT_PTR kTimer = 1;
constexpr int kShapeCount = 7;
constexpr int kMouseSlack = 4;  // pixels the mouse may move before the saver ends

enum class Mode { kConfigure, kFullScreen, kPreview };

struct Saver {
  Mode mode = Mode::kFullScreen;
  std::vector<QuillonShape> shapes;
  int width = 0;
  int height = 0;
  POINT first_mouse{};
  bool mouse_known = false;
};

void Resize(HWND window, Saver* saver) {
  RECT client{};
  GetClientRect(window, &client);
  saver->width = client.right - client.left;
  saver->height = client.bottom - client.top;
  saver->shapes.assign(kShapeCount, QuillonShape{});
  QuillonSeed(saver->shapes.data(), kShapeCount, saver->width, saver->height, GetTickCount());
}

void DrawMark(HDC dc, const QuillonShape& s) {
  const int x = static_cast<int>(s.x);
  const int y = static_cast<int>(s.y);
  const int r = static_cast<int>(s.radius);
  glimmora::ScopedBrush fill(CreateSolidBrush(s.colour));
  glimmora::ScopedPen ring(CreatePen(PS_SOLID, r / 6 + 1, RGB(255, 255, 255)));
  {
    glimmora::Selection brush(dc, fill.Get());
    glimmora::Selection pen(dc, ring.Get());
    Ellipse(dc, x - r, y - r, x + r, y + r);
  }
  glimmora::ScopedBrush shine(CreateSolidBrush(RGB(255, 255, 255)));
  glimmora::Selection brush(dc, shine.Get());
  glimmora::Selection pen(dc, GetStockObject(NULL_PEN));
  const int h = r / 4 + 1;
  Ellipse(dc, x - r / 2 - h, y - r / 2 - h, x - r / 2 + h, y - r / 2 + h);
}

void Paint(HWND window, Saver* saver) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(window, &ps);
  if (saver && saver->width > 0 && saver->height > 0) {
    // Drawn off screen first, so the marks do not flicker.
    glimmora::ScopedMemoryDc memory(CreateCompatibleDC(dc));
    glimmora::ScopedBitmap canvas(CreateCompatibleBitmap(dc, saver->width, saver->height));
    if (memory && canvas) {
      glimmora::Selection select(memory.Get(), canvas.Get());
      RECT all{0, 0, saver->width, saver->height};
      glimmora::ScopedBrush background(CreateSolidBrush(RGB(12, 14, 24)));
      FillRect(memory.Get(), &all, background.Get());
      for (const QuillonShape& s : saver->shapes) DrawMark(memory.Get(), s);
      BitBlt(dc, 0, 0, saver->width, saver->height, memory.Get(), 0, 0, SRCCOPY);
    }
  }
  EndPaint(window, &ps);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  auto* saver = reinterpret_cast<Saver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  switch (message) {
    case WM_CREATE:
      saver = static_cast<Saver*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
      Resize(window, saver);
      SetTimer(window, kTimer, 33, nullptr);
      if (saver->mode == Mode::kFullScreen) ShowCursor(FALSE);
      return 0;
    case WM_SIZE:
      if (saver) Resize(window, saver);
      return 0;
    case WM_TIMER:
      if (saver) {
        QuillonStep(saver->shapes.data(), static_cast<int>(saver->shapes.size()), saver->width, saver->height);
        InvalidateRect(window, nullptr, FALSE);
      }
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      Paint(window, saver);
      return 0;
    case WM_MOUSEMOVE:
      if (saver && saver->mode == Mode::kFullScreen) {
        POINT now{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
        if (!saver->mouse_known) {
          saver->first_mouse = now;
          saver->mouse_known = true;
        } else if (std::abs(now.x - saver->first_mouse.x) > kMouseSlack ||
                   std::abs(now.y - saver->first_mouse.y) > kMouseSlack) {
          PostMessageW(window, WM_CLOSE, 0, 0);
        }
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (saver && saver->mode == Mode::kFullScreen) PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_ACTIVATEAPP:
      if (!wparam && saver && saver->mode == Mode::kFullScreen) PostMessageW(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_SETCURSOR:
      if (saver && saver->mode == Mode::kFullScreen) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_DESTROY:
      KillTimer(window, kTimer);
      if (saver && saver->mode == Mode::kFullScreen) ShowCursor(TRUE);
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// "/p 1234", "/p:1234", "/c:1234": the window handle after the switch.
HWND WindowArgument(const wchar_t* rest) {
  while (*rest == L':' || *rest == L' ' || *rest == L'\t') ++rest;
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(wcstoul(rest, nullptr, 10)));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command_line, int) {
  Saver saver;
  saver.mode = Mode::kConfigure;
  HWND parent = nullptr;
  const wchar_t* p = command_line ? command_line : L"";
  while (*p == L' ' || *p == L'\t' || *p == L'"') ++p;
  if (*p == L'/' || *p == L'-') {
    switch (p[1]) {
      case L's':
      case L'S':
        saver.mode = Mode::kFullScreen;
        break;
      case L'p':
      case L'P':
        saver.mode = Mode::kPreview;
        parent = WindowArgument(p + 2);
        break;
      default:  // /c and anything unknown
        parent = WindowArgument(p + 2);
        break;
    }
  }

  if (saver.mode == Mode::kConfigure) {
    MessageBoxW(IsWindow(parent) ? parent : nullptr,
                L"The Glimmora screensaver has no settings.\n\nTavrin Glimmora 3.5", kTitle,
                MB_OK | MB_ICONINFORMATION);
    return 0;
  }
  if (saver.mode == Mode::kPreview && !IsWindow(parent)) return 1;

  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  if (!RegisterClassExW(&wc)) return 1;

  HWND window = nullptr;
  if (saver.mode == Mode::kPreview) {
    RECT area{};
    GetClientRect(parent, &area);
    window = CreateWindowExW(0, kClassName, kTitle, WS_CHILD | WS_VISIBLE, 0, 0, area.right, area.bottom, parent,
                             nullptr, instance, &saver);
  } else {
    MorrowRegion screen{};
    MorrowVirtualScreen(&screen);
    window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, kTitle, WS_POPUP | WS_VISIBLE,
                             screen.left, screen.top, screen.width, screen.height, nullptr, nullptr, instance,
                             &saver);
    if (window) SetForegroundWindow(window);
  }
  if (!window) return 1;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
