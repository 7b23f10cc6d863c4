// The compression wrapper's arithmetic and buffer rules, and the log file's
// exact bytes.
#include <gtest/gtest.h>

#include "build/logsystem.h"
#include "build/zip.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(Zip, PercentOfTheStreamConsumed) {
  struct Case {
    uint32_t consumed, total, percent;
  } cases[] = {
      {12345, 0, 100},            {6000, 8000, 75},          {10000000, 20000000, 50},
      {5000000, 10000001, 50},    {10000000, 10000000, 100}, {0, 1, 0},
      {4294967295u, 4294967295u, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(StreamPercent(c.consumed, c.total), c.percent) << c.consumed << "/" << c.total;
  }
}

TEST(Zip, FillReadsOnlyWhenNothingIsPendingAndFlushWritesOnlyWhatWasMade) {
  const std::u16string folder = ScratchFolder("zip");
  WriteFileBytes(folder + u"in.bin", PatternBytes(100000, 1));
  platform::File in = platform::File::Open(folder + u"in.bin", platform::OpenMode::kReadShared);
  platform::File out = platform::File::Open(folder + u"out.z", platform::OpenMode::kCreateTruncate);

  CMyZip zip;
  zip.InitStream(1);
  EXPECT_EQ(zip.FlushOutput(out), 0u) << "an untouched buffer writes nothing";
  EXPECT_EQ(zip.FillInput(in), kZipBlockBytes);
  EXPECT_EQ(zip.FillInput(in), kZipBlockBytes) << "pending input: nothing more is read";
  EXPECT_EQ(in.Seek(0, platform::SeekOrigin::kCurrent), static_cast<int64_t>(kZipBlockBytes));
  zip.SetTotal(100000);
  EXPECT_EQ(zip.DeflateStep(0), 0);
  EXPECT_EQ(zip.GetPercent(), 40u);  // 40960 of 100000 consumed
  while (zip.FillInput(in) != 0) zip.DeflateStep(0);
  while (zip.DeflateStep(4) == 0) zip.FlushOutput(out);
  const uint32_t flushed = zip.FlushOutput(out);
  zip.EndStream(1);
  EXPECT_GT(flushed, 0u);
  EXPECT_EQ(zip.GetPercent(), 100u) << "the counters outlive the stream";
  EXPECT_EQ(zip.FillInput(in), 0u) << "end of file";
}

TEST(LogSystem, TwoLinesMakeTwelveBytes) {
  const std::u16string folder = ScratchFolder("log");
  CMyLogSystem log;
  log.SetLogFile(folder + u"build.log");
  log.WriteLine(u"a");
  log.WriteLine(u"");  // nothing
  log.WriteLine(u"b");
  EXPECT_EQ(ToHex(ReadFileBytes(folder + u"build.log")), "61 00 0D 00 0A 00 62 00 0D 00 0A 00");
}

TEST(LogSystem, EmptyFormatsOrArgumentsWriteNothing) {
  const std::u16string folder = ScratchFolder("log_empty");
  CMyLogSystem log;
  log.SetLogFile(folder + u"build.log");
  log.WriteFormatText(u"%s", u"");
  log.WriteFormatText(u"", u"x");
  log.WriteFormatInt(u"", 5);
  EXPECT_FALSE(platform::FileExists(folder + u"build.log"));
  log.WriteFormatInt(u"n=%d", -5);
  log.WriteFormatText(u"Build:%s", u"C:\\a.txt");
  const std::vector<uint8_t> bytes = ReadFileBytes(folder + u"build.log");
  std::u16string text;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) text += static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
  EXPECT_EQ(text, u"n=-5\r\nBuild:C:\\a.txt\r\n");

  CMyLogSystem no_file;
  no_file.WriteLine(u"goes to the window only");  // no path, no window: nothing, and no crash
  EXPECT_EQ(no_file.GetLogWindow(), nullptr);
}

TEST(LogSystem, FormattingTable) {
  EXPECT_EQ(FormatText(u"Error when build %s", u"Common"), u"Error when build Common");
  EXPECT_EQ(FormatInt(u"error is %d", 183), u"error is 183");
  EXPECT_EQ(FormatInt(u"add file error %D", 5), u"add file error 5");
  EXPECT_EQ(FormatText(u"100%% %s %x", u"done"), u"100% done %x");
  EXPECT_EQ(FormatText(u"trailing %", u"x"), u"trailing %");
}

}  // namespace
