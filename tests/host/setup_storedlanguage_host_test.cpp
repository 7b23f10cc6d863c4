// The language row read back from an installation (host only: it writes
// the product key): only a stored row that
// names a language is taken.
#include <gtest/gtest.h>

#include <vector>

#include "platform/registry.h"
#include "setup/storedlanguage.h"

namespace {

void StoreLang(uint32_t type, const std::vector<uint8_t>& bytes) {
  platform::RegKey key = platform::RegKey::Create(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora");
  ASSERT_TRUE(key.IsValid());
  ASSERT_TRUE(key.SetValue(u"Lang", type, bytes.data(), static_cast<uint32_t>(bytes.size())));
}

TEST(StoredLanguage, OnlyADwordNamingARowIsTaken) {
  platform::ResetPosixRegistry();
  int32_t untouched = -7;
  EXPECT_FALSE(ReadStoredLanguage(&untouched));  // nothing installed
  EXPECT_EQ(untouched, -7);
  struct Case {
    uint32_t type;
    std::vector<uint8_t> bytes;
    bool taken;
    int32_t row;
  } cases[] = {
      {platform::kRegDword, {3, 0, 0, 0}, true, 3},
      {platform::kRegDword, {21, 0, 0, 0}, true, 21},
      {platform::kRegDword, {22, 0, 0, 0}, false, 0},
      {platform::kRegDword, {0xFF, 0xFF, 0xFF, 0xFF}, false, 0},  // -1
      {platform::kRegSz, {'3', 0, 0, 0}, false, 0},
      {platform::kRegBinary, {3, 0}, false, 0},
  };
  for (const Case& c : cases) {
    StoreLang(c.type, c.bytes);
    int32_t row = -7;
    EXPECT_EQ(ReadStoredLanguage(&row), c.taken) << int(c.bytes[0]);
    EXPECT_EQ(row, c.taken ? c.row : -7) << int(c.bytes[0]);
  }
}

}  // namespace
