// The licence text taken from its resource, and how a printed text is cut
// into pages.
#include <gtest/gtest.h>

#include <vector>

#include "setup/licencetext.h"

namespace {

std::vector<unsigned char> Utf16(const std::u16string& text) {
  std::vector<unsigned char> bytes;
  for (char16_t c : text) {
    bytes.push_back(static_cast<unsigned char>(c & 0xFF));
    bytes.push_back(static_cast<unsigned char>(c >> 8));
  }
  return bytes;
}

TEST(LicenceText, EverythingButTheLastCodeUnitWithTheMarkKept) {
  const auto normal = Utf16(u"\uFEFFLine one\r\nLine two\r\n");
  EXPECT_EQ(LicenceTextFromResource(normal.data(), normal.size()), u"\uFEFFLine one\r\nLine two\r");
  const auto mark_only = Utf16(u"\uFEFF");
  EXPECT_EQ(LicenceTextFromResource(mark_only.data(), mark_only.size()), u"");
  const unsigned char one_byte[] = {0xFF};
  EXPECT_EQ(LicenceTextFromResource(one_byte, 1), u"");
  EXPECT_EQ(LicenceTextFromResource(nullptr, 0), u"");
  EXPECT_EQ(LicenceTextFromResource(normal.data(), 0), u"");
  // An odd trailing byte is not half a character.
  auto odd = Utf16(u"\uFEFFab\n");
  odd.push_back(0x41);
  EXPECT_EQ(LicenceTextFromResource(odd.data(), odd.size()), u"\uFEFFab");
}

TEST(LicenceText, PagesHoldWholeLinesAndNoPageIsEmpty) {
  struct Case {
    int total, page, line;
    PrintLayout expected;
  } cases[] = {
      {200 * 10, 750, 10, {75, 750, 3}},  // 200 lines, 75 a page
      {150 * 10, 750, 10, {75, 750, 2}},  // exactly two pages: no third, empty one
      {5 * 12, 1000, 12, {83, 996, 1}},   // lines per page follow the page height
      {0, 750, 10, {75, 750, 1}},         // an empty text still prints one page
      {100, 750, 0, {750, 750, 1}},       // a line height of 0 never loops for ever
      {100, 5, 10, {1, 10, 10}},          // a line taller than the page: one a page
  };
  for (const Case& c : cases) {
    const PrintLayout layout = LayoutPrintedText(c.total, c.page, c.line);
    EXPECT_EQ(layout.lines_per_page, c.expected.lines_per_page) << c.total << "/" << c.page << "/" << c.line;
    EXPECT_EQ(layout.page_step, c.expected.page_step) << c.total << "/" << c.page << "/" << c.line;
    EXPECT_EQ(layout.pages, c.expected.pages) << c.total << "/" << c.page << "/" << c.line;
  }
}

}  // namespace
