// System answers and diagnostics of the POSIX backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/system.h"

namespace {

class PlatformSystemHost : public testing::Test {
 protected:
  void SetUp() override { saved_ = platform::PosixSystem(); }
  void TearDown() override { platform::PosixSystem() = saved_; }
  platform::FakeSystem saved_;
};

TEST_F(PlatformSystemHost, AnswersComeFromTheDescription) {
  const struct {
    platform::OsVersion version;
    bool administrator;
    uint16_t lang;
  } cases[] = {
      {{1, 4, 10}, false, 0x0407},
      {{2, 5, 1}, true, 0x0409},
      {{2, 10, 0}, false, 0x0411},
      {{0, 0, 0}, true, 0},
  };
  for (const auto& c : cases) {
    platform::PosixSystem().version = c.version;
    platform::PosixSystem().administrator = c.administrator;
    platform::PosixSystem().default_lang = c.lang;
    const platform::OsVersion got = platform::GetOsVersion();
    EXPECT_EQ(got.platform_id, c.version.platform_id);
    EXPECT_EQ(got.major, c.version.major);
    EXPECT_EQ(got.minor, c.version.minor);
    EXPECT_EQ(platform::IsAdministrator(), c.administrator);
    EXPECT_EQ(platform::SystemDefaultLangId(), c.lang);
  }
}

TEST_F(PlatformSystemHost, MessagesAreRecordedAndCounted) {
  const int before = platform::PosixSystem().messages_shown;
  platform::ShowInformation(u"First", u"Setup");
  platform::ShowInformation(u"Done.", u"Glimmora");
  EXPECT_EQ(platform::PosixSystem().messages_shown, before + 2);
  EXPECT_EQ(platform::PosixSystem().last_text, u"Done.");
  EXPECT_EQ(platform::PosixSystem().last_caption, u"Glimmora");
}

TEST(PlatformDiagHost, DebugOutputOnlyWhenAskedFor) {
  const char* old = std::getenv("GLIMMORA_DEBUG");
  const std::string saved = old != nullptr ? old : "";
  ::unsetenv("GLIMMORA_DEBUG");
  testing::internal::CaptureStderr();
  platform::DebugOutput(u"quiet");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  ::setenv("GLIMMORA_DEBUG", "1", 1);
  testing::internal::CaptureStderr();
  platform::DebugOutput(u"loud \u00E9");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "loud \xC3\xA9\n");
  if (old != nullptr) {
    ::setenv("GLIMMORA_DEBUG", saved.c_str(), 1);
  } else {
    ::unsetenv("GLIMMORA_DEBUG");
  }
}

// Windows keeps the code per thread; so must the stand-in.
TEST(PlatformDiagHost, LastErrorBelongsToTheThread) {
  platform::SetLastError(platform::kErrorDiskFull);
  uint32_t seen_at_start = 1, seen_after_set = 0;
  std::thread other([&] {
    seen_at_start = platform::LastError();
    platform::SetLastError(platform::kErrorAccessDenied);
    seen_after_set = platform::LastError();
  });
  other.join();
  EXPECT_EQ(seen_at_start, 0u);
  EXPECT_EQ(seen_after_set, platform::kErrorAccessDenied);
  EXPECT_EQ(platform::LastError(), platform::kErrorDiskFull);
}

TEST(PlatformDiagHost, UnknownCodesHaveNoText) {
  EXPECT_EQ(platform::ErrorText(99999), u"");
}

}  // namespace
