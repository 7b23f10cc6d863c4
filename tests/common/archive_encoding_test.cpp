// The archive's primitive encodings, checked against fixed byte tables.
#include <gtest/gtest.h>

#include "archive/archive.h"
#include "install/dialogobjects.h"
#include "install/stringtable.h"
#include "support/archive_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

std::vector<uint8_t> StoreString(const std::u16string& text) {
  std::vector<uint8_t> bytes;
  CArchive ar(bytes);
  ar.WriteString(text);
  return bytes;
}

std::u16string LoadString(const std::vector<uint8_t>& bytes) {
  CArchive ar(bytes.data(), bytes.size(), &FindInstallClass);
  std::u16string text = ar.ReadString();
  EXPECT_EQ(ar.Remaining(), 0u);
  return text;
}

struct StringCase {
  size_t length;
  std::string header;  // the bytes before the characters
};

class StringLengths : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringLengths, HeaderAndRoundTrip) {
  const StringCase& c = GetParam();
  std::u16string text(c.length, u'x');
  std::vector<uint8_t> bytes = StoreString(text);
  std::vector<uint8_t> header = Hex(c.header);
  ASSERT_EQ(bytes.size(), header.size() + 2 * c.length);
  EXPECT_EQ(ToHex({bytes.begin(), bytes.begin() + static_cast<long>(header.size())}), ToHex(header));
  EXPECT_EQ(LoadString(bytes), text);
}

INSTANTIATE_TEST_SUITE_P(Archive, StringLengths,
                         ::testing::Values(StringCase{0, "FF FE FF 00"},
                                           StringCase{1, "FF FE FF 01"},
                                           StringCase{254, "FF FE FF FE"},
                                           StringCase{255, "FF FE FF FF FF 00"},
                                           StringCase{300, "FF FE FF FF 2C 01"},
                                           StringCase{65533, "FF FE FF FF FD FF"},
                                           StringCase{65534, "FF FE FF FF FF FF FE FF 00 00"},
                                           StringCase{70000, "FF FE FF FF FF FF 70 11 01 00"}));

TEST(Archive, ReadsEightBitStringsInEveryLengthForm) {
  EXPECT_EQ(LoadString(Hex("03 61 62 63")), u"abc");
  EXPECT_EQ(LoadString(Hex("FF 02 00 61 62")), u"ab");
  EXPECT_EQ(LoadString(Hex("FF FF FF 01 00 00 00 7A")), u"z");
  // Bytes above 0x7F come from the system code page.
  EXPECT_EQ(LoadString(Hex("01 E9")).size(), 1u);
}

TEST(Archive, NonAsciiTextSurvivesUtf16) {
  const std::u16string text = u"\u65E5\u672C\u8A9E \U0001F600";
  EXPECT_EQ(LoadString(StoreString(text)), text);
}

TEST(Archive, CountsUseSixteenBitsBelowFFFF) {
  struct Case {
    uint32_t count;
    const char* bytes;
  } cases[] = {{0, "00 00"}, {5, "05 00"}, {0xFFFE, "FE FF"}, {0xFFFF, "FF FF FF FF 00 00"}, {0x12345, "FF FF 45 23 01 00"}};
  for (const Case& c : cases) {
    std::vector<uint8_t> bytes;
    CArchive ar(bytes);
    ar.WriteCount(c.count);
    EXPECT_EQ(ToHex(bytes), ToHex(Hex(c.bytes))) << c.count;
  }
}

TEST(Archive, NullObjectIsTwoZeroBytes) {
  EXPECT_EQ(ToHex(StoreObject(nullptr)), "00 00");
  EXPECT_EQ(LoadObject(Hex("00 00")), nullptr);
}

// A string table holding 27 entries of one class: only the first entry
// carries the class record; the others name the class by its index.
TEST(Archive, SecondObjectOfAClassIsIntroducedByItsClassIndex) {
  CStringTable table;
  for (int i = 0; i < 27; ++i) table.Add(std::make_shared<CIDString>(i, 1, u"t"));
  std::vector<uint8_t> bytes = StoreObject(&table);

  // Index 1: class CStringTable, 2: the table, 3: class CIDString, 4: first entry,
  // so every later entry is introduced by 8003.
  std::vector<uint8_t> entry_fields = Cat({U32(1), Str("t")});  // after the id
  std::vector<uint8_t> expected = Cat({NewClass("CStringTable"), Str(""), U32(0), U32(0), U16(27),
                                       NewClass("CIDString"), U32(0), entry_fields});
  for (int i = 1; i < 27; ++i) expected = Cat({expected, U16(0x8003), U32(static_cast<uint32_t>(i)), entry_fields});
  EXPECT_EQ(ToHex(bytes), ToHex(expected));

  auto loaded = std::dynamic_pointer_cast<CStringTable>(LoadObject(bytes));
  ASSERT_TRUE(loaded);
  ASSERT_EQ(loaded->GetList().size(), 27u);
  EXPECT_EQ(loaded->GetList()[26]->GetId(), 26);
}

// A back reference yields the same object, and objects and classes share one
// numbering: class 1, object 2, next class 3, its object 4, then "0002".
TEST(Archive, ObjectsAndClassesShareOneNumbering) {
  auto first = std::make_shared<CSplashDlgObject>();
  auto second = std::make_shared<CIntroDLgObject>();
  std::vector<uint8_t> bytes;
  {
    CArchive ar(bytes);
    ar.WriteObject(first.get());
    ar.WriteObject(second.get());
    ar.WriteObject(first.get());
  }
  std::vector<uint8_t> fields = Cat({Str(""), U32(1), U32(0)});
  EXPECT_EQ(ToHex(bytes), ToHex(Cat({NewClass("CSplashDlgObject"), fields, NewClass("CIntroDLgObject"), fields,
                                     U16(0x0002)})));

  CArchive in(bytes.data(), bytes.size(), &FindInstallClass);
  auto a = in.ReadObject();
  auto b = in.ReadObject();
  auto c = in.ReadObject();
  EXPECT_TRUE(std::dynamic_pointer_cast<CSplashDlgObject>(a));
  EXPECT_TRUE(std::dynamic_pointer_cast<CIntroDLgObject>(b));
  EXPECT_EQ(a, c);
}

// Past 7FFE entries in the map, indexes no longer fit in 15 bits and use the
// 7FFF escape with a 32-bit value, for classes and for objects.
TEST(Archive, LargeIndexesUseTheBigTag) {
  CStringTable table;  // class 1, table 2, class 3, entries 4..0x8003
  for (int i = 0; i < 0x8000; ++i) table.Add(std::make_shared<CIDString>(i, 1, u"x"));
  auto first = std::make_shared<CSplashDlgObject>();   // class 0x8004, object 0x8005
  auto second = std::make_shared<CSplashDlgObject>();  // object 0x8006
  std::vector<uint8_t> bytes;
  {
    CArchive ar(bytes);
    ar.WriteObject(&table);
    ar.WriteObject(first.get());
    ar.WriteObject(second.get());
    ar.WriteObject(first.get());
  }
  const std::vector<uint8_t> fields = Cat({Str(""), U32(1), U32(0)});
  const std::vector<uint8_t> tail = Cat({NewClass("CSplashDlgObject"), fields, U16(0x7FFF), U32(0x80008004u),
                                         fields, U16(0x7FFF), U32(0x8005)});
  ASSERT_GT(bytes.size(), tail.size());
  EXPECT_EQ(ToHex({bytes.end() - static_cast<long>(tail.size()), bytes.end()}), ToHex(tail));

  CArchive in(bytes.data(), bytes.size(), &FindInstallClass);
  auto loaded = std::dynamic_pointer_cast<CStringTable>(in.ReadObject());
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->GetList().size(), 0x8000u);
  auto a = in.ReadObject();
  auto b = in.ReadObject();
  EXPECT_TRUE(std::dynamic_pointer_cast<CSplashDlgObject>(b));
  EXPECT_NE(a, b);
  EXPECT_EQ(in.ReadObject(), a);
  EXPECT_EQ(in.Remaining(), 0u);
}

}  // namespace
