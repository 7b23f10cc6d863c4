// Thin wrappers of the common controls, used as the first base of the
// skinned controls. They add only what the skinned classes ask of them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/window.h"

namespace fw {

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(bool pushed) { SendMessage(BM_SETSTATE, pushed ? TRUE : FALSE); }
};

class CStatic : public CWnd {};

class CEdit : public CWnd {
 public:
  void SetSel(int start, int end) { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
  void LimitText(int characters) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(characters)); }
};

class CComboBox : public CWnd {
 public:
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  int InsertString(int index, const std::wstring& text) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.c_str())));
  }
  int AddString(const std::wstring& text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
  }
  std::wstring GetLBText(int index) const;
  bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }
};

class CListCtrl : public CWnd {
 public:
  HWND GetHeaderCtrl() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
};

class CHeaderCtrl : public CWnd {
 public:
  int GetItemCount() const { return static_cast<int>(SendMessage(HDM_GETITEMCOUNT)); }
};

class CProgressCtrl : public CWnd {
 public:
  void SetRange(short lower, short upper) { SendMessage(PBM_SETRANGE, 0, MAKELPARAM(lower, upper)); }
  int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, static_cast<WPARAM>(position))); }
  void SetStep(int step) { SendMessage(PBM_SETSTEP, static_cast<WPARAM>(step)); }
  void StepIt() { SendMessage(PBM_STEPIT); }
};

class CSliderCtrl : public CWnd {
 public:
  virtual void SetRange(int lower, int upper, BOOL redraw = FALSE) {
    SendMessage(TBM_SETRANGEMIN, FALSE, lower);
    SendMessage(TBM_SETRANGEMAX, redraw, upper);
  }
  int GetPos() const { return static_cast<int>(SendMessage(TBM_GETPOS)); }
  void SetPos(int position) { SendMessage(TBM_SETPOS, TRUE, position); }
};

class CSpinButtonCtrl : public CWnd {};

class CTreeCtrl : public CWnd {};

// A tooltip window owned by this object (destroyed with it).
class CToolTipCtrl {
 public:
  CToolTipCtrl() = default;
  ~CToolTipCtrl();
  CToolTipCtrl(const CToolTipCtrl&) = delete;
  CToolTipCtrl& operator=(const CToolTipCtrl&) = delete;

  bool Create(HWND owner, DWORD style);
  HWND GetSafeHwnd() const { return window_; }
  // One tool covering the whole of `tool_window` (tool id 0).
  bool AddTool(HWND tool_window, const std::wstring& text);
  void UpdateTipText(const std::wstring& text, HWND tool_window);
  void Activate(bool active) { ::SendMessageW(window_, TTM_ACTIVATE, active ? TRUE : FALSE, 0); }
  void RelayEvent(const MSG& message);
  void Pop() { ::SendMessageW(window_, TTM_POP, 0, 0); }
  void Update() { ::SendMessageW(window_, TTM_UPDATE, 0, 0); }

 private:
  HWND window_ = nullptr;
};

}  // namespace fw
