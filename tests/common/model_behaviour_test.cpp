// What the model computes: target folders, fixed tables, the factory,
// condition selection, system codes.
#include <gtest/gtest.h>

#include "install/dialogobjects.h"
#include "install/extractfilelist.h"
#include "install/oscode.h"
#include "install/selectors.h"
#include "install/streamobjectfactory.h"
#include "install/stringtable.h"
#include "platform/file.h"
#include "support/entries.h"

using namespace testing_support;

namespace {

TEST(TargetFolder, FollowsTheNearestDestinationRootOrPredefinedFolder) {
  const std::u16string dest = u"D:\\Dest\\";
  const std::u16string system = platform::SpecialFolderPath(0x25);
  ASSERT_FALSE(system.empty());

  CExtractFileList list(u"Common");
  CNode* root = list.GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  CNode* programs = root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"));
  CNode* outer = programs->AddChild(FolderEntry(u"Tavrin", true));
  CNode* at_root = outer->AddChild(FileEntry(u"", u"a.exe"));
  CNode* gui = outer->AddChild(FolderEntry(u"gui"));
  CNode* in_gui = gui->AddChild(FileEntry(u"", u"b.png"));
  CNode* inner = gui->AddChild(FolderEntry(u"inner", true));
  CNode* in_inner = inner->AddChild(FileEntry(u"", u"c.dll"));
  CNode* sys = root->AddChild(PredefinedEntry(u"[SystemFolder]"));
  CNode* in_sys = sys->AddChild(FileEntry(u"", u"d.sys"));
  CNode* quick = root->AddChild(PredefinedEntry(u"[QuickLuanchFolder]"));
  CNode* in_quick = quick->AddChild(FileEntry(u"", u"e.lnk"));
  CNode* plain = root->AddChild(FolderEntry(u"plain"));
  CNode* in_plain = plain->AddChild(FileEntry(u"", u"f.txt"));
  CNode* dataless = root->AddChild(std::shared_ptr<CObject>());
  CNode* below_dataless = dataless->AddChild(FileEntry(u"", u"g.txt"));

  struct Case {
    const char* label;
    const CNode* node;
    std::u16string folder;
  } cases[] = {
      {"directly below the destination root", at_root, dest},
      {"a subfolder is named by its own name", in_gui, dest + u"gui\\"},
      {"the nearer of two destination roots wins", in_inner, dest},
      {"a predefined folder without a root above", in_sys, system + u"\\"},
      {"quick launch resolves to nothing", in_quick, u""},
      {"no root and no predefined folder: relative", in_plain, u"plain\\"},
      {"nodes without data are passed over", below_dataless, u""},
      {"the computer entry itself", sys, u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TargetFolder(*c.node, dest), c.folder) << c.label;
  }
  EXPECT_TRUE(static_cast<CZipFileIndexObject*>(root->GetData())->GetDisplayName().empty());
}

TEST(PredefinedFolders, TableHas28RowsAndFindsTheFirstOfTwins) {
  const CPreDefineFolderTable& table = CPreDefineFolderTable::Instance();
  ASSERT_EQ(table.GetList().size(), 28u);
  EXPECT_EQ(table.GetList()[0]->GetToken(), u"[WindowsFolder]");
  EXPECT_EQ(table.GetList()[27]->GetId(), CPreDefineFolder::kQuickLaunchId);
  EXPECT_EQ(table.FindById(0x09), table.GetList()[21].get());
  EXPECT_EQ(table.FindById(0x0B), table.GetList()[22].get());
  EXPECT_EQ(table.FindById(0x7777), nullptr);
  EXPECT_TRUE(CPreDefineFolder(u"x", -1).Resolve().empty());
}

TEST(PredefinedFolders, CopyOfAnEntryLeavesTheTokenBehind) {
  auto original = PredefinedEntry(u"[SystemFolder]");
  CZipFileIndexObject copy(*original);
  EXPECT_EQ(copy.GetName(), u"[SystemFolder]");
  EXPECT_TRUE(copy.IsPredefined());
  EXPECT_EQ(copy.GetFolderToken().GetId(), -1);
}

TEST(LanguageTable, Has145RowsStartingWithTheFixedThree) {
  const auto& rows = CPreLangTable::Instance().GetList();
  ASSERT_EQ(rows.size(), 145u);
  EXPECT_EQ(rows[0]->GetName(), u"Afrikaans");
  EXPECT_EQ(rows[0]->GetId(), 0x0436);
  EXPECT_EQ(rows[1]->GetName(), u"Albanian ");
  EXPECT_EQ(rows[2]->GetId(), 0x0401);
  for (const auto& row : rows) EXPECT_NE(row->GetId(), 0);
}

TEST(Factory, CreatesByDialogType) {
  CStreamObjectFactory& factory = CCustomStreamObjectFactory::Instance();
  EXPECT_EQ(factory.Reserved(), 0);
  struct Case {
    int type;
    const char* cls;  // null: nothing is created
  } cases[] = {{0, nullptr},
               {1, "CSplashDlgObject"},
               {2, "CStreamObject"},
               {3, "CIntroDLgObject"},
               {4, "CStreamObject"},
               {7, "CDirSelectDlgObject"},
               {8, "CExtractDlgObject"},
               {9, "CFinishDlgObject"},
               {10, "CFinishDlgObject"},
               {11, "COSSelect"},
               {12, "CAdminSelect"},
               {13, "CLangSelect"},
               {14, "CAutoSelect"},
               {15, nullptr},
               {-1, nullptr}};
  for (const Case& c : cases) {
    std::unique_ptr<CStreamObject> object = factory.CreateByType(c.type);
    if (c.cls == nullptr) {
      EXPECT_EQ(object, nullptr) << c.type;
    } else {
      ASSERT_NE(object, nullptr) << c.type;
      EXPECT_STREQ(object->GetRuntimeClass()->className, c.cls) << c.type;
    }
  }
}

TEST(Factory, DefaultDialogListHasTenObjectsInTableOrder) {
  const auto& list = CPreStreamObjectTable::Instance().GetList();
  ASSERT_EQ(list.size(), 10u);
  EXPECT_EQ(list[1]->GetName(), u"[Introduction Dialog]");
  EXPECT_EQ(list[1]->GetOrder(), 3);
  EXPECT_EQ(list[2]->GetEnabled(), 0);
  EXPECT_TRUE(dynamic_cast<CDirSelectDlgObject*>(list[6].get()));
  EXPECT_EQ(list[9]->GetName(), u"[Finish Reboot Dialog]");
  EXPECT_TRUE(dynamic_cast<CFinishDlgObject*>(list[9].get()));
}

TEST(StringTable, AcceptsCompleteEntriesAndFindsTheFirst) {
  CStringTable table;
  EXPECT_FALSE(table.Add(std::make_shared<CIDString>(-1, 1, u"x")));
  EXPECT_FALSE(table.Add(std::make_shared<CIDString>(5, 0, u"x")));
  EXPECT_FALSE(table.Add(std::make_shared<CIDString>(5, 1, u"")));
  EXPECT_TRUE(table.Add(std::make_shared<CIDString>(5, 1, u"first")));
  EXPECT_TRUE(table.Add(std::make_shared<CIDString>(5, 1, u"second")));
  EXPECT_EQ(table.GetText(5), u"first");
  EXPECT_EQ(table.GetText(6), u"");
  table.RefreshItemCount();
  EXPECT_EQ(table.GetItemCount(), 2);
  table.Clear();
  EXPECT_TRUE(table.GetList().empty());
  EXPECT_EQ(table.GetItemCount(), 0);
}

TEST(Conditions, PickExactLanguageThenPrimaryThenAny) {
  struct Cond {
    const char16_t* name;
    uint32_t os;
    int32_t lang;
  };
  struct Case {
    const char* label;
    std::vector<Cond> conditions;
    uint32_t os;
    uint16_t lang;
    std::u16string chosen;
  } cases[] = {
      {"no conditions", {}, 0x15002, 0x0804, u""},
      {"exact language wins even when second", {{u"tw", 0, 0x0404}, {u"cn", 0, 0x0804}}, 0x15002, 0x0804, u"cn"},
      {"same primary language", {{u"tw", 0, 0x0404}}, 0x15002, 0x0804, u"tw"},
      {"other language only", {{u"us", 0, 0x0409}}, 0x15002, 0x0804, u""},
      {"any language", {{u"us", 0, 0x0409}, {u"any", 0, 0}}, 0x15002, 0x0804, u"any"},
      {"other system dropped", {{u"xp", 0x15002, 0x0804}}, 0x15001, 0x0804, u""},
      {"system 0 matches every system", {{u"all", 0, 0x0804}}, 0, 0x0804, u"all"},
      {"exact before any, any listed first", {{u"any", 0, 0}, {u"cn", 0x15002, 0x0804}}, 0x15002, 0x0804, u"cn"},
  };
  for (const Case& c : cases) {
    CInstallConditionTable table;
    for (const Cond& k : c.conditions) table.Add(std::make_shared<CInstallCondition>(k.name, k.os, u"", k.lang));
    EXPECT_EQ(table.SelectCondition(c.os, c.lang), c.chosen) << c.label;
  }
}

TEST(OsCode, FromVersionTable) {
  struct Case {
    platform::OsVersion v;
    uint32_t code;
  } cases[] = {{{1, 4, 0}, 0x4000},    {{1, 4, 10}, 0x4010},   {{1, 4, 90}, 0x4090}, {{1, 4, 3}, 0},
               {{2, 3, 51}, 0x14000},  {{2, 4, 0}, 0x14000},   {{2, 5, 0}, 0x15001}, {{2, 5, 1}, 0x15002},
               {{2, 5, 2}, 0x15003},   {{2, 6, 0}, 0},         {{2, 6, 1}, 0},       {{0, 0, 0}, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(OsCodeFromVersion(c.v), c.code) << c.v.platform_id << " " << c.v.major << "." << c.v.minor;
  }
}

}  // namespace
