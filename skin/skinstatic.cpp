#include "skin/skinstatic.h"

int CSkinStatic::LoadSkin(const std::wstring* line, const std::wstring* folder) { return line && folder ? 0 : 5; }

int CSkinTreeCtr::LoadSkin(const std::wstring* line, const std::wstring* folder) { return line && folder ? 0 : 5; }
