// IsOurLibrary: our five splash libraries say they are ours in their version
// resource; system libraries of the same kind and missing files do not.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/renderer/ourlibrary.h"

namespace {

std::u16string FromWide(const std::wstring& text) {
  return std::u16string(text.begin(), text.end());
}

// See renderer_splash_test.cpp: the libraries sit in <tree>/setup/renderer.
std::u16string RendererFolder() {
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  return FromWide(folder.substr(0, folder.find_last_of(L'\\') + 1) + L"..\\setup\\renderer\\");
}

std::u16string SystemFile(const std::u16string& name) {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return FromWide(system) + u"\\" + name;
}

TEST(RendererOurLibrary, EachSplashLibraryIsOurs) {
  for (const char16_t* name : {u"3DImageRenderer.dll", u"DevIL.dll", u"ILU.dll", u"ILUT.dll", u"d3dx9_35.dll"}) {
    const std::u16string path = RendererFolder() + name;
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    EXPECT_TRUE(IsOurLibrary(path));
    EXPECT_EQ(FileVersionString(path, u"CompanyName"), u"Tavrin");
    EXPECT_EQ(FileVersionString(path, u"ProductName"), u"Tavrin Glimmora splash");
    EXPECT_EQ(FileVersionString(path, u"OriginalFilename"), name);
    EXPECT_EQ(FileVersionString(path, u"InternalName").rfind(u"glimmora-splash-", 0), 0u);
  }
}

TEST(RendererOurLibrary, SystemLibraryIsNotOurs) {
  const std::u16string kernel32 = SystemFile(u"kernel32.dll");
  ASSERT_NE(GetFileAttributesW(reinterpret_cast<const wchar_t*>(kernel32.c_str())), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(IsOurLibrary(kernel32));
}

TEST(RendererOurLibrary, MissingFileIsNotOurs) {
  const std::u16string missing = RendererFolder() + u"no-such-library.dll";
  EXPECT_FALSE(IsOurLibrary(missing));
  EXPECT_EQ(FileVersionString(missing, u"CompanyName"), u"");
}

}  // namespace
