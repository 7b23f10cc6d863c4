#include "setup/wizard/dirdialog.h"

#include <shlobj.h>

namespace {

// The shell allocator and item lists, released at scope end.
class ShellMalloc {
 public:
  ShellMalloc() {
    if (FAILED(::SHGetMalloc(&malloc_))) malloc_ = nullptr;
  }
  ~ShellMalloc() {
    if (malloc_) malloc_->Release();
  }
  ShellMalloc(const ShellMalloc&) = delete;
  ShellMalloc& operator=(const ShellMalloc&) = delete;
  IMalloc* Get() const { return malloc_; }

 private:
  IMalloc* malloc_ = nullptr;
};

class ItemList {
 public:
  ItemList(IMalloc* malloc, LPITEMIDLIST list) : malloc_(malloc), list_(list) {}
  ~ItemList() {
    if (list_) malloc_->Free(list_);
  }
  ItemList(const ItemList&) = delete;
  ItemList& operator=(const ItemList&) = delete;
  LPITEMIDLIST Get() const { return list_; }

 private:
  IMalloc* malloc_;
  LPITEMIDLIST list_;
};

}  // namespace

bool CDirDialog::SelectionChanged(const std::wstring&, std::wstring&) { return true; }

int CDirDialog::DoBrowse(HWND parent) {
  if (!initial_folder_.empty()) {
    while (!initial_folder_.empty() && iswspace(initial_folder_.back())) initial_folder_.pop_back();
    if (!initial_folder_.empty() && initial_folder_.back() == L'\\') initial_folder_.pop_back();
  }
  ShellMalloc malloc;
  if (!malloc.Get()) return 0;

  LPITEMIDLIST root_list = nullptr;
  if (!root_folder_.empty()) {
    IShellFolder* desktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&desktop))) return 0;
    std::wstring root = root_folder_;
    const HRESULT parsed = desktop->ParseDisplayName(nullptr, nullptr, &root[0], nullptr, &root_list, nullptr);
    desktop->Release();
    if (FAILED(parsed)) return 0;
  }
  ItemList root(malloc.Get(), root_list);

  wchar_t display_name[MAX_PATH] = {};
  BROWSEINFOW info{};
  info.hwndOwner = parent;
  info.pidlRoot = root.Get();
  info.pszDisplayName = display_name;
  info.lpszTitle = prompt_.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS | (status_line_ ? BIF_STATUSTEXT : 0);
  info.lpfn = Callback;
  info.lParam = reinterpret_cast<LPARAM>(this);
  ItemList chosen(malloc.Get(), ::SHBrowseForFolderW(&info));
  if (!chosen.Get()) return 0;
  image_index_ = info.iImage;
  wchar_t path[MAX_PATH] = {};
  if (!::SHGetPathFromIDListW(chosen.Get(), path)) {
    path_.clear();
    return 0;  // a virtual folder
  }
  path_ = path;
  return 1;
}

int CALLBACK CDirDialog::Callback(HWND window, UINT message, LPARAM lparam, LPARAM data) {
  auto* self = reinterpret_cast<CDirDialog*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!self->initial_folder_.empty())
      ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(self->initial_folder_.c_str()));
    if (!self->window_title_.empty()) ::SetWindowTextW(window, self->window_title_.c_str());
  } else if (message == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(lparam), path)) path[0] = 0;
    std::wstring status;
    bool ok = true;
    try {
      ok = self->SelectionChanged(path, status);
    } catch (...) {
      ok = false;  // nothing unwinds through the shell's dialog
    }
    if (self->status_line_) ::SendMessageW(window, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
    ::SendMessageW(window, BFFM_ENABLEOK, 0, ok ? 1 : 0);
  }
  return 0;
}
