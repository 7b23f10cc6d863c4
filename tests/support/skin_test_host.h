// What the skinned-control tests share: the skin folder the build
// generates, one stage window for the whole run with a fresh child dialog
// per test, the dialog's object noting its commands, and pictures read,
// composed or written at test time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/window.h"
#include "support/screenshot_win32.h"

namespace testing_support {

// ---- files ------------------------------------------------------------------

// The build's generated skin pictures, as a Windows path ending in a
// backslash (under Wine the build tree is reached through drive Z:).
const std::wstring& SkinFolder();

// A fresh scratch folder (see ScratchFolder) as a wide string.
std::wstring WideScratchFolder(const std::string& name);

// Writes a 24-bit bottom-up BMP, `left` on its left half and `right` on the
// rest: a picture the control under test loads the way it loads a skin's.
void WriteBmp(const std::wstring& path, int width, int height, COLORREF left, COLORREF right);

// ---- pictures -----------------------------------------------------------------

// The skin folder's picture `name` (drawn at `size` when given, see
// LoadPicture); an empty image, and a failed expectation, when it does not load.
Image SkinPicture(const std::wstring& name, std::optional<SIZE> size = std::nullopt);

// `over` laid on `under` at (x, y) by its alpha; what falls outside `under`
// is left out.
void Blend(Image* under, const Image& over, int x, int y);

// ---- windows ------------------------------------------------------------------

// GDI+ running and every common control class registered, as the setup has
// them before its first skinned control. False when GDI+ does not start.
bool StartSkinnedControls();

// One top-level window for the whole run, activated and never destroyed:
// under Wine an activated top-level window takes two seconds to go (it waits
// for a window manager there is none of), a child window none.
HWND Stage();
// The stage at the top-left corner of the screen, above everything else, or
// off the screen, out of other tests' way.
void StageOnScreen();
void StageOffScreen();

// A dialog filling the stage, shown, in "Segoe UI" 8 points as the setup's are.
HWND CreateStageDialog();

// A visible child of `dialog` with the dialog's font.
HWND AddDialogChild(HWND dialog, const wchar_t* window_class, const wchar_t* text, DWORD style, int id, int x, int y,
                    int width, int height);

// The window rectangle of `window` in `reference`'s client coordinates.
RECT RectIn(HWND window, HWND reference);

// A client point of `window`, with the pointer put on it as a user's would be.
LPARAM PointerAt(HWND window, int x, int y);

// The dialog's object: hands its children's messages back to their objects
// and notes the commands it receives.
class CommandHost : public fw::CWnd {
 public:
  struct Command {
    int id;
    int code;
    HWND from;
    // The same command as an (id, code) pair, whichever window sent it.
    friend bool operator==(const Command& command, const std::pair<int, int>& id_and_code) {
      return command.id == id_and_code.first && command.code == id_and_code.second;
    }
  };
  std::vector<Command> commands;

  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;
  // The BN_CLICKED notes of the button `id`.
  int Clicks(int id) const;
};

// Suites on the stage: GDI+ and the common controls started, the stage on
// the screen while the suite runs and off it afterwards.
class SkinStageSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite();
  static void TearDownTestSuite();
};

// Each test a fresh dialog on the stage, bound to `host_`, at 96 dots per
// inch; the dialog is destroyed and the scale put back after it.
class SkinDialogTest : public SkinStageSuite {
 protected:
  void SetUp() override;
  void TearDown() override;

  HWND AddChild(const wchar_t* window_class, const wchar_t* text, DWORD style, int id, int x, int y, int width,
                int height) {
    return AddDialogChild(dialog_, window_class, text, style, id, x, y, width, height);
  }
  RECT InParent(HWND window) const { return RectIn(window, dialog_); }

  HWND dialog_ = nullptr;
  CommandHost host_;
};

}  // namespace testing_support
