// A small package cut short at many points and with bytes flipped in each of
// its regions: every case ends in a documented result, nothing crashes (this
// suite runs under ASan and UBSan), and nothing is written outside the
// destination folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "build/extract.h"
#include "build/mybuild.h"
#include "platform/text.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

struct Regions {
  size_t image_end, payload_end, index_end, table_end, size;
};

class CorruptionSweep : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchFolder("corruption_sweep");
    WriteFileBytes(dir_ + u"engine.exe", FakeImage(4000));
    WriteFileBytes(dir_ + u"a.bin", PatternBytes(60000, 1));
    WriteFileBytes(dir_ + u"b.txt", PatternBytes(300, 2));

    CInstallProject project;
    project.GetProductInfo().SetEngineFile(dir_ + u"engine.exe");
    auto list = std::make_shared<CExtractFileList>(u"Common");
    CNode* root = list->GetTree().GetRoot();
    root->SetData(MakeDestinationComputerEntry());
    CNode* product = root->AddChild(FolderEntry(u"Glimmora", true));
    for (const char16_t* name : {u"a.bin", u"b.txt"}) product->AddChild(FileEntry(dir_ + name, name));
    project.GetExtractLists().push_back(list);

    CMyBuild builder;
    builder.SetProject(&project);
    ASSERT_EQ(builder.BuildPackage(dir_ + u"good.exe", nullptr, nullptr), EXTRACT_OK);
    good_ = ReadFileBytes(dir_ + u"good.exe");
    const PackageTableEntry& index = builder.GetTable().rows[0];
    regions_ = {4000, index.offset, index.offset + index.packedSize,
                good_.size() - 30 - 4, good_.size()};
  }

  // Opens and extracts one damaged package; checks the results and that
  // files appeared only below the destination.
  void Check(const Bytes& bytes, const std::string& label) {
    WriteFileBytes(dir_ + u"bad.exe", bytes);
    const std::set<fs::path> before = FilesOutsideDestination();
    CMyExtract engine;
    engine.SetPackagePath(dir_ + u"bad.exe");
    const int32_t opened = engine.OpenPackage(dir_ + u"bad.exe");
    EXPECT_TRUE(opened == EXTRACT_OK || opened == EXTRACT_ERR_SIGNATURE || opened == EXTRACT_ERR_EMPTY ||
                opened == EXTRACT_ERR_CREATE)
        << label << ": " << opened;
    if (opened == EXTRACT_OK) {
      engine.SetDestDir(dir_ + u"dest\\");
      const int32_t extracted = engine.ExtractListTo(dir_ + u"dest\\", u"Common", nullptr, nullptr);
      EXPECT_TRUE(extracted == EXTRACT_OK || extracted == EXTRACT_ERR_DATA || extracted == EXTRACT_ERR_CREATE ||
                  extracted == EXTRACT_ERR_NOT_FOUND)
          << label << ": " << extracted;
      ++extractions_;
    } else {
      EXPECT_TRUE(engine.GetProject()->GetExtractLists().empty()) << label;
    }
    EXPECT_EQ(FilesOutsideDestination(), before) << label;
  }

  std::set<fs::path> FilesOutsideDestination() {
    std::set<fs::path> files;
    const fs::path base = fs::u8path(platform::HostPath(dir_));
    for (const auto& entry : fs::recursive_directory_iterator(base)) {
      if (entry.path().native().find("/dest") != std::string::npos) continue;
      files.insert(entry.path());
    }
    return files;
  }

  std::u16string dir_;
  Bytes good_;
  Regions regions_{};
  int extractions_ = 0;
};

TEST_F(CorruptionSweep, TruncatedAnywhere) {
  for (size_t cut = 0; cut < good_.size(); cut += good_.size() / 60 + 1) {
    Check(Bytes(good_.begin(), good_.begin() + static_cast<long>(cut)), "cut at " + std::to_string(cut));
  }
  for (size_t back = 1; back <= 80; ++back) {  // every cut inside the trailer
    Check(Bytes(good_.begin(), good_.end() - static_cast<long>(back)), "cut " + std::to_string(back) + " from the end");
  }
}

TEST_F(CorruptionSweep, ByteFlippedInEachRegion) {
  struct Region {
    const char* name;
    size_t begin, end;
  } regions[] = {
      {"image", 0, regions_.image_end},
      {"payload streams", regions_.image_end, regions_.payload_end},
      {"index stream", regions_.payload_end, regions_.index_end},
      {"package table", regions_.index_end, regions_.table_end},
      {"count, version and magic", regions_.table_end, regions_.size},
  };
  for (const Region& region : regions) {
    ASSERT_LT(region.begin, region.end) << region.name;
    const size_t step = std::max<size_t>(1, (region.end - region.begin) / 24);
    for (size_t at = region.begin; at < region.end; at += step) {
      for (uint8_t mask : {0x01, 0x80, 0xFF}) {
        Bytes bytes = good_;
        bytes[at] ^= mask;
        Check(bytes, std::string(region.name) + " byte " + std::to_string(at));
      }
    }
  }
  EXPECT_GT(extractions_, 0) << "some damage (in the image) still leaves a package that extracts";
}

}  // namespace
