// The 22 language libraries the build makes from setup/resources/ (see
// cmake/resources.cmake), loaded the way the setup program loads them: their
// string tables and dialog templates say what the UTF-8 data says, and they
// hold no code, so loading one runs nothing.
//
// The libraries are found in GLIMMORA_LANG_DIR (a Windows path) when that is
// set, otherwise in ..\setup\lang\ beside this program's folder, where the
// win32 tree builds them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

// Every dialog template the setup program takes from its language library.
const int kTemplates[] = {100, 102, 130, 131, 133, 137, 138, 146, 147, 148};

std::u16string LangFolder() {
  if (const wchar_t* dir = _wgetenv(L"GLIMMORA_LANG_DIR")) {
    std::u16string folder(reinterpret_cast<const char16_t*>(dir));
    return folder.empty() || folder.back() == u'\\' ? folder : folder + u"\\";
  }
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::u16string folder(reinterpret_cast<const char16_t*>(exe), n);
  return folder.substr(0, folder.rfind(u'\\') + 1) + u"..\\setup\\lang\\";
}

std::u16string Wide(const std::string& utf8) { return platform::FromUtf8(utf8); }
const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

// The data's escapes: \n, \t, \\.
std::string Unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += next == 'n' ? '\n' : next == 't' ? '\t' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The fields of each row of a tab-separated file below setup/resources/.
std::vector<std::vector<std::string>> DataRows(const std::string& name) {
  const std::vector<uint8_t> bytes = ReadFileBytes(FixturePath("../../setup/resources/" + name));
  EXPECT_FALSE(bytes.empty()) << "cannot read setup/resources/" << name;
  std::vector<std::vector<std::string>> rows;
  size_t start = 0;
  const std::string text(bytes.begin(), bytes.end());
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    for (size_t from = 0;;) {
      const size_t tab = line.find('\t', from);
      fields.push_back(line.substr(from, tab == std::string::npos ? std::string::npos : tab - from));
      if (tab == std::string::npos) break;
      from = tab + 1;
    }
    rows.push_back(fields);
  }
  return rows;
}

std::vector<std::string> LanguageKeys() {
  std::vector<std::string> keys;
  for (const auto& row : DataRows("languages.tsv")) keys.push_back(row.at(1));
  return keys;
}

// A language library opened as data, as the checks below read it.
struct Library {
  explicit Library(const std::u16string& path)
      : module(LoadLibraryExW(W(path), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {}
  ~Library() {
    if (module) FreeLibrary(module);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE module;
};

std::u16string LibraryPath(const std::string& key) { return LangFolder() + Wide("lang_" + key + ".dll"); }

// What a dialog template (DLGTEMPLATEEX) says: its caption, and the text of
// each control by id. Empty when the template cannot be read.
struct DialogTexts {
  bool ok = false;
  std::u16string caption;
  std::map<int, std::u16string> controls;
};

class TemplateReader {
 public:
  TemplateReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Good() const { return good_; }
  uint16_t Word() {
    if (at_ + 2 > size_) return Fail();
    const uint16_t v = static_cast<uint16_t>(data_[at_] | data_[at_ + 1] << 8);
    at_ += 2;
    return v;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
  }
  void Skip(size_t n) {
    if (at_ + n > size_) {
      Fail();
    } else {
      at_ += n;
    }
  }
  void AlignDword() { Skip((4 - at_ % 4) % 4); }
  // A string or an ordinal (0xFFFF, number); an ordinal reads as "#number".
  std::u16string SzOrOrd() {
    std::u16string s;
    uint16_t c = Word();
    if (c == 0xFFFF) return u"#" + Wide(std::to_string(Word()));
    for (; good_ && c != 0; c = Word()) s += static_cast<char16_t>(c);
    return s;
  }

 private:
  uint16_t Fail() {
    good_ = false;
    at_ = size_;
    return 0;
  }
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool good_ = true;
};

DialogTexts ReadDialog(HMODULE module, int id) {
  DialogTexts result;
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  if (!found) return result;
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
  if (!data) return result;
  TemplateReader r(data, SizeofResource(module, found));
  if (r.Word() != 1 || r.Word() != 0xFFFF) return result;  // a DIALOGEX template
  r.Dword();                                                // help id
  r.Dword();                                                // extended style
  const uint32_t style = r.Dword();
  const int count = r.Word();
  r.Skip(8);  // x, y, cx, cy
  r.SzOrOrd();  // menu
  r.SzOrOrd();  // class
  result.caption = r.SzOrOrd();
  if (style & DS_SETFONT) {
    r.Skip(6);  // points, weight, italic, charset
    r.SzOrOrd();
  }
  for (int i = 0; i < count && r.Good(); ++i) {
    r.AlignDword();
    r.Skip(12);  // help id, extended style, style
    r.Skip(8);   // x, y, cx, cy
    const int control = static_cast<int32_t>(r.Dword());
    r.SzOrOrd();  // class
    result.controls[control] = r.SzOrOrd();
    r.Skip(r.Word());  // creation data
  }
  result.ok = r.Good();
  return result;
}

class ResourcesLanguage : public testing::Test {
 protected:
  void SetUp() override {
    keys_ = LanguageKeys();
    ASSERT_EQ(keys_.size(), 22u);
    for (const std::string& key : keys_) {
      ASSERT_NE(GetFileAttributesW(W(LibraryPath(key))), INVALID_FILE_ATTRIBUTES)
          << platform::ToUtf8(LibraryPath(key))
          << " is missing: build the target glimmora_setup_resources (cmake/resources.cmake)";
    }
  }
  std::vector<std::string> keys_;
};

TEST_F(ResourcesLanguage, EveryStringReadsAsItsData) {
  for (const std::string& key : keys_) {
    Library lib(LibraryPath(key));
    ASSERT_NE(lib.module, nullptr) << key << ": LoadLibraryExW failed, error " << GetLastError();
    const auto rows = DataRows("strings/" + key + ".tsv");
    ASSERT_FALSE(rows.empty()) << key;
    for (const auto& row : rows) {
      wchar_t text[1024];
      const int id = std::atoi(row.at(0).c_str());
      const int n = LoadStringW(lib.module, static_cast<UINT>(id), text, 1024);
      EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(text), n), Wide(Unescape(row.at(1))))
          << key << ": string " << id;
    }
  }
}

TEST_F(ResourcesLanguage, EveryDialogTemplateIsThereWithItsTexts) {
  for (const std::string& key : keys_) {
    Library lib(LibraryPath(key));
    ASSERT_NE(lib.module, nullptr) << key;
    std::map<int, DialogTexts> dialogs;
    for (int id : kTemplates) {
      dialogs[id] = ReadDialog(lib.module, id);
      EXPECT_TRUE(dialogs[id].ok) << key << ": dialog template " << id << " missing or unreadable";
    }
    for (const auto& row : DataRows("dialogs/" + key + ".tsv")) {
      const DialogTexts& dialog = dialogs[std::atoi(row.at(0).c_str())];
      const std::u16string expected = Wide(Unescape(row.at(2)));
      if (row.at(1) == "caption") {
        EXPECT_EQ(dialog.caption, expected) << key << ": caption of " << row.at(0);
        continue;
      }
      const auto control = dialog.controls.find(std::atoi(row.at(1).c_str()));
      ASSERT_NE(control, dialog.controls.end()) << key << ": no control " << row.at(0) << "/" << row.at(1);
      EXPECT_EQ(control->second, expected) << key << ": text of " << row.at(0) << "/" << row.at(1);
    }
  }
}

// The setup program loads its library with a plain LoadLibraryW, which would
// run an entry point: there must be none.
TEST_F(ResourcesLanguage, LibrariesHaveNoEntryPointAndLoadAsModules) {
  for (const std::string& key : keys_) {
    {
      Library lib(LibraryPath(key));
      ASSERT_NE(lib.module, nullptr) << key;
      const auto* base = reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(lib.module) & ~uintptr_t{3});
      const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
      const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
      EXPECT_EQ(nt->OptionalHeader.AddressOfEntryPoint, 0u) << key;
    }
    HMODULE module = LoadLibraryW(W(LibraryPath(key)));
    EXPECT_NE(module, nullptr) << key << ": LoadLibraryW failed, error " << GetLastError();
    if (module) FreeLibrary(module);
  }
}

}  // namespace
