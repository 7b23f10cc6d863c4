// The shell's folder picker. The destination page uses it with the
// defaults; title, root, initial folder, prompt and status line are there
// for other callers.
#pragma once

#include <windows.h>

#include <string>

class CDirDialog {
 public:
  CDirDialog() = default;
  virtual ~CDirDialog() = default;

  // 1 when the user chose a folder with a file-system path, else 0.
  int DoBrowse(HWND parent);
  const std::wstring& GetPath() const { return path_; }

  std::wstring window_title_;
  std::wstring root_folder_;
  std::wstring initial_folder_;
  std::wstring prompt_;
  int image_index_ = 0;
  int status_line_ = 0;

 protected:
  // Each new selection: true enables OK; `status` fills the status line.
  virtual bool SelectionChanged(const std::wstring& path, std::wstring& status);

 private:
  static int CALLBACK Callback(HWND window, UINT message, LPARAM lparam, LPARAM data);
  std::wstring path_;
};
