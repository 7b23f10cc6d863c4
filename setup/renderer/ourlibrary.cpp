#include "setup/renderer/ourlibrary.h"

#include <windows.h>

#include <cstdint>
#include <vector>

// The build names both strings once (setup/renderer/CMakeLists.txt) and
// writes the same ones into the libraries' version resources.
#ifndef GLIMMORA_SPLASH_COMPANY
#error "GLIMMORA_SPLASH_COMPANY must come from the build"
#endif
#ifndef GLIMMORA_SPLASH_PRODUCT
#error "GLIMMORA_SPLASH_PRODUCT must come from the build"
#endif

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wchar_t must be 16-bit here");

const wchar_t* Wide(const std::u16string& text) {
  return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The whole version resource of a file; empty when there is none.
std::vector<uint8_t> ReadVersionBlock(const std::u16string& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(Wide(path), &ignored);
  if (size == 0) return {};
  std::vector<uint8_t> block(size);
  if (!GetFileVersionInfoW(Wide(path), 0, size, block.data())) return {};
  return block;
}

std::u16string Hex4(unsigned value) {
  static const char16_t kDigits[] = u"0123456789abcdef";
  std::u16string text(4, u'0');
  for (int i = 3; i >= 0; --i, value >>= 4) text[static_cast<size_t>(i)] = kDigits[value & 0xF];
  return text;
}

// The names of the string tables to look in: those the translation list
// names, then US English in Unicode and in the Western code page, which is
// what files without a usable list carry in practice.
std::vector<std::u16string> StringTables(std::vector<uint8_t>& block) {
  struct Translation {
    WORD language;
    WORD code_page;
  };
  std::vector<std::u16string> tables;
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length) && value != nullptr) {
    const auto* entries = static_cast<const Translation*>(value);
    for (UINT i = 0; i < length / sizeof(Translation); ++i) {
      tables.push_back(Hex4(entries[i].language) + Hex4(entries[i].code_page));
    }
  }
  tables.push_back(u"040904b0");
  tables.push_back(u"040904e4");
  return tables;
}

std::u16string QueryString(std::vector<uint8_t>& block, const std::u16string& table, const std::u16string& name) {
  const std::u16string key = u"\\StringFileInfo\\" + table + u"\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), Wide(key), &value, &length) || value == nullptr) return {};
  std::u16string text(static_cast<const char16_t*>(value), length);
  while (!text.empty() && text.back() == u'\0') text.pop_back();
  return text;
}

}  // namespace

bool IsOurLibrary(const std::u16string& path) {
  std::vector<uint8_t> block = ReadVersionBlock(path);
  if (block.empty()) return false;
  for (const std::u16string& table : StringTables(block)) {
    if (QueryString(block, table, u"CompanyName") == u"" GLIMMORA_SPLASH_COMPANY &&
        QueryString(block, table, u"ProductName") == u"" GLIMMORA_SPLASH_PRODUCT) {
      return true;
    }
  }
  return false;
}

std::u16string FileVersionString(const std::u16string& path, const std::u16string& name) {
  std::vector<uint8_t> block = ReadVersionBlock(path);
  if (block.empty()) return {};
  for (const std::u16string& table : StringTables(block)) {
    std::u16string value = QueryString(block, table, name);
    if (!value.empty()) return value;
  }
  return {};
}
