#include "setup/languagetable.h"

#include <cstdlib>
#include <string>

#include "platform/text.h"

namespace {

struct RawRow {
  int32_t row;
  const char16_t* list_name;
  const char16_t* shown_name;
  const char* ui_languages;  // "0x0804,0x0C04" or "*"
  const char* system;        // "04/02", "09|0D|01/*", "04/!02"
  uint16_t dll_id, ini_id, text_id;
};

// Generated from setup/resources/languages.tsv.
const RawRow kRows[] = {
#include "language_rows.inc"
};

std::vector<uint16_t> ParseIds(const std::string& text, int base) {
  std::vector<uint16_t> ids;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(",|", start);
    if (end == std::string::npos) end = text.size();
    ids.push_back(static_cast<uint16_t>(std::strtoul(text.substr(start, end - start).c_str(), nullptr, base)));
    start = end + 1;
  }
  return ids;
}

LanguageRow Parse(const RawRow& raw) {
  LanguageRow row;
  row.row = raw.row;
  row.list_name = raw.list_name;
  row.shown_name = raw.shown_name;
  row.fallback = std::string(raw.ui_languages) == "*";
  if (!row.fallback) row.ui_languages = ParseIds(raw.ui_languages, 0);
  const std::string system = raw.system;
  const size_t slash = system.find('/');
  row.system_primaries = ParseIds(system.substr(0, slash), 16);
  std::string sub = system.substr(slash + 1);
  row.system_sub_negated = !sub.empty() && sub[0] == '!';
  if (row.system_sub_negated) sub.erase(0, 1);
  row.system_sub = sub == "*" ? -1 : static_cast<int32_t>(std::strtol(sub.c_str(), nullptr, 16));
  row.dll_id = raw.dll_id;
  row.ini_id = raw.ini_id;
  row.text_id = raw.text_id;
  return row;
}

}  // namespace

const std::vector<LanguageRow>& LanguageTable() {
  static const std::vector<LanguageRow> table = [] {
    std::vector<LanguageRow> rows;
    for (const RawRow& raw : kRows) rows.push_back(Parse(raw));
    return rows;
  }();
  return table;
}

int32_t RowForUiLanguage(uint16_t ui_language) {
  int32_t fallback = 1;
  for (const LanguageRow& row : LanguageTable()) {
    if (row.fallback) fallback = row.row;
    for (uint16_t id : row.ui_languages) {
      if (id == ui_language) return row.row;
    }
  }
  return fallback;
}

std::optional<int32_t> RowForSystemLanguage(uint16_t system_language) {
  const uint16_t primary = system_language & 0x3FF;
  const int32_t sub = system_language >> 10;
  for (const LanguageRow& row : LanguageTable()) {
    bool primary_matches = false;
    for (uint16_t p : row.system_primaries) primary_matches = primary_matches || p == primary;
    if (!primary_matches) continue;
    if (row.system_sub < 0) return row.row;
    if (row.system_sub_negated ? sub != row.system_sub : sub == row.system_sub) return row.row;
  }
  return std::nullopt;
}

const std::vector<std::u16string>& InstallationLists() {
  // The language-table order, except that "Korean" comes before "Tranditional".
  static const std::vector<std::u16string> lists = [] {
    std::vector<std::u16string> names{u"Common"};
    for (const LanguageRow& row : LanguageTable()) names.push_back(row.list_name);
    std::swap(names[6], names[7]);  // rows 5 and 6, after "Common"
    return names;
  }();
  return lists;
}
