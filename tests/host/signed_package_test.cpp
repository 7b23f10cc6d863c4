// A package signed after building, as authors ship it: the signature follows
// the trailer, and the reader still finds the trailer, in the first search
// block, and extracts.
#include <gtest/gtest.h>

#include <cstdlib>

#include "build/extract.h"
#include "build/mybuild.h"
#include "platform/text.h"
#include "support/entries.h"
#include "support/scratch.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

TEST(SignedPackage, TrailerIsFoundBeforeTheSignatureAndTheFilesExtract) {
  const std::u16string dir = ScratchFolder("signed_package");
  const std::string host_dir = platform::HostPath(dir);
  ASSERT_EQ(Shell("cp " + std::string(GLIMMORA_TINY_ENGINE) + " '" + host_dir + "/engine.exe'"), 0);
  const std::vector<uint8_t> payload = PatternBytes(70000, 9);
  WriteFileBytes(dir + u"Glimmora.exe", payload);

  CInstallProject project;
  MakeOneFileProject(project, dir + u"engine.exe", dir + u"Glimmora.exe", u"Glimmora.exe");
  CMyBuild builder;
  builder.SetProject(&project);
  ASSERT_EQ(builder.BuildPackage(dir + u"setup.exe", nullptr, nullptr), EXTRACT_OK);
  const size_t unsigned_size = ReadFileBytes(dir + u"setup.exe").size();

  // A throw-away self-signed key signs the package.
  ASSERT_EQ(Shell("cd '" + host_dir + "' && openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem "
                  "-days 2 -subj /CN=glimmora-test"), 0);
  ASSERT_EQ(Shell("cd '" + host_dir + "' && osslsigncode sign -certs cert.pem -key key.pem -in setup.exe -out signed.exe"), 0);
  const std::vector<uint8_t> signed_bytes = ReadFileBytes(dir + u"signed.exe");
  ASSERT_GT(signed_bytes.size(), unsigned_size + 1000) << "a signature was appended";

  platform::File package = platform::File::Open(dir + u"signed.exe", platform::OpenMode::kReadShared);
  const std::optional<uint32_t> distance = LocatePackageMagic(package);
  ASSERT_TRUE(distance.has_value());
  EXPECT_EQ(*distance, signed_bytes.size() - unsigned_size) << "the magic ended the unsigned file";
  EXPECT_GT(*distance, 0u);
  EXPECT_LT(*distance, 8000u) << "found in block 1";

  CMyExtract engine;
  engine.SetPackagePath(dir + u"signed.exe");
  ASSERT_EQ(engine.OpenPackage(dir + u"signed.exe"), EXTRACT_OK) << engine.GetIndexError();
  engine.SetDestDir(dir + u"dest\\");
  ASSERT_EQ(engine.ExtractListTo(dir + u"dest\\", u"Common", nullptr, nullptr), EXTRACT_OK);
  EXPECT_EQ(ReadFileBytes(dir + u"dest\\Glimmora.exe"), payload);
}

}  // namespace
