// The skin library's single entry point: it holds the skin description,
// skins a dialog by its section name (a window record for the THIS line, a
// skinned control for every control line) and forwards each message of a
// skinned dialog to its window record.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <string>

#include "skin/core/skindescription.h"
#include "skin/skinctrfactory.h"
#include "skin/skinwnd.h"

class CSkinCtr;

class CSkinManager {
 public:
  // The process's manager, made on first use.
  static CSkinManager* GetInstance();
  // Stores the description path and binds the description to it.
  static int SetSkinFile(const std::wstring& path);
  // The record bound to `window` handles the message; -1 when the window
  // was never skinned. Runs for every message of every skinned dialog.
  static LRESULT OnSkinWindowMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  CSkinManager();
  virtual ~CSkinManager();
  CSkinManager(const CSkinManager&) = delete;
  CSkinManager& operator=(const CSkinManager&) = delete;

  virtual int Initialize() { return OnInitialize(); }
  // 0, or 5 when the section cannot be read (the dialog keeps its look).
  virtual int SkinDialog(HWND dialog, const std::wstring& section, SkinPoint* position, SkinPair* second);
  virtual int Reserved3(int) { return 0; }
  // Only the THIS lines.
  virtual int SkinWindow(HWND dialog, const std::wstring& section);
  // 0, or 5 when no path is set.
  virtual int LoadSkinFile();
  // Drops every control's pictures and forgets the controls (they stay
  // subclassed); deletes every window record.
  virtual int RemoveAll();
  virtual CFullSkin* GetFullSkin() { return &description_; }
  virtual void AttachControl(HWND child, const wchar_t* class_name, const CCtrSkin& line);
  virtual int OnInitialize() { return 0; }

  const std::wstring& GetSkinFolder() const { return skin_folder_; }
  size_t GetWindowCount() const { return windows_.size(); }
  size_t GetControlCount() const { return controls_.size(); }

 private:
  int Skin(HWND dialog, const std::wstring& section, bool controls, SkinPoint* position, SkinPair* second);

  std::list<std::unique_ptr<CSkinWnd>> windows_;
  std::wstring description_path_;
  std::list<std::unique_ptr<CSkinCtr>> controls_;
  CFullSkin description_;
  std::unique_ptr<CSkinCtrFactory> factory_;
  std::wstring skin_folder_;
  std::list<std::unique_ptr<CSkinCtr>> retired_;  // forgotten by RemoveAll, still subclassed
};
