// The in-memory registry of the POSIX backend.
#include <gtest/gtest.h>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/registry.h"

namespace {

using platform::RegKey;

TEST(PlatformRegistryHost, ResetForgetsKeysAndStaleHandles) {
  platform::ResetPosixRegistry();
  RegKey key = RegKey::Create(platform::kLocalMachine, u"Software\\Vendor\\App");
  ASSERT_TRUE(key.SetString(u"Path", u"C:\\App"));
  platform::ResetPosixRegistry();
  EXPECT_FALSE(RegKey::Open(platform::kLocalMachine, u"Software\\Vendor").IsValid());
  // The old handle still looks valid but no longer reaches anything.
  EXPECT_FALSE(key.SetString(u"Path", u"C:\\Other"));
  EXPECT_EQ(platform::LastError(), platform::kErrorInvalidHandle);
  EXPECT_EQ(key.QueryString(u"Path"), std::nullopt);
  RegKey fresh = RegKey::Create(platform::kLocalMachine, u"Software\\Vendor\\App");
  EXPECT_EQ(fresh.QueryString(u"Path"), std::nullopt);
}

TEST(PlatformRegistryHost, RootsAreSeparateAndUnknownRootsRefused) {
  platform::ResetPosixRegistry();
  ASSERT_TRUE(RegKey::Create(platform::kCurrentUser, u"Software\\X").IsValid());
  for (uint32_t root : {platform::kClassesRoot, platform::kLocalMachine, platform::kUsers}) {
    EXPECT_FALSE(RegKey::Open(root, u"Software\\X").IsValid()) << root;
  }
  EXPECT_FALSE(RegKey::Create(0x12345678u, u"Software\\X").IsValid());
  EXPECT_EQ(platform::LastError(), platform::kErrorInvalidHandle);
}

TEST(PlatformRegistryHost, PathsAndNamesFoldLatinLetters) {
  platform::ResetPosixRegistry();
  RegKey key = RegKey::Create(platform::kLocalMachine, u"Software\\\u00C9diteur\\");
  ASSERT_TRUE(key.SetDword(u"Z\u00E4hler", 7));
  RegKey again = RegKey::Open(platform::kLocalMachine, u"SOFTWARE\\\u00E9DITEUR");
  ASSERT_TRUE(again.IsValid());
  EXPECT_EQ(again.QueryValue(u"z\u00C4HLER"), (std::vector<uint8_t>{7, 0, 0, 0}));
  // The root itself opens with an empty path and holds values too.
  RegKey root = RegKey::Open(platform::kLocalMachine, u"");
  ASSERT_TRUE(root.IsValid());
  EXPECT_TRUE(root.SetString(u"", u"top"));
  platform::ResetPosixRegistry();
}

}  // namespace
