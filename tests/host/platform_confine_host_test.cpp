// The POSIX backend confined to its root, as glimmora-pack extracts: links
// already below the root are neither followed nor written through, no path
// leads out, and only drive paths are written.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>

#include "platform/confine_posix.h"
#include "platform/diag.h"
#include "platform/file.h"
#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

std::string CurrentRoot() {
  const std::string drive = platform::HostPath(u"C:\\");
  return drive.substr(0, drive.size() - 3);  // without "/C/"
}

std::string Read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A root below a scratch folder, confined, and a folder "outside" beside it
// holding a file that links below the root point at.
class PlatformConfine : public testing::Test {
 protected:
  void SetUp() override {
    saved_root_ = CurrentRoot();
    std::string pattern = (fs::temp_directory_path() / "glimmora-confine-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&pattern[0]), nullptr);
    scratch_ = pattern;
    root_ = scratch_ / "root";
    outside_ = scratch_ / "outside";
    Reset();
    platform::SetPosixRoot(root_.string());
    platform::SetPosixConfinement(true);
  }
  void TearDown() override {
    platform::SetPosixConfinement(false);
    platform::SetPosixRoot(saved_root_);
    std::error_code ignored;
    fs::remove_all(scratch_, ignored);
  }

  // An empty drive C: with one folder, and the outside file as it was.
  void Reset() {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
    fs::remove_all(outside_, ignored);
    fs::create_directories(root_ / "C" / "dir");
    fs::create_directories(outside_);
    std::ofstream(outside_ / "victim.txt") << "victim";
  }

  // Creates or truncates `path` and writes a few bytes; false when refused.
  static bool Write(const std::u16string& path) {
    platform::File file = platform::File::Open(path, platform::OpenMode::kCreateTruncate);
    return file.IsOpen() && file.Write("new", 3);
  }

  std::string saved_root_;
  fs::path scratch_, root_, outside_;
};

TEST_F(PlatformConfine, NothingIsWrittenThroughALinkOrOutsideTheRoot) {
  const struct {
    const char* label;
    std::function<void(const fs::path& root, const fs::path& outside)> plant;
    std::function<bool()> write;
    uint32_t error;
  } cases[] = {
      {"a file link in the file's place",
       [](const fs::path& root, const fs::path& outside) { fs::create_symlink(outside / "victim.txt", root / "C/dir/f.txt"); },
       [] { return Write(u"C:\\dir\\f.txt"); }, platform::kErrorStoppedOnSymlink},
      {"a folder link on the way",
       [](const fs::path& root, const fs::path& outside) { fs::create_directory_symlink(outside, root / "C/dir/sub"); },
       [] { return Write(u"C:\\dir\\sub\\victim.txt"); }, platform::kErrorStoppedOnSymlink},
      {"a folder made inside a folder link",
       [](const fs::path& root, const fs::path& outside) { fs::create_directory_symlink(outside, root / "C/dir/sub"); },
       [] { return platform::CreateFolder(u"C:\\dir\\sub\\made"); }, platform::kErrorStoppedOnSymlink},
      {"a link in the drive's place",
       [](const fs::path& root, const fs::path& outside) {
         fs::remove_all(root / "C");
         fs::create_directory_symlink(outside, root / "C");
       },
       [] { return Write(u"C:\\victim.txt"); }, platform::kErrorStoppedOnSymlink},
      {"a second hard link of an outside file",
       [](const fs::path& root, const fs::path& outside) { fs::create_hard_link(outside / "victim.txt", root / "C/dir/h.txt"); },
       [] { return Write(u"C:\\dir\\h.txt"); }, platform::kErrorAccessDenied},
      {"parent names", [](const fs::path&, const fs::path&) {},
       [] { return Write(u"C:\\dir\\..\\..\\..\\outside\\victim.txt"); }, platform::kErrorInvalidName},
      {"a dot name", [](const fs::path&, const fs::path&) {}, [] { return Write(u"C:\\.\\x.txt"); },
       platform::kErrorInvalidName},
      {"a NUL that would end the name at \"..\"", [](const fs::path&, const fs::path&) {},
       [] {
         const std::u16string up = std::u16string(u"..") + u'\0' + u"x";
         return Write(u"C:\\" + up + u"\\" + up + u"\\outside\\victim.txt");
       },
       platform::kErrorInvalidName},
      {"a share", [](const fs::path&, const fs::path&) {}, [] { return Write(u"\\\\server\\share\\x.txt"); },
       platform::kErrorAccessDenied},
      {"a relative path", [](const fs::path&, const fs::path&) {}, [] { return Write(u"victim.txt"); },
       platform::kErrorAccessDenied},
      {"a drive-relative path", [](const fs::path&, const fs::path&) {}, [] { return Write(u"C:victim.txt"); },
       platform::kErrorAccessDenied},
  };
  for (const auto& c : cases) {
    Reset();
    c.plant(root_, outside_);
    EXPECT_FALSE(c.write()) << c.label;
    EXPECT_EQ(platform::LastError(), c.error) << c.label;
    EXPECT_EQ(Read(outside_ / "victim.txt"), "victim") << c.label;
    EXPECT_EQ(std::distance(fs::directory_iterator(outside_), fs::directory_iterator()), 1) << c.label;
  }
}

TEST_F(PlatformConfine, HostPathsAreWrittenNeitherDirectlyNorRemoved) {
  const std::u16string victim = platform::FromUtf8((outside_ / "victim.txt").string());
  EXPECT_FALSE(Write(victim));
  EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
  EXPECT_FALSE(platform::RemoveFile(victim));
  EXPECT_EQ(Read(outside_ / "victim.txt"), "victim");
  // The package a tool extracts from is read by its host path.
  platform::File read = platform::File::Open(victim, platform::OpenMode::kReadShared);
  EXPECT_TRUE(read.IsOpen());
}

TEST_F(PlatformConfine, PlainPathsStillWork) {
  ASSERT_TRUE(platform::CreateFolder(u"C:\\dir\\new"));
  EXPECT_TRUE(Write(u"C:\\dir\\new\\file.txt"));
  EXPECT_EQ(Read(root_ / "C/dir/new/file.txt"), "new");
  EXPECT_TRUE(Write(u"C:\\dir\\new\\file.txt")) << "an existing file is written again";
  EXPECT_TRUE(platform::FileExists(u"C:\\dir\\new\\file.txt"));
  EXPECT_TRUE(platform::FolderExists(u"C:\\dir\\new\\"));
  EXPECT_FALSE(platform::CreateFolder(u"C:\\dir\\new"));
  EXPECT_EQ(platform::LastError(), platform::kErrorAlreadyExists);
  EXPECT_TRUE(platform::RemoveFile(u"C:\\dir\\new\\file.txt"));
  EXPECT_FALSE(fs::exists(root_ / "C/dir/new/file.txt"));
  EXPECT_TRUE(Write(u"D:\\on another drive.txt")) << "every drive exists";
  EXPECT_FALSE(platform::TempFileName(u"C:\\dir\\", u"gl~").empty());
}

TEST_F(PlatformConfine, LinksAreRemovedThemselvesAndNeverCountAsFolders) {
  fs::create_directory_symlink(outside_, root_ / "C/dir/linked");
  fs::create_symlink(outside_ / "victim.txt", root_ / "C/dir/f.txt");
  EXPECT_FALSE(platform::FolderExists(u"C:\\dir\\linked"));
  EXPECT_TRUE(platform::TempFileName(u"C:\\dir\\linked\\", u"gl~").empty());
  EXPECT_EQ(platform::LastError(), platform::kErrorStoppedOnSymlink);
  EXPECT_TRUE(platform::RemoveFile(u"C:\\dir\\f.txt"));
  EXPECT_FALSE(fs::exists(fs::symlink_status(root_ / "C/dir/f.txt")));
  EXPECT_EQ(Read(outside_ / "victim.txt"), "victim");
}

// The stand-in machine's special folders are made on first use; a link
// where one of them goes does not make them elsewhere.
TEST_F(PlatformConfine, SpecialFoldersAreNotMadeThroughALink) {
  fs::create_directory_symlink(outside_, root_ / "C/windows");
  EXPECT_EQ(platform::SpecialFolderPath(0x25), u"C:\\windows\\system32");
  EXPECT_FALSE(fs::exists(outside_ / "system32"));
}

}  // namespace
