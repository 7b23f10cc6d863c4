// The smallest useful package: a tiny image, one file, the index, the
// trailer. It also seeds the package fuzzers' corpora.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "build/extract.h"
#include "build/mybuild.h"
#include "platform/file.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

TEST(MinimalPackage, OpensAndExtractsAndSeedsTheFuzzers) {
  const std::u16string dir = ScratchFolder("minimal_package");
  WriteFileBytes(dir + u"engine.exe", FakeImage(64));
  WriteFileBytes(dir + u"hello.txt", {'h', 'e', 'l', 'l', 'o'});

  CInstallProject project;
  MakeOneFileProject(project, dir + u"engine.exe", dir + u"hello.txt", u"hello.txt");

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
