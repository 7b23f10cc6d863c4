// Error codes of the POSIX backend where the host decides them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <future>
#include <string>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/posix_internal.h"
#include "platform/text.h"

namespace {

TEST(PlatformFileHost, ErrnoTable) {
  const struct {
    int err;
    uint32_t code;
  } cases[] = {
      {0, platform::kErrorSuccess},
      {ENOENT, platform::kErrorFileNotFound},
      {ENOTDIR, platform::kErrorPathNotFound},
      {EACCES, platform::kErrorAccessDenied},
      {EPERM, platform::kErrorAccessDenied},
      {EISDIR, platform::kErrorAccessDenied},
      {EROFS, platform::kErrorAccessDenied},
      {EBADF, platform::kErrorInvalidHandle},
      {ENOMEM, platform::kErrorNotEnoughMemory},
      {EMFILE, platform::kErrorTooManyOpenFiles},
      {EWOULDBLOCK, platform::kErrorSharingViolation},
      {EEXIST, platform::kErrorAlreadyExists},
      {EINVAL, platform::kErrorInvalidParameter},
      {ENOSPC, platform::kErrorDiskFull},
      {EDQUOT, platform::kErrorDiskFull},
      {ENAMETOOLONG, platform::kErrorFilenameTooLong},
      {ENOTEMPTY, platform::kErrorDirNotEmpty},
      {EXDEV, platform::kErrorGenFailure},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::posix::ErrorFromErrno(c.err), c.code) << c.err;
  }
}

TEST(PlatformFileHost, MissingFileOrMissingFolder) {
  const std::string here = platform::HostPath(platform::TempFolder());
  EXPECT_EQ(platform::posix::OpenErrorFromErrno(ENOENT, here + "x"), platform::kErrorFileNotFound);
  EXPECT_EQ(platform::posix::OpenErrorFromErrno(ENOENT, here + "none/x"), platform::kErrorPathNotFound);
  EXPECT_EQ(platform::posix::OpenErrorFromErrno(ENOENT, "x"), platform::kErrorFileNotFound);
  EXPECT_EQ(platform::posix::OpenErrorFromErrno(EACCES, here + "none/x"), platform::kErrorAccessDenied);
}

TEST(PlatformFileHost, NameTooLong) {
  const std::u16string name = platform::TempFolder() + std::u16string(300, u'n');
  EXPECT_FALSE(platform::File::Open(name, platform::OpenMode::kCreateTruncate).IsOpen());
  EXPECT_EQ(platform::LastError(), platform::kErrorFilenameTooLong);
  EXPECT_FALSE(platform::CreateFolder(name));
  EXPECT_EQ(platform::LastError(), platform::kErrorFilenameTooLong);
}

// A FIFO where a file was expected (a source swapped after the packer's
// checks, say) is no file: opening it neither blocks until someone writes to
// it nor succeeds.
TEST(PlatformFileHost, AFifoIsNoFileAndNeverBlocksTheOpen) {
  const std::u16string path = platform::TempFolder() + u"glimmora-fifo-" + platform::FromUtf8(std::to_string(::getpid()));
  const std::string host = platform::HostPath(path);
  ::unlink(host.c_str());
  ASSERT_EQ(::mkfifo(host.c_str(), 0600), 0);
  for (const auto mode : {platform::OpenMode::kReadShared, platform::OpenMode::kCreateTruncate,
                          platform::OpenMode::kAppendAlways}) {
    auto opened = std::async(std::launch::async, [&] { return platform::File::Open(path, mode).IsOpen(); });
    if (opened.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      ADD_FAILURE() << "opening a FIFO blocks (mode " << static_cast<int>(mode) << ")";
      // The other end, so that the blocked open returns and the test ends.
      const int release = ::open(host.c_str(), O_RDWR);
      opened.wait();
      ::close(release);
      continue;
    }
    EXPECT_FALSE(opened.get()) << "mode " << static_cast<int>(mode);
  }
  ::unlink(host.c_str());
}

TEST(PlatformFileHost, FullDiskIsReported) {
  platform::File full = platform::File::Open(u"/dev/full", platform::OpenMode::kCreateTruncate);
  ASSERT_TRUE(full.IsOpen()) << platform::LastError();
  EXPECT_FALSE(full.Write("x", 1));
  EXPECT_EQ(platform::LastError(), platform::kErrorDiskFull);
}

}  // namespace
