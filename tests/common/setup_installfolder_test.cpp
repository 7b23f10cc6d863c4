// The install folder the user chose: how it is completed, which texts are
// refused before anything touches the disk, and creating it level by level.
#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/text.h"
#include "setup/installfolder.h"
#include "support/scratch.h"

namespace {

TEST(InstallFolder, CompletionAddsOneBackslashAndTheProductFolderOnlyWhenNew) {
  // The folder typed is the folder used: forward slashes and doubled
  // separators would leave the installation's paths unrooted or unequal.
  EXPECT_EQ(CompleteInstallFolder(u"C:/Tools", false), u"C:\\Tools\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"C:/Tools/", false), u"C:\\Tools\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"C:\\\\Tools//\\x", false), u"C:\\Tools\\x\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"D:/Apps/Glimmora", true), u"D:\\Apps\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"C:\\Tools\\", false), u"C:\\Tools\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"D:\\Apps\\Glimmora\\", true), u"D:\\Apps\\Glimmora\\");
  EXPECT_EQ(CompleteInstallFolder(u"D:\\Apps\\Glimmora", true), u"D:\\Apps\\Glimmora\\");
}

TEST(InstallFolder, TextsThatCannotNameAFolderAreRefused) {
  struct Case {
    std::u16string folder;
    FolderProblem problem;
  } cases[] = {
      {u"", FolderProblem::kNotRooted},
      {u"C", FolderProblem::kNotRooted},
      {u"C:", FolderProblem::kNotRooted},
      {u"C:Tools\\", FolderProblem::kNotRooted},  // relative to that drive's current folder
      {u"\\\\server\\share\\", FolderProblem::kNotRooted},
      {u"Tools\\Glimmora\\", FolderProblem::kNotRooted},
      {u"1:\\Tools\\", FolderProblem::kNotRooted},
      {u"C:\\", FolderProblem::kNone},
      {u"C:/Tools\\Glimmora\\", FolderProblem::kNone},
      {u"c:\\Program Files\\Tavrin\\Glimmora\\", FolderProblem::kNone},
      {u"C:\\a<b\\", FolderProblem::kBadName},
      {u"C:\\a:b\\", FolderProblem::kBadName},
      {u"C:\\a\tb\\", FolderProblem::kBadName},
      {u"C:\\..\\Windows\\", FolderProblem::kBadName},
      {u"C:\\Tools\\\\Glimmora\\", FolderProblem::kBadName},
      {u"C:\\" + std::u16string(250, u'a') + u"\\", FolderProblem::kTooLong},
  };
  for (const Case& c : cases)
    EXPECT_EQ(CheckInstallFolderText(c.folder, 20), c.problem) << platform::ToUtf8(c.folder);
}

TEST(InstallFolder, RoomIsLeftForTheLongestInstalledPath) {
  const std::u16string folder = u"C:\\" + std::u16string(200, u'a') + u"\\";  // 204 characters
  EXPECT_EQ(CheckInstallFolderText(folder, 55), FolderProblem::kNone);
  EXPECT_EQ(CheckInstallFolderText(folder, 56), FolderProblem::kTooLong);
}

TEST(InstallFolder, CreatesEveryMissingLevelAndAcceptsExistingOnes) {
  const std::u16string base = testing_support::ScratchFolder("install_folder");
  const std::u16string folder = base + u"Tools/Deeper\\Glimmora\\";
  std::vector<std::u16string> made;
  EXPECT_EQ(CreateInstallFolder(folder, &made), FolderProblem::kNone);
  EXPECT_TRUE(platform::FolderExists(base + u"Tools\\Deeper\\Glimmora"));
  // The levels it made, outermost first: a failed installation removes them.
  EXPECT_EQ(made, (std::vector<std::u16string>{base + u"Tools", base + u"Tools\\Deeper",
                                                base + u"Tools\\Deeper\\Glimmora"}));
  made.clear();
  EXPECT_EQ(CreateInstallFolder(folder, &made), FolderProblem::kNone);  // already there
  EXPECT_TRUE(made.empty());
  // The probe that proves the folder writable is gone again.
  EXPECT_EQ(CreateInstallFolder(base + u"Tools"), FolderProblem::kNone);
  EXPECT_FALSE(platform::FolderExists(base + u"Tools\\Deeper\\Glimmora\\gli0.tmp"));
}

TEST(InstallFolder, AFileNamedLikeALevelIsNotAFolder) {
  const std::u16string base = testing_support::ScratchFolder("install_folder_file");
  testing_support::WriteFileBytes(base + u"Taken", {1, 2, 3});
  EXPECT_EQ(CreateInstallFolder(base + u"Taken\\"), FolderProblem::kNotCreated);
  EXPECT_EQ(CreateInstallFolder(base + u"Taken\\Glimmora\\"), FolderProblem::kNotCreated);
  EXPECT_TRUE(platform::FileExists(base + u"Taken"));
}

}  // namespace
