// Well-known folders and the program's own path.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/text.h"

namespace {

TEST(PlatformFolders, TempFolderExistsAndEndsInBackslash) {
  const std::u16string temp = platform::TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), u'\\');
  EXPECT_TRUE(platform::FolderExists(temp)) << platform::ToUtf8(temp);
}

TEST(PlatformFolders, RealSpecialFoldersAreDrivePathsThatExist) {
  // windows, system, program files, appdata, common appdata, local appdata
  for (int csidl : {0x24, 0x25, 0x26, 0x1A, 0x23, 0x1C}) {
    const std::u16string path = platform::SpecialFolderPath(csidl);
    ASSERT_GE(path.size(), 4u) << csidl;
    EXPECT_EQ(path.substr(1, 2), u":\\") << platform::ToUtf8(path);
    EXPECT_NE(path.back(), u'\\') << platform::ToUtf8(path);
    EXPECT_TRUE(platform::FolderExists(path)) << platform::ToUtf8(path);
  }
  // The system folder is inside the Windows folder.
  const std::u16string windows = platform::SpecialFolderPath(0x24) + u"\\";
  EXPECT_EQ(platform::SpecialFolderPath(0x25).compare(0, windows.size(), windows), 0);
}

TEST(PlatformFolders, VirtualAndUnknownFoldersAreEmpty) {
  for (int csidl : {0x03, 0x7F, -1}) {
    EXPECT_EQ(platform::SpecialFolderPath(csidl), u"") << csidl;
  }
}

TEST(PlatformFolders, ModulePathNamesThisProgram) {
  const std::u16string path = platform::ModulePath();
  ASSERT_FALSE(path.empty());
  EXPECT_TRUE(platform::FileExists(path)) << platform::ToUtf8(path);
}

}  // namespace
