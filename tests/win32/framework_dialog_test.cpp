// The window and dialog layer: binding objects to windows, reflection of a
// parent's messages to the child's object, the modal loop and its
// pre-translate hook, and that nothing thrown in a handler escapes.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <stdexcept>

#include "framework/controls.h"
#include "framework/dialog.h"

namespace {

constexpr UINT kDialog = 900;
constexpr UINT kOwnerDrawn = 1001;
constexpr UINT kLabel = 1002;
constexpr UINT kEdit = 1003;

// Records what reaches it through reflection.
class RecordingButton : public fw::CButton {
 public:
  int draw_items = 0;
  int destroyed = 0;
  bool OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) override {
    if (message != WM_DRAWITEM) return false;
    ++draw_items;
    *result = TRUE;
    return true;
  }

 protected:
  void PostNcDestroy() override { ++destroyed; }
};

class ColouredLabel : public fw::CStatic {
 public:
  ColouredLabel() : brush_(::CreateSolidBrush(RGB(1, 2, 3))) {}
  ~ColouredLabel() override { ::DeleteObject(brush_); }
  bool OnChildNotify(UINT message, WPARAM, LPARAM, LRESULT* result) override {
    if (message != WM_CTLCOLORSTATIC) return false;
    *result = reinterpret_cast<LRESULT>(brush_);
    return true;
  }
  HBRUSH brush_;
};

class ThrowingEdit : public fw::CEdit {
 public:
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override {
    if (message == WM_USER + 7) throw std::runtime_error("from a handler");
    return fw::CEdit::WindowProc(message, wparam, lparam);
  }
};

class TestDialog : public fw::CDialog {
 public:
  TestDialog() : fw::CDialog(kDialog) {}
  RecordingButton owner_drawn;
  ColouredLabel label;
  ThrowingEdit edit;
  int init_calls = 0;
  int exchanges = 0;
  int pretranslated_keys = 0;
  std::function<void(TestDialog&)> on_init;

  BOOL PreTranslateMessage(MSG* message) override {
    if (message->message == WM_KEYDOWN && message->wParam == VK_F5) {
      ++pretranslated_keys;
      return TRUE;
    }
    return FALSE;
  }

 protected:
  void DoDataExchange() override {
    ++exchanges;
    DDX_Control(kOwnerDrawn, owner_drawn);
    DDX_Control(kLabel, label);
    DDX_Control(kEdit, edit);
  }
  BOOL OnInitDialog() override {
    ++init_calls;
    const BOOL result = fw::CDialog::OnInitDialog();
    if (on_init) on_init(*this);
    return result;
  }
};

TEST(FrameworkDialog, BindsChildrenOnceAndFindsThemByHandle) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HWND button = dialog.GetDlgItem(kOwnerDrawn);
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(button), &dialog.owner_drawn);
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(dialog.GetSafeHwnd()), &dialog);
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(dialog.GetDlgItem(IDOK)), nullptr);

  // Binding again is harmless; another object cannot take a bound window.
  dialog.DDX_Control(kOwnerDrawn, dialog.owner_drawn);
  RecordingButton intruder;
  EXPECT_FALSE(intruder.SubclassWindow(button));
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(button), &dialog.owner_drawn);

  dialog.EndDialog(0);
  EXPECT_EQ(fw::CWnd::FromHandlePermanent(button), nullptr);
  EXPECT_EQ(dialog.owner_drawn.GetSafeHwnd(), nullptr);
  EXPECT_EQ(dialog.owner_drawn.destroyed, 1);
}

TEST(FrameworkDialog, ReflectsOwnerDrawAndControlColourToTheChild) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  ::ShowWindow(dialog.GetSafeHwnd(), SW_SHOW);
  ::UpdateWindow(dialog.GetSafeHwnd());
  EXPECT_GT(dialog.owner_drawn.draw_items, 0);

  HDC dc = ::GetDC(dialog.label.GetSafeHwnd());
  const LRESULT brush = ::SendMessageW(dialog.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(dialog.label.GetSafeHwnd()));
  ::ReleaseDC(dialog.label.GetSafeHwnd(), dc);
  EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dialog.label.brush_));
  dialog.EndDialog(0);
}

TEST(FrameworkDialog, AnExceptionInAHandlerDoesNotLeaveTheWindowProcedure) {
  TestDialog dialog;
  ASSERT_TRUE(dialog.Create());
  // Reaching this line at all is the test: the exception stayed inside.
  ::SendMessageW(dialog.edit.GetSafeHwnd(), WM_USER + 7, 0, 0);
  EXPECT_TRUE(::IsWindow(dialog.edit.GetSafeHwnd()));
  dialog.EndDialog(0);
}

TEST(FrameworkDialog, ModalRunEndsWithTheResultAndOffersKeysToPreTranslate) {
  TestDialog dialog;
  dialog.on_init = [](TestDialog& self) {
    // Keys and the OK command arrive through the modal loop.
    ::PostMessageW(self.GetSafeHwnd(), WM_KEYDOWN, VK_F5, 0);
    ::PostMessageW(self.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(self.GetDlgItem(IDOK)));
  };
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_EQ(dialog.init_calls, 1);
  EXPECT_EQ(dialog.exchanges, 1);
  EXPECT_EQ(dialog.pretranslated_keys, 1);
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);

  // The same object runs again.
  dialog.on_init = [](TestDialog& self) { self.EndDialog(IDCANCEL); };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

void CALLBACK DestroyOnTimer(HWND window, UINT, UINT_PTR, DWORD) { ::DestroyWindow(window); }

TEST(FrameworkDialog, ModalRunEndsWhenTheWindowIsDestroyedBehindItsBack) {
  TestDialog dialog;
  dialog.on_init = [](TestDialog& self) { ::PostMessageW(self.GetSafeHwnd(), WM_CLOSE, 0, 0); };
  // The dialog manager turns the close request into Cancel.
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);

  TestDialog destroyed;
  destroyed.on_init = [](TestDialog& self) { ::SetTimer(self.GetSafeHwnd(), 1, 10, DestroyOnTimer); };
  EXPECT_EQ(destroyed.DoModal(), -1);
}

TEST(FrameworkDialog, AMissingTemplateFailsTheRun) {
  fw::CDialog missing(4242);
  EXPECT_EQ(missing.DoModal(), -1);
  EXPECT_FALSE(missing.Create());
}

}  // namespace
