// Whole projects through the archive: bytes out equal bytes in, and the loaded
// model has the same types and values.
#include <gtest/gtest.h>

#include <cstdlib>

#include "install/dialogobjects.h"
#include "install/projectloader.h"
#include "install/selectors.h"
#include "support/archive_bytes.h"
#include "support/sample_project.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

TEST(ProjectRoundTrip, EveryClassStoresLoadsAndStoresIdentically) {
  std::unique_ptr<CInstallProject> original = MakeEveryClassProject();
  const std::vector<uint8_t> bytes = StoreProject(*original);

  CInstallProject loaded;
  ProjectLoadResult result = LoadProject(bytes.data(), bytes.size(), loaded);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(StoreProject(loaded), bytes);

  // Types and values, not only bytes.
  EXPECT_EQ(loaded.GetProductInfo().GetVersion(), u"3.5.0.1");
  EXPECT_EQ(loaded.GetProductInfo().GetInstallFolderToken().GetId(), 0x26);
  EXPECT_EQ(loaded.GetProjectInfo().GetLanguages().at(1)->GetId(), 0x0804);
  auto& dialogs = loaded.GetDialogObjects();
  ASSERT_EQ(dialogs.size(), 12u);
  EXPECT_EQ(std::string(dialogs[0]->GetRuntimeClass()->className), "CStreamObject");
  EXPECT_TRUE(std::dynamic_pointer_cast<CExeObject>(dialogs[7]));
  auto os = std::dynamic_pointer_cast<COSSelect>(dialogs[11]);
  ASSERT_TRUE(os);
  EXPECT_EQ(os->GetSystems(), (std::vector<uint32_t>{0x15002, 0}));
  auto autosel = std::dynamic_pointer_cast<CAutoSelect>(dialogs[9]);
  ASSERT_TRUE(autosel);
  EXPECT_EQ(autosel->GetConditions().GetList().at(0)->GetLanguage().GetId(), 0x0804);
  EXPECT_EQ(loaded.GetStringTables().at(0)->GetText(101), u"\u65E5\u672C\u8A9E");
  EXPECT_EQ(loaded.GetRegistryTables().at(0)->GetValues().at(0)->GetData().size(), 8u);
  EXPECT_TRUE(loaded.GetRegistryTables().at(0)->GetValues().at(1)->GetDelete());

  CExtractFileList* common = loaded.FindExtractList(u"Common");
  ASSERT_NE(common, nullptr);
  const CNode* programs = common->GetTree().GetRoot()->GetChild(0);
  ASSERT_NE(programs, nullptr);
  const CNode* exe = programs->GetChild(0)->GetChild(0);
  ASSERT_NE(exe, nullptr);
  auto* entry = dynamic_cast<CZipFileIndexObject*>(exe->GetData());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->GetName(), u"Glimmora.exe");
  EXPECT_EQ(entry->GetOffset(), 4096);
  EXPECT_EQ(entry->GetPackedSize(), 1000);
  EXPECT_EQ(exe->GetParent(), programs->GetChild(0));
}

// Each class alone, created by name: what it stores loads back to the same bytes.
TEST(ProjectRoundTrip, EveryRegisteredClassRoundTripsAlone) {
  for (const CRuntimeClass* cls : AllInstallClasses()) {
    std::unique_ptr<CObject> object(cls->createObject());
    ASSERT_EQ(object->GetRuntimeClass(), cls) << cls->className;
    const std::vector<uint8_t> bytes = StoreObject(object.get());
    std::shared_ptr<CObject> loaded = LoadObject(bytes);
    ASSERT_TRUE(loaded) << cls->className;
    EXPECT_EQ(loaded->GetRuntimeClass(), cls);
    EXPECT_EQ(StoreObject(loaded.get()), bytes) << cls->className;
  }
}

// The fixture is the stored form of the every-class project. Comparing with it
// catches any change of the format; the Wine suite reads the same file.
TEST(ProjectRoundTrip, StoredFormMatchesTheSharedFixture) {
  const std::vector<uint8_t> bytes = StoreProject(*MakeEveryClassProject());
#ifndef _WIN32
  if (std::getenv("GLIMMORA_UPDATE_FIXTURES")) {
    FILE* f = std::fopen((std::string(GLIMMORA_FIXTURE_DIR) + "/" + kEveryClassFixture).c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
#endif
  const std::vector<uint8_t> fixture = ReadFixture(kEveryClassFixture);
  EXPECT_EQ(fixture, bytes) << "the archive format changed; if that is intended, rerun the host tests "
                               "with GLIMMORA_UPDATE_FIXTURES=1";

  CInstallProject loaded;
  ProjectLoadResult result = LoadProjectFile(FixturePath(kEveryClassFixture), loaded);
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(StoreProject(loaded), fixture);
}

TEST(ProjectRoundTrip, LoadingASecondIndexAppendsToTheLists) {
  const std::vector<uint8_t> bytes = StoreProject(*MakeEveryClassProject());
  CInstallProject project;
  ASSERT_TRUE(LoadProject(bytes.data(), bytes.size(), project).ok);
  ASSERT_TRUE(LoadProject(bytes.data(), bytes.size(), project).ok);
  EXPECT_EQ(project.GetExtractLists().size(), 4u);
  EXPECT_EQ(project.GetComponents().size(), 2u);
}

}  // namespace
