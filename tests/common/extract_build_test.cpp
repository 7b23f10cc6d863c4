// The builder writes packages and the engine reads them back: byte-identical
// files in the folders their trees compute, with progress reports, and a
// defined result for every kind of damage.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "build/extract.h"
#include "build/mybuild.h"
#include "install/projectloader.h"
#include "platform/text.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

struct Progress {
  std::vector<int32_t> codes;
  static void Record(int32_t code, int32_t* percent, void* user) {
    auto* self = static_cast<Progress*>(user);
    self->codes.push_back(code);
    if (code == PROGRESS_STEP) {
      EXPECT_LE(*percent, 100);
    }
  }
  size_t Count(int32_t code) const { return static_cast<size_t>(std::count(codes.begin(), codes.end(), code)); }
};

class PackageRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    platform::CreateFolder(dir_ + u"src");
    platform::CreateFolder(dir_ + u"src\\gui");
    files_ = {{u"src\\Glimmora.exe", PatternBytes(150000, 1)},
              {u"src\\empty.txt", {}},
              {u"src\\gui\\skin.png", PatternBytes(5000, 2)},
              {u"src\\x.dll", PatternBytes(41000, 3)},
              {u"src\\data.bin", PatternBytes(7, 4)}};
    for (const auto& [name, bytes] : files_) WriteFileBytes(dir_ + name, bytes);
    WriteFileBytes(dir_ + u"engine.exe", FakeImage(30000));
    shared_folder_ = u"GlimmoraTest-" + platform::FromUtf8(std::to_string(reinterpret_cast<uintptr_t>(this) % 100000));
  }

  std::shared_ptr<CZipFileIndexObject> Source(const std::u16string& relative, const std::u16string& name) {
    auto e = std::make_shared<CZipFileIndexObject>();
    e->SetSourcePath(dir_ + relative);
    e->SetName(name);
    return e;
  }

  // Common: the product folder (destination root) below program files, a
  // subfolder, an inner destination root, and a folder below the shared
  // application-data folder. English: the same skeleton, one file.
  std::unique_ptr<CInstallProject> MakeProject() {
    auto project = std::make_unique<CInstallProject>();
    project->GetProductInfo().SetVersion(u"3.5");
    project->GetProductInfo().SetEngineFile(dir_ + u"engine.exe");
    project->GetProjectInfo().SetBuildLogFile(dir_ + u"build.log");

    auto common = std::make_shared<CExtractFileList>(u"Common");
    CNode* root = common->GetTree().GetRoot();
    root->SetData(MakeDestinationComputerEntry());
    CNode* product = root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"))->AddChild(FolderEntry(u"Tavrin", true));
    product->AddChild(Source(u"src\\Glimmora.exe", u"Glimmora.exe"));
    product->AddChild(Source(u"src\\empty.txt", u"empty.txt"));
    product->AddChild(FolderEntry(u"gui"))->AddChild(Source(u"src\\gui\\skin.png", u"skin.png"));
    product->AddChild(FolderEntry(u"inner", true))->AddChild(Source(u"src\\x.dll", u"x.dll"));
    root->AddChild(PredefinedEntry(u"[CommonAppDataFolder]"))
        ->AddChild(FolderEntry(shared_folder_))
        ->AddChild(Source(u"src\\data.bin", u"data.bin"));
    project->GetExtractLists().push_back(common);

    auto english = std::make_shared<CExtractFileList>(u"English");
    CNode* eroot = english->GetTree().GetRoot();
    eroot->SetData(MakeDestinationComputerEntry());
    eroot->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"))
        ->AddChild(FolderEntry(u"Tavrin", true))
        ->AddChild(Source(u"src\\data.bin", u"readme.txt"));
    project->GetExtractLists().push_back(english);
    return project;
  }

  std::u16string Build(CInstallProject& project) {
    CMyBuild builder;
    builder.SetProject(&project);
    const std::u16string out = dir_ + u"setup.exe";
    EXPECT_EQ(builder.BuildPackage(out, nullptr, nullptr), EXTRACT_OK);
    return out;
  }

  std::u16string Dest() { return dir_ + u"dest\\a\\b\\c\\"; }

  Bytes Extracted(const std::u16string& relative) { return ReadFileBytes(Dest() + relative); }

  std::u16string dir_;
  std::u16string shared_folder_;
  std::vector<std::pair<std::u16string, Bytes>> files_;
};

TEST_F(PackageRoundTrip, ExtractsEveryFileByteIdenticalWhereItsTreeSays) {
  auto project = MakeProject();
  const std::u16string package = Build(*project);

  CMyExtract engine;
  engine.SetPackagePath(package);
  ASSERT_EQ(engine.OpenPackage(package), EXTRACT_OK) << engine.GetIndexError();
  EXPECT_EQ(engine.GetProject()->GetProductInfo().GetVersion(), u"3.5");
  engine.SetDestDir(Dest());
  Progress progress;
  ASSERT_EQ(engine.ExtractListTo(Dest(), u"Common", &Progress::Record, &progress), EXTRACT_OK);

  EXPECT_EQ(Extracted(u"Glimmora.exe"), files_[0].second);
  EXPECT_TRUE(platform::FileExists(Dest() + u"empty.txt"));
  EXPECT_TRUE(Extracted(u"empty.txt").empty());
  EXPECT_EQ(Extracted(u"gui\\skin.png"), files_[2].second);
  EXPECT_EQ(Extracted(u"x.dll"), files_[3].second) << "the nearer destination root wins";
  const std::u16string shared = platform::SpecialFolderPath(0x23) + u"\\" + shared_folder_ + u"\\data.bin";
  EXPECT_EQ(ReadFileBytes(shared), files_[4].second);

  // Five files: each begins and ends once; the 0-byte file and the small
  // ones have no step, the big ones several.
  EXPECT_EQ(progress.Count(PROGRESS_FILE_BEGIN), 5u);
  EXPECT_EQ(progress.Count(PROGRESS_FILE_END), 5u);
  EXPECT_GE(progress.Count(PROGRESS_STEP), 1u);
  EXPECT_EQ(progress.codes.back(), PROGRESS_FILE_END);

  // A second run into existing folders overwrites and succeeds; the language
  // list goes to the same place.
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_OK);
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"English", nullptr, nullptr), EXTRACT_OK);
  EXPECT_EQ(Extracted(u"readme.txt"), files_[4].second);
}

TEST_F(PackageRoundTrip, ListNamesMatchExactlyAndAnEmptyFolderIsRefused) {
  auto project = MakeProject();
  CMyExtract engine;
  engine.SetPackagePath(Build(*project));
  ASSERT_EQ(engine.OpenPackage(engine.GetPackagePath()), EXTRACT_OK);
  engine.SetDestDir(Dest());
  EXPECT_EQ(engine.ExtractListTo(u"", u"Common", nullptr, nullptr), EXTRACT_ERR_NO_DIR);
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"common", nullptr, nullptr), EXTRACT_ERR_NOT_FOUND);
  EXPECT_TRUE(platform::FolderExists(dir_ + u"dest\\a\\b\\c")) << "the folder is made even when no list matches";
  EXPECT_FALSE(platform::FileExists(Dest() + u"Glimmora.exe"));

  CMyExtract missing;
  missing.SetPackagePath(dir_ + u"nothing.exe");
  EXPECT_EQ(missing.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_ERR_OPEN);
}

TEST_F(PackageRoundTrip, ADamagedStreamFailsItsFileButNotItsSiblingsAndDestroysNothing) {
  auto project = MakeProject();
  CMyExtract engine;
  engine.SetPackagePath(Build(*project));
  ASSERT_EQ(engine.OpenPackage(engine.GetPackagePath()), EXTRACT_OK);
  CNode* product = engine.GetProject()->FindExtractList(u"Common")->GetTree().GetRoot()->GetChild(0)->GetChild(0);
  auto* exe = dynamic_cast<CZipFileIndexObject*>(product->GetChild(0)->GetData());
  ASSERT_EQ(exe->GetName(), u"Glimmora.exe");
  exe->SetOffset(exe->GetOffset() + 1);  // points into the middle of its stream

  engine.SetDestDir(Dest());
  // A good file of that name stands there, as in a repair.
  for (size_t at = Dest().find(u'\\', 3); at != std::u16string::npos; at = Dest().find(u'\\', at + 1)) {
    platform::CreateFolder(Dest().substr(0, at));
  }
  {
    platform::File old = platform::File::Open(Dest() + u"Glimmora.exe", platform::OpenMode::kCreateTruncate);
    ASSERT_TRUE(old.IsOpen() && old.Write("good", 4));
  }
  Progress progress;
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", &Progress::Record, &progress), EXTRACT_ERR_DATA);
  EXPECT_EQ(Extracted(u"Glimmora.exe"), (std::vector<uint8_t>{'g', 'o', 'o', 'd'}))
      << "the file that was there is kept: the stream goes to a file of its own first";
  EXPECT_EQ(engine.GetFirstFailedFile(), Dest() + u"Glimmora.exe");
  EXPECT_EQ(Extracted(u"x.dll"), files_[3].second) << "siblings are still extracted";
  EXPECT_EQ(progress.Count(PROGRESS_FILE_BEGIN), progress.Count(PROGRESS_FILE_END));

  exe->SetOffset(0x7FFFFFF0);  // far beyond the file
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_ERR_DATA);
}

TEST_F(PackageRoundTrip, UnsafeNamesAndRelativeTargetsAreNeverWritten) {
  auto project = MakeProject();
  CMyExtract engine;
  engine.SetPackagePath(Build(*project));
  ASSERT_EQ(engine.OpenPackage(engine.GetPackagePath()), EXTRACT_OK);
  CExtractFileList* common = engine.GetProject()->FindExtractList(u"Common");
  CNode* product = common->GetTree().GetRoot()->GetChild(0)->GetChild(0);
  auto* exe = dynamic_cast<CZipFileIndexObject*>(product->GetChild(0)->GetData());
  auto* gui = dynamic_cast<CZipFileIndexObject*>(product->GetChild(2)->GetData());
  engine.SetDestDir(Dest());

  for (const char16_t* name : {u"..", u"..\\..\\escaped.exe", u"C:evil.exe", u"a/b", u""}) {
    exe->SetName(name);
    EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_ERR_DATA) << platform::ToUtf8(name);
  }
  EXPECT_FALSE(platform::FileExists(dir_ + u"dest\\a\\escaped.exe"));
  EXPECT_FALSE(platform::FileExists(dir_ + u"dest\\a\\b\\evil.exe"));

  // A folder named ".." is not made, and nothing below it is visited.
  exe->SetName(u"Glimmora.exe");
  gui->SetName(u"..");
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_ERR_DATA);
  EXPECT_FALSE(platform::FileExists(dir_ + u"dest\\a\\b\\skin.png"));

  // A tree without destination root or predefined folder above a file would
  // write relative to the current folder.
  CNode* root = common->GetTree().GetRoot();
  root->AddChild(FolderEntry(u"plain"))->AddChild(std::make_shared<CZipFileIndexObject>(*exe));
  gui->SetName(u"gui");
  EXPECT_EQ(engine.ExtractListTo(Dest(), u"Common", nullptr, nullptr), EXTRACT_ERR_DATA);
}

TEST_F(PackageRoundTrip, ZeroByteFilePackageHasTheMinimalLayout) {
  auto project = std::make_unique<CInstallProject>();
  project->GetProductInfo().SetEngineFile(dir_ + u"engine.exe");
  auto list = std::make_shared<CExtractFileList>(u"Common");
  CNode* root = list->GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  CNode* file = root->AddChild(FolderEntry(u"Tavrin", true))->AddChild(Source(u"src\\empty.txt", u"empty.txt"));
  project->GetExtractLists().push_back(list);

  CMyBuild builder;
  builder.SetProject(project.get());
  ASSERT_EQ(builder.BuildPackage(dir_ + u"setup.exe", nullptr, nullptr), EXTRACT_OK);
  const Bytes package = ReadFileBytes(dir_ + u"setup.exe");
  const auto* entry = dynamic_cast<CZipFileIndexObject*>(file->GetData());
  EXPECT_EQ(entry->GetOffset(), 30000) << "the first stream starts where the image ends";
  EXPECT_EQ(entry->GetPackedSize(), 8);
  EXPECT_EQ(ToHex({package.begin() + 30000, package.begin() + 30002}), "78 9C");

  const PackageTable& table = builder.GetTable();
  ASSERT_EQ(table.count, 1u);
  EXPECT_EQ(table.rows[0].offset, 30008u);
  EXPECT_EQ(table.rows[0].name.substr(0, 3), u"Qiv");
  const size_t trailer = 50 + table.rows[0].name.size() * 2;
  EXPECT_EQ(package.size(), 30008u + table.rows[0].packedSize + trailer);
  // The index row's unpacked size is the stored project's size.
  EXPECT_EQ(table.rows[0].unpackedSize, StoreProject(*project).size());
}

TEST_F(PackageRoundTrip, MissingSourceFailsWithItsLogLinesAndARebuildStartsTheTableAgain) {
  auto project = MakeProject();
  CMyBuild builder;
  builder.SetProject(project.get());
  ASSERT_EQ(builder.BuildPackage(dir_ + u"one.exe", nullptr, nullptr), EXTRACT_OK);
  ASSERT_EQ(builder.BuildPackage(dir_ + u"two.exe", nullptr, nullptr), EXTRACT_OK);
  EXPECT_EQ(builder.GetTable().count, 1u);

  auto* exe = dynamic_cast<CZipFileIndexObject*>(
      project->GetExtractLists()[0]->GetTree().GetRoot()->GetChild(0)->GetChild(0)->GetChild(0)->GetData());
  exe->SetSourcePath(dir_ + u"src\\gone.exe");
  EXPECT_EQ(builder.BuildPackage(dir_ + u"three.exe", nullptr, nullptr), BUILD_ERR_SOURCE);

  const Bytes log = ReadFileBytes(dir_ + u"build.log");
  std::u16string text;
  for (size_t i = 0; i + 1 < log.size(); i += 2) text += static_cast<char16_t>(log[i] | (log[i + 1] << 8));
  EXPECT_NE(text.find(u"ERROR:Can not build " + dir_ + u"src\\gone.exe\r\nERROR reason is "), std::u16string::npos);
  EXPECT_NE(text.find(u"Error when build Common\r\n"), std::u16string::npos);
  EXPECT_NE(text.find(u"----------------------------------Build project successfully-----------------------------\r\n"),
            std::u16string::npos);

  // No engine image: the project error, logged.
  project->GetProductInfo().SetEngineFile(u"");
  EXPECT_EQ(builder.BuildPackage(dir_ + u"four.exe", nullptr, nullptr), BUILD_ERR_PROJECT);
  CMyBuild empty;
  EXPECT_EQ(empty.BuildPackage(dir_ + u"five.exe", nullptr, nullptr), BUILD_ERR_PROJECT);
}

// Rewrites the package trailer with a changed first row.
void RewriteIndexRow(const std::u16string& package, const std::function<void(PackageTableEntry&)>& change) {
  Bytes bytes = ReadFileBytes(package);
  PackageTable table;
  {
    platform::File file = platform::File::Open(package, platform::OpenMode::kReadShared);
    ASSERT_EQ(ReadPackageTrailer(file, &table, nullptr), EXTRACT_OK);
  }
  const size_t old_size = EncodePackageTrailer(table).size();
  change(table.rows[0]);
  bytes.resize(bytes.size() - old_size);
  const Bytes trailer = EncodePackageTrailer(table);
  bytes.insert(bytes.end(), trailer.begin(), trailer.end());
  WriteFileBytes(package, bytes);
}

TEST_F(PackageRoundTrip, DamagedIndexesAreDamagedPackages) {
  auto project = MakeProject();
  const std::u16string package = Build(*project);
  PackageTable table;
  {
    platform::File file = platform::File::Open(package, platform::OpenMode::kReadShared);
    ASSERT_EQ(ReadPackageTrailer(file, &table, nullptr), EXTRACT_OK);
  }
  const uint32_t index_offset = table.rows[0].offset;
  const Bytes good = ReadFileBytes(package);

  struct Case {
    const char* label;
    std::function<void()> damage;
    int32_t result;
  } cases[] = {
      {"index name with a path", [&] { RewriteIndexRow(package, [](auto& r) { r.name = u"..\\evil.tmp"; }); },
       EXTRACT_ERR_SIGNATURE},
      {"index name with a drive", [&] { RewriteIndexRow(package, [](auto& r) { r.name = u"C:evil.tmp"; }); },
       EXTRACT_ERR_SIGNATURE},
      {"index offset beyond the file", [&] { RewriteIndexRow(package, [](auto& r) { r.offset = 0x7FFFFFFF; }); },
       EXTRACT_ERR_SIGNATURE},
      {"index offset into a payload stream", [&] { RewriteIndexRow(package, [](auto& r) { r.offset = 30000; }); },
       EXTRACT_ERR_SIGNATURE},
      {"flipped byte inside the index stream",
       [&] {
         Bytes b = good;
         b[index_offset + 20] ^= 0x40;
         WriteFileBytes(package, b);
       },
       EXTRACT_ERR_SIGNATURE},
  };
  for (const Case& c : cases) {
    WriteFileBytes(package, good);
    c.damage();
    CMyExtract engine;
    EXPECT_EQ(engine.OpenPackage(package), c.result) << c.label;
    EXPECT_TRUE(engine.GetProject()->GetExtractLists().empty()) << c.label;
  }
}

}  // namespace
