// Text conversions that must agree on both backends.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"

namespace {

struct Utf8Case {
  const char* what;
  std::string utf8;
  std::u16string utf16;
};

const Utf8Case kRoundTrips[] = {
    {"empty", "", u""},
    {"ascii", "Setup 1.0\\x.txt", u"Setup 1.0\\x.txt"},
    {"two-byte", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
    {"three-byte", "\xE2\x82\xAC 5", u"\u20AC 5"},
    {"last before surrogates", "\xED\x9F\xBF", u"\uD7FF"},
    {"first after surrogates", "\xEE\x80\x80", u"\uE000"},
    {"first pair", "\xF0\x90\x80\x80", u"\U00010000"},
    {"emoji pair", "a\xF0\x9F\x98\x80z", u"a\U0001F600z"},
    {"last pair", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    {"embedded nul", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};

TEST(PlatformText, Utf8RoundTrips) {
  for (const auto& c : kRoundTrips) {
    EXPECT_EQ(platform::ToUtf8(c.utf16), c.utf8) << c.what;
    EXPECT_EQ(platform::FromUtf8(c.utf8), c.utf16) << c.what;
  }
}

TEST(PlatformText, SurrogatePairIsOneFourByteSequence) {
  const std::u16string pair = u"\U0001F600";
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(platform::ToUtf8(pair).size(), 4u);
}

TEST(PlatformText, EveryScalarValueRoundTrips) {
  std::u16string all;
  for (char32_t c = 1; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (c < 0x10000) {
      all += static_cast<char16_t>(c);
    } else {
      all += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      all += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  const std::string utf8 = platform::ToUtf8(all);
  // 1, 2, 3 and 4 bytes for the four ranges, without U+0000 and surrogates.
  EXPECT_EQ(utf8.size(), 0x7Fu * 1 + 0x780u * 2 + (0xF800u - 0x800u) * 3 + 0x100000u * 4);
  EXPECT_TRUE(platform::FromUtf8(utf8) == all);
}

// Cases where every conversion this layer runs on counts the replacement
// characters alike.
const Utf8Case kInvalidUtf8[] = {
    {"lone continuation", "\x80", u"\uFFFD"},
    {"byte never used", "a\xFF" "b", u"a\uFFFDb"},
    {"truncated at end", "\xE2\x82", u"\uFFFD"},
    {"truncated before ascii", "\xE2\x82z", u"\uFFFDz"},
    {"truncated pair", "\xF0\x9F\x98", u"\uFFFD"},
    {"overlong nul", "\xC0\x80", u"\uFFFD\uFFFD"},
    {"five-byte form", "\xF8\x88\x80\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
};

TEST(PlatformText, InvalidUtf8BecomesReplacementCharacters) {
  for (const auto& c : kInvalidUtf8) {
    EXPECT_EQ(platform::FromUtf8(c.utf8), c.utf16) << c.what;
  }
}

// Encoded surrogates and values above U+10FFFF must not come through as
// code units; how many U+FFFD they give differs between systems.
TEST(PlatformText, ForbiddenUtf8ValuesGiveOnlyReplacementCharacters) {
  const std::string cases[] = {"\xED\xA0\x80", "\xED\xBF\xBF", "\xF4\x90\x80\x80", "\xE0\x80\xAF"};
  for (const auto& bytes : cases) {
    const std::u16string text = platform::FromUtf8(bytes);
    EXPECT_FALSE(text.empty()) << testing::PrintToString(bytes);
    EXPECT_EQ(text.find_first_not_of(u'\uFFFD'), std::u16string::npos) << testing::PrintToString(bytes);
  }
}

TEST(PlatformText, LoneSurrogatesBecomeReplacementCharacters) {
  const std::string fffd = "\xEF\xBF\xBD";
  const struct {
    const char* what;
    std::u16string utf16;
    std::string utf8;
  } cases[] = {
      {"high alone", std::u16string{u'a', char16_t(0xD800), u'b'}, "a" + fffd + "b"},
      {"low alone", std::u16string{char16_t(0xDC00)}, fffd},
      {"high at end", std::u16string{u'a', char16_t(0xDBFF)}, "a" + fffd},
      {"reversed pair", std::u16string{char16_t(0xDE00), char16_t(0xD83D)}, fffd + fffd},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::ToUtf8(c.utf16), c.utf8) << c.what;
  }
}

TEST(PlatformText, AnsiKeepsAscii) {
  const std::string ascii = "Setup (c) 2024 - C:\\Program Files\\~x!";
  EXPECT_EQ(platform::FromAnsi(ascii), u"Setup (c) 2024 - C:\\Program Files\\~x!");
  EXPECT_EQ(platform::ToAnsi(platform::FromAnsi(ascii)), ascii);
  EXPECT_EQ(platform::ToAnsi(u""), "");
}

}  // namespace
