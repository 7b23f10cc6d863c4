// Finding the trailer behind the program image and reading the package table.
#include <gtest/gtest.h>
#include <zlib.h>

#include "build/extract.h"
#include "build/indexstream.h"
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

// The index is inflated in memory: never past what its table row says, nor
// past the cap, and a damaged stream is a damaged package.
TEST_F(PackageFile, IndexStreamsAreBoundedByTheirRowAndTheCap) {
  const Bytes index = PatternBytes(5000, 3);
  uLongf packed_size = compressBound(static_cast<uLong>(index.size()));
  Bytes stream(packed_size);
  ASSERT_EQ(compress2(stream.data(), &packed_size, index.data(), static_cast<uLong>(index.size()), 9), Z_OK);
  stream.resize(packed_size);
  const Bytes image = FakeImage(100);
  const uint32_t packed = static_cast<uint32_t>(stream.size());
  struct Case {
    const char* label;
    Bytes bytes;
    PackageTableEntry row;
    int32_t result;
    const char* error;
  } cases[] = {
      {"sound", Cat({image, stream}), {u"QivD1.tmp", 100, 5000, packed}, EXTRACT_OK, ""},
      {"a row larger than the stream, up to the cap", Cat({image, stream}), {u"QivD1.tmp", 100, kMaxIndexBytes, packed},
       EXTRACT_OK, ""},
      {"a row one byte short", Cat({image, stream}), {u"QivD1.tmp", 100, 4999, packed}, EXTRACT_ERR_SIGNATURE,
       "more than the 4999 bytes its table row gives"},
      {"a row beyond the cap", Cat({image, stream}), {u"QivD1.tmp", 100, kMaxIndexBytes + 1, packed},
       EXTRACT_ERR_SIGNATURE, "more than the 67108864 an index may have"},
      {"a stream cut short", Cat({image, Bytes(stream.begin(), stream.end() - 10)}),
       {u"QivD1.tmp", 100, 5000, packed - 10}, EXTRACT_ERR_SIGNATURE, "does not reach its end"},
      {"packed bytes past the end of the file", Cat({image, stream}), {u"QivD1.tmp", 100, 5000, packed + 1},
       EXTRACT_ERR_SIGNATURE, "beyond the end of the file"},
      {"an offset past the end of the file", Cat({image, stream}), {u"QivD1.tmp", 0xFFFFFFF0u, 5000, packed},
       EXTRACT_ERR_SIGNATURE, "beyond the end of the file"},
      {"no packed bytes", Cat({image, stream}), {u"QivD1.tmp", 100, 5000, 0}, EXTRACT_ERR_SIGNATURE,
       "does not reach its end"},
      {"not a zlib stream", Cat({image, Bytes(packed, 0xA5)}), {u"QivD1.tmp", 100, 5000, packed},
       EXTRACT_ERR_SIGNATURE, "is damaged"},
  };
  for (const Case& c : cases) {
    const std::u16string path = folder_ + u"p.bin";
    WriteFileBytes(path, c.bytes);
    platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
    ASSERT_TRUE(file.IsOpen());
    Bytes read = {1, 2, 3};
    std::string error;
    EXPECT_EQ(ReadIndexStream(file, c.row, read, error), c.result) << c.label;
    EXPECT_NE(error.find(c.error), std::string::npos) << c.label << ": " << error;
    if (c.result == EXTRACT_OK) {
      EXPECT_EQ(read, index) << c.label;
    } else {
      EXPECT_TRUE(read.empty()) << c.label;
    }
  }
}

TEST(EntryNames, OnlyPlainNamesAreSafe) {
  const std::u16string longest(kMaxFileNameUnits, u'n');
  const struct {
    const char* label;
    std::u16string name;
    bool safe;
  } cases[] = {
      // What real packages hold: the demo's product files, the temporary
      // index name, and names that only look odd.
      {"product file", u"Glimmora.exe", true},
      {"screen saver", u"GlimmoraSrcSaver.scr", true},
      {"two dots", u"kvfilt.x64", true},
      {"hyphen", u"PT-BR.txt", true},
      {"index", u"QivD1.tmp", true},
      {"blank inside", u"a b", true},
      {"leading dots", u"..x", true},
      {"leading blank", u" x", true},
      {"CJK", u"\u65E5.txt", true},
      {"surrogate pair", u"\U0001F600.png", true},
      {"255 units", longest, true},
      {"device name inside a longer name", u"CONSOLE", true},
      {"COM10 is no device", u"COM10", true},
      {"COM0 is no device", u"COM0", true},
      {"LPT without digit", u"LPT", true},
      {"device name after a prefix", u"xnul.txt", true},
      {"device name with more after it", u"CON_.txt", true},
      {"dollar without a device", u"CONERR$", true},

      {"empty", u"", false},
      {"dot", u".", false},
      {"dot dot", u"..", false},
      {"backslash", u"a\\b", false},
      {"slash", u"a/b", false},
      {"drive colon", u"C:x", false},
      {"tab", u"a\tb", false},
      {"delete", u"\x7f", false},
      {"asterisk", u"a*", false},
      {"question mark", u"a?b", false},
      {"quote", u"\"a\"", false},
      {"less than", u"a<b", false},
      {"greater than", u"a>b", false},
      {"pipe", u"a|b", false},
      {"trailing dot", u"Glimmora.", false},
      {"trailing blank", u"Glimmora ", false},
      {"trailing dot and blank", u"a. ", false},
      {"256 units", longest + u"n", false},
      {"lone high surrogate", u"a\xD800", false},
      {"lone high surrogate before a letter", std::u16string(1, 0xD800) + u"a", false},
      {"lone low surrogate", std::u16string(1, 0xDC00) + u"a", false},
      {"pair the wrong way round", u"\xDC00\xD800", false},
      {"CON", u"CON", false},
      {"con in lower case", u"con", false},
      {"PRN with extension", u"Prn.txt", false},
      {"AUX with two extensions", u"aux.tar.gz", false},
      {"NUL", u"NUL", false},
      {"blank before the extension", u"nul .txt", false},
      {"CONIN$", u"CONIN$", false},
      {"CONOUT$ with extension", u"conout$.log", false},
      {"COM1", u"COM1", false},
      {"COM9 with extension", u"com9.dat", false},
      {"LPT1", u"LPT1", false},
      {"LPT9", u"lpt9", false},
      {"COM with superscript one", u"COM\u00B9", false},
      {"LPT with superscript three", u"LPT\u00B3.txt", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << c.label;
}

}  // namespace
