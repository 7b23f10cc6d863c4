#include "framework/controls.h"

#include <vector>

namespace fw {

std::wstring CComboBox::GetLBText(int index) const {
  const LRESULT length = SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
  if (length == CB_ERR || length < 0) return {};
  std::vector<wchar_t> text(static_cast<size_t>(length) + 1);
  SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

CToolTipCtrl::~CToolTipCtrl() {
  if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
}

bool CToolTipCtrl::Create(HWND owner, DWORD style) {
  if (window_) return true;
  window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | style, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
  return window_ != nullptr;
}

namespace {
TTTOOLINFOW ToolFor(HWND tool_window, const std::wstring* text) {
  TTTOOLINFOW info{};
  // The size without the reserved tail, which common controls before
  // version 6 reject.
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_SUBCLASS;
  info.hwnd = tool_window;
  info.uId = 0;
  ::GetClientRect(tool_window, &info.rect);
  info.lpszText = text ? const_cast<wchar_t*>(text->c_str()) : nullptr;
  return info;
}
}  // namespace

bool CToolTipCtrl::AddTool(HWND tool_window, const std::wstring& text) {
  TTTOOLINFOW info = ToolFor(tool_window, &text);
  return ::SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void CToolTipCtrl::UpdateTipText(const std::wstring& text, HWND tool_window) {
  TTTOOLINFOW info = ToolFor(tool_window, &text);
  ::SendMessageW(window_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(const MSG& message) {
  MSG copy = message;
  ::SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

}  // namespace fw
