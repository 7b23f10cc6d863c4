// The index written by the host build, read and written back by the Windows
// build through the real file calls: the two builds agree byte for byte.
#include <gtest/gtest.h>

#include "install/projectloader.h"
#include "platform/file.h"
#include "support/sample_project.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(HostFixture, WindowsBuildWritesTheHostIndexBackIdentically) {
  CInstallProject project;
  ProjectLoadResult loaded = LoadProjectFile(FixturePath(kEveryClassFixture), project);
  ASSERT_TRUE(loaded.ok) << loaded.error;

  const std::u16string copy = WriteOutput("every_class_project.win32.idx", {});
  {
    platform::File out = platform::File::Open(copy, platform::OpenMode::kCreateTruncate);
    ASSERT_TRUE(out.IsOpen());
    const std::vector<uint8_t> bytes = StoreProject(project);
    ASSERT_TRUE(out.Write(bytes.data(), bytes.size()));
  }
  platform::File in = platform::File::Open(copy, platform::OpenMode::kReadShared);
  ASSERT_TRUE(in.IsOpen());
  std::vector<uint8_t> written(static_cast<size_t>(in.Size()));
  ASSERT_EQ(in.Read(written.data(), written.size()), static_cast<int64_t>(written.size()));
  EXPECT_EQ(written, ReadFixture(kEveryClassFixture));
  EXPECT_EQ(project.GetProductInfo().GetVersion(), u"3.5.0.1");
}
