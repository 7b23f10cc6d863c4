// Files and folders through the platform layer: the same codes and the same
// sharing rules on both backends.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/text.h"

namespace {

using platform::File;
using platform::OpenMode;
using platform::SeekOrigin;

// Each test works in a fresh folder below the temporary folder.
class PlatformFileTest : public testing::Test {
 protected:
  void SetUp() override {
    placeholder_ = platform::TempFileName(platform::TempFolder(), u"gpf");
    ASSERT_FALSE(placeholder_.empty()) << platform::LastError();
    dir_ = placeholder_ + u".d";
    ASSERT_TRUE(platform::CreateFolder(dir_)) << platform::LastError();
  }

  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::u8path(platform::HostPath(dir_)), ignored);
    std::filesystem::remove(std::filesystem::u8path(platform::HostPath(placeholder_)), ignored);
  }

  std::u16string Path(const std::u16string& name) const { return dir_ + u"\\" + name; }

  static void Put(const std::u16string& path, const std::string& bytes) {
    File file = File::Open(path, OpenMode::kCreateTruncate);
    ASSERT_TRUE(file.IsOpen()) << platform::LastError();
    ASSERT_TRUE(file.Write(bytes.data(), bytes.size())) << platform::LastError();
  }

  static std::string Get(const std::u16string& path) {
    File file = File::Open(path, OpenMode::kReadShared);
    if (!file.IsOpen()) return "<not open: " + std::to_string(platform::LastError()) + ">";
    std::string bytes(4096, '\0');
    const int64_t got = file.Read(&bytes[0], bytes.size());
    bytes.resize(got < 0 ? 0 : static_cast<size_t>(got));
    return bytes;
  }

  std::u16string placeholder_;
  std::u16string dir_;
};

const char* ModeName(OpenMode mode) {
  switch (mode) {
    case OpenMode::kReadShared: return "read-shared";
    case OpenMode::kCreateTruncate: return "create-truncate";
    case OpenMode::kAppendAlways: return "append-always";
  }
  return "?";
}

TEST_F(PlatformFileTest, OpenFailuresTellFileFromPath) {
  const struct {
    const char16_t* name;
    OpenMode mode;
    uint32_t error;
  } cases[] = {
      {u"missing.txt", OpenMode::kReadShared, platform::kErrorFileNotFound},
      {u"no-folder\\missing.txt", OpenMode::kReadShared, platform::kErrorPathNotFound},
      {u"no-folder\\new.txt", OpenMode::kCreateTruncate, platform::kErrorPathNotFound},
      {u"no-folder\\log.txt", OpenMode::kAppendAlways, platform::kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    platform::SetLastError(0);
    File file = File::Open(Path(c.name), c.mode);
    EXPECT_FALSE(file.IsOpen()) << ModeName(c.mode);
    EXPECT_EQ(platform::LastError(), c.error) << platform::ToUtf8(c.name) << " " << ModeName(c.mode);
  }
  EXPECT_FALSE(platform::FileExists(Path(u"missing.txt")));
}

TEST_F(PlatformFileTest, CreateTruncateCreatesAndTruncates) {
  const auto path = Path(u"data.bin");
  {
    File file = File::Open(path, OpenMode::kCreateTruncate);
    ASSERT_TRUE(file.IsOpen()) << platform::LastError();
    EXPECT_EQ(file.Size(), 0);
  }
  EXPECT_TRUE(platform::FileExists(path));
  Put(path, "hello world");
  Put(path, "hi");
  EXPECT_EQ(Get(path), "hi");
}

TEST_F(PlatformFileTest, AppendAlwaysCreatesThenAppends) {
  const auto path = Path(u"install.log");
  for (const char* line : {"one\n", "two\n"}) {
    File file = File::Open(path, OpenMode::kAppendAlways);
    ASSERT_TRUE(file.IsOpen()) << platform::LastError();
    EXPECT_EQ(file.Seek(0, SeekOrigin::kCurrent), file.Size());
    ASSERT_TRUE(file.Write(line, 4));
  }
  EXPECT_EQ(Get(path), "one\ntwo\n");
}

// Read-shared and create-truncate share with each other; append-always
// shares with nobody, whichever side comes first.
TEST_F(PlatformFileTest, SharingRules) {
  const OpenMode R = OpenMode::kReadShared, T = OpenMode::kCreateTruncate, A = OpenMode::kAppendAlways;
  const struct {
    OpenMode first, second;
    bool shared;
  } cases[] = {
      {R, R, true},  {R, T, true},  {T, R, true},  {T, T, true},  {R, A, false},
      {A, R, false}, {A, A, false}, {A, T, false}, {T, A, false},
  };
  const auto path = Path(u"shared.txt");
  for (const auto& c : cases) {
    Put(path, "x");
    File first = File::Open(path, c.first);
    ASSERT_TRUE(first.IsOpen()) << platform::LastError();
    File second = File::Open(path, c.second);
    EXPECT_EQ(second.IsOpen(), c.shared) << ModeName(c.first) << " then " << ModeName(c.second);
    if (!c.shared) {
      EXPECT_EQ(platform::LastError(), platform::kErrorSharingViolation);
    }
  }
  // The refusal lasts only as long as the first file is open.
  File log = File::Open(path, A);
  ASSERT_TRUE(log.IsOpen());
  log.Close();
  EXPECT_TRUE(File::Open(path, A).IsOpen());
}

TEST_F(PlatformFileTest, RefusedTruncateLeavesTheFileAlone) {
  const auto path = Path(u"busy.log");
  Put(path, "keep me");
  File log = File::Open(path, OpenMode::kAppendAlways);
  ASSERT_TRUE(log.IsOpen());
  EXPECT_FALSE(File::Open(path, OpenMode::kCreateTruncate).IsOpen());
  log.Close();
  EXPECT_EQ(Get(path), "keep me");
}

TEST_F(PlatformFileTest, ReadSeekAndSize) {
  const auto path = Path(u"digits.txt");
  Put(path, "0123456789");
  File file = File::Open(path, OpenMode::kReadShared);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(file.Size(), 10);
  char buffer[16] = {};
  EXPECT_EQ(file.Seek(4, SeekOrigin::kBegin), 4);
  EXPECT_EQ(file.Read(buffer, 3), 3);
  EXPECT_EQ(std::string(buffer, 3), "456");
  EXPECT_EQ(file.Seek(0, SeekOrigin::kCurrent), 7);
  EXPECT_EQ(file.Seek(-2, SeekOrigin::kEnd), 8);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 2);
  EXPECT_EQ(std::string(buffer, 2), "89");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0);
  EXPECT_EQ(file.Seek(-1, SeekOrigin::kBegin), -1);
  EXPECT_EQ(platform::LastError(), platform::kErrorNegativeSeek);
  EXPECT_EQ(file.Seek(0, SeekOrigin::kCurrent), 10);
}

TEST_F(PlatformFileTest, LargeWriteReadsBackWhole) {
  std::vector<char> data(3 * 1024 * 1024 + 17);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + i / 251);
  const auto path = Path(u"large.bin");
  {
    File file = File::Open(path, OpenMode::kCreateTruncate);
    ASSERT_TRUE(file.Write(data.data(), data.size()));
  }
  File file = File::Open(path, OpenMode::kReadShared);
  EXPECT_EQ(file.Size(), static_cast<int64_t>(data.size()));
  std::vector<char> back(data.size() + 100);
  EXPECT_EQ(file.Read(back.data(), back.size()), static_cast<int64_t>(data.size()));
  back.resize(data.size());
  EXPECT_TRUE(back == data);
}

TEST_F(PlatformFileTest, WrongDirectionIsAccessDenied) {
  const auto path = Path(u"one-way.txt");
  Put(path, "abc");
  char byte = 0;
  File reader = File::Open(path, OpenMode::kReadShared);
  EXPECT_FALSE(reader.Write("x", 1));
  EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
  File writer = File::Open(path, OpenMode::kCreateTruncate);
  EXPECT_EQ(writer.Read(&byte, 1), -1);
  EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
}

TEST_F(PlatformFileTest, ClosedFileRefusesEverything) {
  File never;
  File moved_from = File::Open(Path(u"m.txt"), OpenMode::kCreateTruncate);
  File moved_to = std::move(moved_from);
  EXPECT_TRUE(moved_to.IsOpen());
  EXPECT_TRUE(moved_to.Write("ok", 2));
  for (File* file : {&never, &moved_from}) {
    char byte = 0;
    EXPECT_FALSE(file->IsOpen());
    platform::SetLastError(0);
    EXPECT_EQ(file->Read(&byte, 1), -1);
    EXPECT_EQ(platform::LastError(), platform::kErrorInvalidHandle);
    EXPECT_FALSE(file->Write("x", 1));
    EXPECT_EQ(file->Seek(0, SeekOrigin::kBegin), -1);
    EXPECT_EQ(file->Size(), -1);
    EXPECT_EQ(platform::LastError(), platform::kErrorInvalidHandle);
  }
  moved_to.Close();
  EXPECT_FALSE(moved_to.IsOpen());
  EXPECT_EQ(Get(Path(u"m.txt")), "ok");
}

TEST_F(PlatformFileTest, FolderIsNoFile) {
  const auto folder = Path(u"sub");
  ASSERT_TRUE(platform::CreateFolder(folder));
  for (OpenMode mode : {OpenMode::kReadShared, OpenMode::kCreateTruncate, OpenMode::kAppendAlways}) {
    EXPECT_FALSE(File::Open(folder, mode).IsOpen()) << ModeName(mode);
    EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied) << ModeName(mode);
  }
  EXPECT_TRUE(platform::FolderExists(folder));
  EXPECT_FALSE(platform::FileExists(folder));
}

TEST_F(PlatformFileTest, CreateFolderErrors) {
  const auto file = Path(u"plain.txt");
  Put(file, "");
  const struct {
    std::u16string path;
    uint32_t error;
  } cases[] = {
      {dir_, platform::kErrorAlreadyExists},
      {file, platform::kErrorAlreadyExists},
      {Path(u"missing\\child"), platform::kErrorPathNotFound},
  };
  for (const auto& c : cases) {
    platform::SetLastError(0);
    EXPECT_FALSE(platform::CreateFolder(c.path)) << platform::ToUtf8(c.path);
    EXPECT_EQ(platform::LastError(), c.error) << platform::ToUtf8(c.path);
  }
  EXPECT_TRUE(platform::FileExists(file));
  EXPECT_FALSE(platform::FolderExists(file));
  EXPECT_FALSE(platform::FolderExists(Path(u"missing")));
}

std::u16string Lower(std::u16string text) {
  for (auto& c : text) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
  }
  return text;
}

TEST_F(PlatformFileTest, TempFileNameMakesUniqueEmptyFiles) {
  const std::u16string first = platform::TempFileName(dir_, u"abc");
  const std::u16string second = platform::TempFileName(dir_ + u"\\", u"abcdef");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  for (const auto& name : {first, second}) {
    const std::u16string stem = dir_ + u"\\abc";
    EXPECT_EQ(name.compare(0, stem.size(), stem), 0) << platform::ToUtf8(name);
    // Only the first three characters of a prefix are kept, then up to
    // four hexadecimal digits.
    EXPECT_LE(name.size(), stem.size() + 4 + 4) << platform::ToUtf8(name);
    EXPECT_EQ(Lower(name.substr(name.size() - 4)), u".tmp");
    File file = File::Open(name, OpenMode::kReadShared);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Size(), 0);
  }
  EXPECT_TRUE(platform::TempFileName(Path(u"missing"), u"abc").empty());
}

}  // namespace
