#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "platform/text.h"

namespace testing_support {

namespace {

// Under Wine the build tree is reached through the drive that maps "/".
std::u16string AsProgramPath(const std::string& host_path) {
#ifdef _WIN32
  std::string p = "Z:" + host_path;
  for (char& c : p) {
    if (c == '/') c = '\\';
  }
  return platform::FromUtf8(p);
#else
  return platform::FromUtf8(host_path);
#endif
}

std::string ProgramPathUtf8(const std::string& host_path) { return platform::ToUtf8(AsProgramPath(host_path)); }

}  // namespace

std::vector<uint8_t> ReadFixture(const std::string& name) {
  std::ifstream in(ProgramPathUtf8(std::string(GLIMMORA_FIXTURE_DIR) + "/" + name), std::ios::binary);
  EXPECT_TRUE(in.good()) << "missing fixture " << name;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::u16string FixturePath(const std::string& name) {
  return AsProgramPath(std::string(GLIMMORA_FIXTURE_DIR) + "/" + name);
}

std::u16string WriteOutput(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string host = std::string(GLIMMORA_OUT_DIR) + "/" + name;
  std::ofstream out(ProgramPathUtf8(host), std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out.good()) << "cannot write " << host;
  return AsProgramPath(host);
}

std::vector<uint8_t> Hex(const std::string& text) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) continue;
    const int v = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : (std::tolower(c) - 'a' + 10);
    if (high < 0) {
      high = v;
    } else {
      bytes.push_back(static_cast<uint8_t>(high * 16 + v));
      high = -1;
    }
  }
  return bytes;
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
  std::string text;
  char buf[4];
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
    text += buf;
  }
  return text;
}

}  // namespace testing_support

#ifndef _WIN32
#include <unistd.h>

#include <filesystem>

#include "platform/file.h"

namespace {

// Every test process gets a machine of its own below the platform root, so
// that tests run in parallel by ctest never share install folders or
// temporary files; it is removed when the process ends.
class PrivateMachine : public ::testing::Environment {
 public:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() / ("glimmora-test-" + std::to_string(getpid()));
    platform::SetPosixRoot(root_.string());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

 private:
  std::filesystem::path root_;
};

::testing::Environment* const kPrivateMachine = ::testing::AddGlobalTestEnvironment(new PrivateMachine);

}  // namespace
#endif
