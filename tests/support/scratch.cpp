#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/file.h"
#include "platform/text.h"

namespace testing_support {

std::u16string ScratchFolder(const std::string& name) {
  const std::u16string base = platform::TempFolder() + u"glimmora-tests";
  platform::CreateFolder(base);
  // Named after the running test as well: ctest runs tests in parallel, and
  // two tests of one fixture must not clear each other's folder.
  std::string unique = name;
  if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info()) {
    unique += std::string("-") + test->name();
  }
  const std::u16string folder = base + u"\\" + platform::FromUtf8(unique);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::u8path(platform::HostPath(folder)), ignored);
  EXPECT_TRUE(platform::CreateFolder(folder)) << name;
  return folder + u"\\";
}

void WriteFileBytes(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  platform::File file = platform::File::Open(path, platform::OpenMode::kCreateTruncate);
  ASSERT_TRUE(file.IsOpen()) << platform::ToUtf8(path);
  ASSERT_TRUE(file.Write(bytes.data(), bytes.size()));
}

std::vector<uint8_t> ReadFileBytes(const std::u16string& path) {
  platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
  if (!file.IsOpen()) return {};
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  size_t done = 0;
  while (done < bytes.size()) {
    const int64_t n = file.Read(bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

std::vector<uint8_t> FakeImage(size_t size) {
  std::vector<uint8_t> image = PatternBytes(size, 7);
  if (size >= 2) {
    image[0] = 'M';
    image[1] = 'Z';
  }
  return image;
}

std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed) {
  std::vector<uint8_t> bytes(size);
  uint32_t x = seed * 2654435761u + 1;
  for (size_t i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    // Runs of words with a little noise compress moderately, like real files.
    bytes[i] = (i % 64 < 40) ? static_cast<uint8_t>("glimmora screen capture "[i % 24]) : static_cast<uint8_t>(x >> 24);
  }
  return bytes;
}

}  // namespace testing_support
