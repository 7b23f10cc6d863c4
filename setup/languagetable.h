// The 22 languages of the setup program: which UI language selects a row,
// which system language re-selects it on the destination page, and the
// resources and extract list that belong to it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct LanguageRow {
  int32_t row;
  std::u16string list_name;    // the row's extract list in the package
  std::u16string shown_name;   // its text in the destination page's list
  std::vector<uint16_t> ui_languages;  // empty for the fallback row
  bool fallback;               // selected by every UI language no other row lists
  std::vector<uint16_t> system_primaries;
  int32_t system_sub;          // -1: any sub-language
  bool system_sub_negated;     // true: any sub-language other than system_sub
  uint16_t dll_id, ini_id, text_id;
};

// All rows, in row order (row i at index i).
const std::vector<LanguageRow>& LanguageTable();

// The row for a UI language id (GetUserDefaultUILanguage); the fallback row
// when no row lists it.
int32_t RowForUiLanguage(uint16_t ui_language);

// The row for a system language id (GetSystemDefaultLangID), or nothing when
// its primary language matches no row.
std::optional<int32_t> RowForSystemLanguage(uint16_t system_language);

// The extract lists every installation installs, silent or through the
// wizard, in this order: "Common", then the language lists ("Korean" before
// "Tranditional").
const std::vector<std::u16string>& InstallationLists();
