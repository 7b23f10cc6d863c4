#include "support/skin_test_host.h"

#include <commctrl.h>

#include <cstdint>

#include "framework/gdiplus_session.h"
#include "skin/core/scale.h"
#include "support/scratch.h"

namespace testing_support {

namespace {

constexpr int kStageWidth = 480;
constexpr int kStageHeight = 560;

// Under Wine the build tree is reached through the drive that maps "/".
std::wstring WindowsPath(const std::string& host_path) {
  std::wstring path = L"Z:";
  for (char c : host_path) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
  return path;
}

std::vector<uint8_t> BmpBytes(int width, int height, COLORREF left, COLORREF right) {
  const uint32_t stride = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t image = stride * static_cast<uint32_t>(height);
  std::vector<uint8_t> bytes(54 + image, 0);
  auto put32 = [&](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
  };
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(2, static_cast<uint32_t>(bytes.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  bytes[26] = 1;
  bytes[28] = 24;
  put32(34, image);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &bytes[54 + y * stride + x * 3];
      const COLORREF colour = x < width / 2 ? left : right;
      pixel[0] = GetBValue(colour);
      pixel[1] = GetGValue(colour);
      pixel[2] = GetRValue(colour);
    }
  }
  return bytes;
}

INT_PTR CALLBACK StageDialogProc(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

}  // namespace

const std::wstring& SkinFolder() {
  static const std::wstring folder = WindowsPath(std::string(GLIMMORA_OUT_DIR) + "/skin/");
  return folder;
}

std::wstring WideScratchFolder(const std::string& name) {
  const std::u16string folder = ScratchFolder(name);
  return std::wstring(folder.begin(), folder.end());
}

void WriteBmp(const std::wstring& path, int width, int height, COLORREF left, COLORREF right) {
  WriteFileBytes(std::u16string(path.begin(), path.end()), BmpBytes(width, height, left, right));
}

Image SkinPicture(const std::wstring& name, std::optional<SIZE> size) {
  std::optional<Image> picture = LoadPicture(SkinFolder() + name, size);
  EXPECT_TRUE(picture.has_value()) << "cannot load " << std::string(name.begin(), name.end());
  return picture ? *picture : Image();
}

void Blend(Image* under, const Image& over, int x, int y) {
  for (int row = 0; row < over.height; ++row) {
    for (int column = 0; column < over.width; ++column) {
      if (x + column < 0 || x + column >= under->width || y + row >= under->height) continue;
      const uint32_t top = over.at(column, row);
      uint32_t& pixel = under->at(x + column, y + row);
      const uint32_t alpha = top >> 24;
      uint32_t mixed = 0xFF000000u;
      for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t a = (top >> shift) & 0xFF;
        const uint32_t b = (pixel >> shift) & 0xFF;
        mixed |= ((a * alpha + b * (255 - alpha) + 127) / 255) << shift;
      }
      pixel = mixed;
    }
  }
}

bool StartSkinnedControls() {
  if (!fw::StartGdiplus()) return false;
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  return true;
}

HWND Stage() {
  static const HWND stage = [] {
    HWND window = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, kStageWidth, kStageHeight,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(window);
    return window;
  }();
  return stage;
}

void StageOnScreen() { SetWindowPos(Stage(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE); }

void StageOffScreen() {
  SetWindowPos(Stage(), nullptr, -3000, -3000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND CreateStageDialog() {
  std::vector<WORD> block(64, 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(block.data());
  header->style = WS_CHILD | DS_CONTROL | DS_SETFONT;
  header->cx = 320;
  header->cy = 320;
  WORD* tail = reinterpret_cast<WORD*>(header + 1);
  *tail++ = 0;  // no menu
  *tail++ = 0;  // the dialog class
  *tail++ = 0;  // no title
  *tail++ = 8;  // points
  for (const wchar_t* face = L"Segoe UI"; *face; ++face) *tail++ = static_cast<WORD>(*face);
  *tail = 0;
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), header, Stage(), StageDialogProc, 0);
  if (dialog) SetWindowPos(dialog, HWND_TOP, 0, 0, kStageWidth, kStageHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  return dialog;
}

HWND AddDialogChild(HWND dialog, const wchar_t* window_class, const wchar_t* text, DWORD style, int id, int x, int y,
                    int width, int height) {
  HWND child = CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  SendMessageW(child, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), FALSE);
  return child;
}

RECT RectIn(HWND window, HWND reference) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(HWND_DESKTOP, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

LPARAM PointerAt(HWND window, int x, int y) {
  POINT screen{x, y};
  ClientToScreen(window, &screen);
  SetCursorPos(screen.x, screen.y);
  return MAKELPARAM(x, y);
}

LRESULT CommandHost::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_COMMAND) commands.push_back({LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam)});
  return fw::CWnd::WindowProc(message, wparam, lparam);
}

int CommandHost::Clicks(int id) const {
  int clicks = 0;
  for (const Command& command : commands) clicks += command.id == id && command.code == BN_CLICKED;
  return clicks;
}

void SkinStageSuite::SetUpTestSuite() {
  ASSERT_TRUE(StartSkinnedControls());
  StageOnScreen();
}

void SkinStageSuite::TearDownTestSuite() { StageOffScreen(); }

void SkinDialogTest::SetUp() {
  skin::SetScaleFromDpi(96, 96);
  dialog_ = CreateStageDialog();
  ASSERT_NE(dialog_, nullptr);
  ASSERT_TRUE(host_.SubclassWindow(dialog_));
}

void SkinDialogTest::TearDown() {
  if (dialog_) DestroyWindow(dialog_);
  skin::SetScaleFromDpi(96, 96);
}

}  // namespace testing_support
