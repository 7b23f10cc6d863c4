// Finding the trailer behind the program image and reading the package table.
#include <gtest/gtest.h>

#include "build/extract.h"
#include "build/packageformat.h"
#include "platform/file.h"
#include "platform/text.h"
#include "support/archive_bytes.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

PackageTable OneRow(const std::u16string& name, uint32_t offset = 31633197, uint32_t unpacked = 48820,
                    uint32_t packed = 5552) {
  PackageTable table;
  table.count = 1;
  table.rows[0] = {name, offset, unpacked, packed};
  return table;
}

Bytes Trailer(const std::u16string& name = u"QivD1.tmp") { return EncodePackageTrailer(OneRow(name)); }

class PackageFile : public ::testing::Test {
 protected:
  void SetUp() override { folder_ = ScratchFolder("package_format"); }

  // Writes the bytes and reads their trailer; the result code, with the
  // table and the magic's distance from the end kept for inspection.
  int32_t Read(const Bytes& bytes) {
    const std::u16string path = folder_ + u"p.bin";
    WriteFileBytes(path, bytes);
    platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
    EXPECT_TRUE(file.IsOpen());
    distance_ = LocatePackageMagic(file);
    table_ = PackageTable();
    return ReadPackageTrailer(file, &table_, nullptr);
  }

  std::u16string folder_;
  PackageTable table_;
  std::optional<uint32_t> distance_;
};

TEST_F(PackageFile, TrailerOfOneEntryWithAnEighteenByteNameIs68Bytes) {
  const Bytes trailer = Trailer();
  ASSERT_EQ(trailer.size(), 68u);
  EXPECT_EQ(ToHex({trailer.end() - 30, trailer.end() - 22}), "32 00 2E 00 30 00 30 00");  // "2.00"
  EXPECT_EQ(ToHex({trailer.end() - 34, trailer.end() - 30}), "01 00 00 00");
  EXPECT_EQ(ToHex({trailer.end() - 38, trailer.end() - 34}), "12 00 00 00");  // L = 18
}

TEST_F(PackageFile, FindsTheMagicWhereTheSearchRulesPutIt) {
  const Bytes image = FakeImage(20000);
  struct Case {
    const char* label;
    size_t tail;  // bytes after the trailer
    std::optional<uint32_t> distance;
  } cases[] = {
      {"unsigned: the magic ends the file", 0, 0u},
      {"signed: 7 zero bytes and a 5384-byte signature", 7 + 5384, 5391u},
      {"odd distance", 5, 5u},
      {"magic straddling blocks 1 and 2", 8000 + 10 - 22, std::nullopt},
      {"start of block 50", 400000 - 22, 399978u},
      {"straddling blocks 50 and 51", 400000 - 22 + 10, std::nullopt},
      {"beyond 400000 bytes", 400001, std::nullopt},
  };
  for (const Case& c : cases) {
    Bytes bytes = Cat({image, Trailer(), Bytes(c.tail, 0)});
    const int32_t result = Read(bytes);
    EXPECT_EQ(distance_, c.distance) << c.label;
    EXPECT_EQ(result, c.distance ? EXTRACT_OK : EXTRACT_ERR_SIGNATURE) << c.label;
    if (c.distance) {
      EXPECT_EQ(table_.count, 1u) << c.label;
      EXPECT_EQ(table_.rows[0].name, u"QivD1.tmp");
      EXPECT_EQ(table_.rows[0].offset, 31633197u);
      EXPECT_EQ(table_.rows[0].unpackedSize, 48820u);
      EXPECT_EQ(table_.rows[0].packedSize, 5552u);
    }
  }
}

// Two trailers in block 1: the lower offset wins among even ones, and an
// even offset wins over an odd one.
TEST_F(PackageFile, OfTwoMagicsInOneBlockTheRulesPickOne) {
  struct Case {
    const char* label;
    int first_parity;  // of the magic's offset within the block
    int second_parity;
    const char16_t* winner;
  } cases[] = {
      {"both even: the farther from the end", 0, 0, u"A.tmp"},
      {"both odd: the farther from the end", 1, 1, u"A.tmp"},
      {"first even, second odd", 0, 1, u"A.tmp"},
      {"first odd, second even", 1, 0, u"B.tmp"},
  };
  const Bytes first = Trailer(u"A.tmp");
  const Bytes second = Trailer(u"B.tmp");
  for (const Case& c : cases) {
    // Both copies sit in block 1, which starts 8000 bytes before the end; the
    // bytes after each copy decide the parity of its offset in that block.
    const size_t tail = 100 + (c.second_parity ? 1 : 0);
    const size_t between = (c.first_parity != c.second_parity) ? 1 : 0;
    const Bytes bytes = Cat({FakeImage(20000), first, Bytes(between, 0), second, Bytes(tail, 0)});
    const size_t block = bytes.size() - 8000;
    const size_t first_offset = 20000 + first.size() - 22 - block;
    const size_t second_offset = bytes.size() - tail - 22 - block;
    ASSERT_EQ(static_cast<int>(first_offset % 2), c.first_parity) << c.label;
    ASSERT_EQ(static_cast<int>(second_offset % 2), c.second_parity) << c.label;
    ASSERT_EQ(Read(bytes), EXTRACT_OK) << c.label;
    EXPECT_EQ(table_.rows[0].name, c.winner) << c.label;
  }
}

TEST_F(PackageFile, DamagedTablesAreRefused) {
  auto with_count = [](uint32_t count) {
    Bytes t = Trailer();
    Bytes c = U32(count);
    std::copy(c.begin(), c.end(), t.end() - 34);
    return t;
  };
  auto with_length = [](uint32_t length) {
    Bytes t = Trailer();
    Bytes l = U32(length);
    std::copy(l.begin(), l.end(), t.end() - 38);
    return t;
  };
  Bytes version_201 = Trailer();
  version_201[version_201.size() - 24] = '1';
  const Bytes image = FakeImage(9000);
  struct Case {
    const char* label;
    Bytes bytes;
    int32_t result;
  } cases[] = {
      {"version 2.01", Cat({image, version_201}), EXTRACT_ERR_SIGNATURE},
      {"count 0", Cat({image, with_count(0)}), EXTRACT_ERR_EMPTY},
      {"count 21", Cat({image, with_count(21)}), EXTRACT_ERR_SIGNATURE},
      {"name length 8002", Cat({image, with_length(8002)}), EXTRACT_ERR_SIGNATURE},
      {"odd name length", Cat({image, with_length(17)}), EXTRACT_ERR_SIGNATURE},
      {"name reaching before the file", with_length(4000), EXTRACT_ERR_SIGNATURE},
      {"version before the file", Bytes(PackageMagic().begin(), PackageMagic().end()), EXTRACT_ERR_SIGNATURE},
      {"shorter than the magic", Bytes(10, '@'), EXTRACT_ERR_SIGNATURE},
      {"empty file", Bytes(), EXTRACT_ERR_SIGNATURE},
      {"no image, trailer only, a short tail", Cat({Trailer(), Bytes(3, 0)}), EXTRACT_OK},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.bytes), c.result) << c.label;
  }
}

// The magic is assembled at run time, so a program image without payload
// cannot find its own constant.
TEST_F(PackageFile, AProgramWithoutPayloadIsNoPackage) {
  CMyExtract engine;
  EXPECT_EQ(engine.CheckPackage(platform::ModulePath()), EXTRACT_ERR_SIGNATURE);
  EXPECT_EQ(engine.OpenPackage(platform::ModulePath()), EXTRACT_ERR_SIGNATURE);
  EXPECT_EQ(engine.OpenPackage(folder_ + u"missing.exe"), EXTRACT_ERR_OPEN);
}

TEST(EntryNames, OnlyPlainNamesAreSafe) {
  for (const char16_t* name : {u"Glimmora.exe", u"QivD1.tmp", u"a b", u"..x", u"\u65E5.txt"}) {
    EXPECT_TRUE(IsSafeEntryName(name)) << platform::ToUtf8(name);
  }
  for (const char16_t* name : {u"", u".", u"..", u"a\\b", u"a/b", u"C:x", u"a\tb", u"\x7f"}) {
    EXPECT_FALSE(IsSafeEntryName(name)) << platform::ToUtf8(name);
  }
}

}  // namespace
