// How the host's reader of description files takes files the system would
// read by other rules: 8-bit text is UTF-8 here, where Windows would use
// its code page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/profile.h"
#include "support/scratch.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(SkinProfileHost, EncodingsAndLineEnds) {
  const std::u16string folder = testing_support::ScratchFolder("SkinProfileHost");
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"UTF-8 without a mark", Bytes("[D\xC3\xA9]\r\nTHIS=\xC3\xA9t\xC3\xA9.bmp\r\n1=x\r\n")},
      {"UTF-8 with a mark", Bytes("\xEF\xBB\xBF[D\xC3\xA9]\nTHIS=\xC3\xA9t\xC3\xA9.bmp\n1=x\n")},
      {"line feeds only", {0xFF, 0xFE, '[', 0, 'D', 0, 0xE9, 0, ']', 0, '\n', 0, 'T', 0, 'H', 0, 'I', 0,
                           'S', 0, '=', 0, 0xE9, 0, 't', 0, 0xE9, 0, '.', 0, 'b', 0, 'm', 0, 'p', 0,
                           '\n', 0, '1', 0, '=', 0, 'x', 0}},
      {"carriage returns only, odd last byte", {0xFF, 0xFE, '[', 0, 'D', 0, 0xE9, 0, ']', 0, '\r', 0, 'T', 0,
                                                'H', 0, 'I', 0, 'S', 0, '=', 0, 0xE9, 0, 't', 0, 0xE9, 0,
                                                '.', 0, 'b', 0, 'm', 0, 'p', 0, '\r', 0, '1', 0, '=', 0,
                                                'x', 0, '\r'}},
  };
  int n = 0;
  for (const auto& c : cases) {
    const std::u16string path = folder + u"d" + std::u16string(1, static_cast<char16_t>(u'0' + n++)) + u".ini";
    testing_support::WriteFileBytes(path, c.bytes);
    const platform::ProfileSection read = platform::ReadProfileSection(path, u"d\u00E9", 4096);
    EXPECT_TRUE(read.found) << c.what;
    EXPECT_EQ(read.lines, (std::vector<std::u16string>{u"THIS=\u00E9t\u00E9.bmp", u"1=x"})) << c.what;
  }
}

}  // namespace
