// Statics and tree controls the skin names: they keep their native look, so
// their line is accepted and nothing more.
#pragma once

#include <string>

#include "framework/controls.h"
#include "skin/skinctr.h"

class CSkinStatic : public CSkinCtr, public fw::CStatic {
 public:
  // 5 when the line or the folder is missing, else 0.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
};

class CSkinTreeCtr : public CSkinCtr, public fw::CTreeCtrl {
 public:
  // 5 when the line or the folder is missing, else 0.
  int LoadSkin(const std::wstring* line, const std::wstring* folder) override;
};
