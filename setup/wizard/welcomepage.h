// The wizard's first page: a greeting and what the wizard will do.
#pragma once

#include "skin/skindialog.h"
#include "skin/transparentstatic.h"

class CDilaogFirst : public CSkinDialog {
 public:
  CDilaogFirst();
  LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam) override;

 protected:
  void DoDataExchange() override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

 private:
  CTransparentStatic2 title_, introduction_;
};

// Shared by the pages: the About entry in a page's system menu and the
// program's icon on the window.
void AddAboutEntryAndIcon(HWND page);
