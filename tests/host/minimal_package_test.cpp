// The smallest useful package: a tiny image, one file, the index, the
// trailer. It also seeds the package fuzzers' corpora.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "build/extract.h"
#include "build/mybuild.h"
#include "platform/file.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(MinimalPackage, OpensAndExtractsAndSeedsTheFuzzers) {
  const std::u16string dir = ScratchFolder("minimal_package");
  WriteFileBytes(dir + u"engine.exe", FakeImage(64));
  WriteFileBytes(dir + u"hello.txt", {'h', 'e', 'l', 'l', 'o'});

  CInstallProject project;
  project.GetProductInfo().SetEngineFile(dir + u"engine.exe");
  auto list = std::make_shared<CExtractFileList>(u"Common");
  CNode* root = list->GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  auto folder = std::make_shared<CZipFileIndexObject>();
  folder->SetFolder(true);
  folder->SetDestinationRoot(true);
  folder->SetName(u"Glimmora");
  auto file = std::make_shared<CZipFileIndexObject>();
  file->SetSourcePath(dir + u"hello.txt");
  file->SetName(u"hello.txt");
  root->AddChild(folder)->AddChild(file);
  project.GetExtractLists().push_back(list);

  CMyBuild builder;
  builder.SetProject(&project);
  ASSERT_EQ(builder.BuildPackage(dir + u"setup.exe", nullptr, nullptr), EXTRACT_OK);

  CMyExtract engine;
  engine.SetPackagePath(dir + u"setup.exe");
  ASSERT_EQ(engine.OpenPackage(dir + u"setup.exe"), EXTRACT_OK);
  engine.SetDestDir(dir + u"out\\");
  ASSERT_EQ(engine.ExtractListTo(dir + u"out\\", u"Common", nullptr, nullptr), EXTRACT_OK);
  EXPECT_EQ(ReadFileBytes(dir + u"out\\hello.txt"), (std::vector<uint8_t>{'h', 'e', 'l', 'l', 'o'}));

  if (std::getenv("GLIMMORA_UPDATE_FIXTURES")) {
    const std::vector<uint8_t> package = ReadFileBytes(dir + u"setup.exe");
    for (const char* corpus : {"open_package", "package_trailer"}) {
      std::ofstream out(std::string(GLIMMORA_FIXTURE_DIR) + "/../fuzz/corpus/" + corpus + "/seed_minimal_package",
                        std::ios::binary);
      out.write(reinterpret_cast<const char*>(package.data()), static_cast<std::streamsize>(package.size()));
    }
  }
}
