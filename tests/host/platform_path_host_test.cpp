// How the POSIX backend lays Windows paths onto the host's disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <system_error>

#include "platform/diag.h"
#include "platform/file.h"

namespace {

// The root in force, read back through the mapping of the drive root.
std::string CurrentRoot() {
  const std::string drive = platform::HostPath(u"C:\\");
  return drive.substr(0, drive.size() - 3);  // without "/C/"
}

// Gives each test a root folder of its own and puts the old one back.
class PlatformPathTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_root_ = CurrentRoot();
    std::string pattern = (std::filesystem::temp_directory_path() / "glimmora-path-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    root_ = pattern;
    platform::SetPosixRoot(root_);
  }
  void TearDown() override {
    platform::SetPosixRoot(saved_root_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  std::string saved_root_;
  std::string root_;
};

TEST_F(PlatformPathTest, MappingTable) {
  platform::SetPosixRoot("/r/");
  const struct {
    std::u16string windows;
    std::string host;
  } cases[] = {
      {u"C:\\x\\y", "/r/C/x/y"},
      {u"c:\\x", "/r/C/x"},
      {u"D:/a/b", "/r/D/a/b"},
      {u"C:\\x/y\\z", "/r/C/x/y/z"},
      {u"C:\\", "/r/C/"},
      {u"C:\\Program Files\\A B\\", "/r/C/Program Files/A B/"},
      {u"C:\\\u00E9t\u00E9\\\U0001F600", "/r/C/\xC3\xA9t\xC3\xA9/\xF0\x9F\x98\x80"},
      {u"C:", "/r/C"},  // the drive itself, as the first level of a path
      // Not rooted in a drive: taken as it is, separators turned round.
      {u"x\\y", "x/y"},
      {u"C:x", "C:x"},
      {u"1:\\x", "1:/x"},
      {u"\\\\server\\share", "//server/share"},
      {u"/home/user/a.txt", "/home/user/a.txt"},
      {u"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::HostPath(c.windows), c.host) << c.host;
  }
}

TEST_F(PlatformPathTest, FilesLandBelowTheRoot) {
  ASSERT_TRUE(platform::CreateFolder(u"C:\\Data"));
  ASSERT_TRUE(platform::CreateFolder(u"e:\\Other"));  // drives appear on first use
  {
    platform::File file = platform::File::Open(u"C:\\Data\\note.txt", platform::OpenMode::kCreateTruncate);
    ASSERT_TRUE(file.IsOpen());
    ASSERT_TRUE(file.Write("mapped", 6));
  }
  std::ifstream in(root_ + "/C/Data/note.txt");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "mapped");
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/E/Other"));
  // Walking down a path level by level starts with the drive, which exists.
  EXPECT_FALSE(platform::CreateFolder(u"C:"));
  EXPECT_EQ(platform::LastError(), platform::kErrorAlreadyExists);
  EXPECT_TRUE(platform::FolderExists(u"C:"));
  EXPECT_FALSE(std::filesystem::exists("C:"));  // nothing left in the current folder
  EXPECT_TRUE(platform::FileExists(u"c:/Data/note.txt"));
}

TEST_F(PlatformPathTest, TempFolderIsMadeBelowTheRoot) {
  EXPECT_EQ(platform::TempFolder(), u"C:\\users\\user\\Temp\\");
  EXPECT_TRUE(std::filesystem::is_directory(root_ + "/C/users/user/Temp"));
}

TEST_F(PlatformPathTest, ModulePathIsTheHostExecutable) {
  const std::string host = platform::HostPath(platform::ModulePath());
  EXPECT_EQ(std::filesystem::read_symlink("/proc/self/exe").string(), host);
}

}  // namespace
