// The stored form of each model class, field by field, as fixed byte tables.
#include <gtest/gtest.h>

#include <functional>

#include "install/dialogobjects.h"
#include "install/projectloader.h"
#include "install/selectors.h"
#include "support/archive_bytes.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

using Bytes = std::vector<uint8_t>;

std::shared_ptr<CZipFileIndexObject> Entry(bool predefined) {
  auto e = std::make_shared<CZipFileIndexObject>();
  e->SetSourcePath(u"s");
  e->SetName(u"n");
  e->SetOffset(0x10);
  e->SetPackedSize(0x20);
  e->SetReserved(3);
  e->SetDestinationRoot(true);
  if (predefined) {
    e->SetPredefined(true);
    e->SetFolderToken(CPreDefineFolder(u"[SystemFolder]", 0x25));
  }
  return e;
}

struct ClassCase {
  const char* label;
  std::function<std::shared_ptr<CObject>()> make;
  std::string class_name;
  Bytes fields;  // what follows the class record
};

std::vector<ClassCase> Cases() {
  const Bytes entry_plain = Cat({Str("s"), Str("n"), U32(0x20), U32(0x10), U32(3), U32(0), U32(0), U32(1)});
  return {
      {"stream object: name, enabled, order",
       [] { return std::make_shared<CStreamObject>(u"ab", 0, 7); }, "CStreamObject",
       Cat({Str("ab"), U32(0), U32(7)})},
      {"file entry without token: predefined 0 ends the fields",
       [] { return Entry(false); }, "CZipFileIndexObject", entry_plain},
      {"file entry with token: token and id after the destination-root flag",
       [] { return Entry(true); }, "CZipFileIndexObject",
       Cat({Str("s"), Str("[SystemFolder]"), U32(0x20), U32(0x10), U32(3), U32(0), U32(1), U32(1),
            Str("[SystemFolder]"), U32(0x25)})},
      {"fresh folder entry: offset -1, size 0",
       [] { auto e = std::make_shared<CZipFileIndexObject>(); e->SetFolder(true); return e; },
       "CZipFileIndexObject",
       Cat({Str(""), Str(""), U32(0), U32(0xFFFFFFFF), U32(0), U32(1), U32(0), U32(0)})},
      {"extract list whose root has data and no children",
       [] {
         auto l = std::make_shared<CExtractFileList>(u"Common");
         l->GetTree().GetRoot()->SetData(Entry(false));
         return l;
       },
       "CExtractFileList", Cat({Str("Common"), U32(0), NewClass("CZipFileIndexObject"), entry_plain, U32(0)})},
      {"registry value of size 0: no data bytes",
       [] {
         auto v = std::make_shared<CRegistryValue>();
         v->SetKeyPath(u"K");
         v->SetValueName(u"V");
         v->SetType(4);
         v->SetDelete(true);
         v->SetExtra(9);
         return v;
       },
       "CRegistryValue", Cat({Str("K"), Str("V"), U32(0), U32(4), U32(1), U32(9)})},
      {"registry value with data: size first, raw bytes last",
       [] {
         auto v = std::make_shared<CRegistryValue>();
         v->SetType(3);
         v->SetData({0xDE, 0xAD, 0xBE});
         return v;
       },
       "CRegistryValue", Cat({Str(""), Str(""), U32(3), U32(3), U32(0), U32(0), Hex("DE AD BE")})},
      {"registry table without values: name, then count 0",
       [] { auto t = std::make_shared<CRegistryTable>(); t->SetName(u"R"); return t; }, "CRegistryTable",
       Cat({Str("R"), U16(0)})},
      {"registry file: name and embedded entry",
       [] {
         auto f = std::make_shared<CRegistryFile>();
         f->SetName(u"r.reg");
         f->GetEntry() = *Entry(false);
         return f;
       },
       "CRegistryFile", Cat({Str("r.reg"), entry_plain})},
      {"shortcut without token",
       [] {
         auto s = std::make_shared<CShortcut>(u"Glimmora", u"h.html");
         s->SetText(1, u"a");
         s->SetText(4, u"d");
         s->SetKind(2);
         s->SetOption(1);
         return s;
       },
       "CShortcut",
       Cat({Str("Glimmora"), Str("a"), Str(""), Str(""), Str("d"), U32(2), U32(0), U32(1), Str("h.html")})},
      {"shortcut with token: after the help page",
       [] {
         auto s = std::make_shared<CShortcut>(u"", u"Shortcutdesk.html");
         s->SetKind(1);
         s->SetFolderToken(CPreDefineFolder(u"[CommonDesktopFolder]", 0x19));
         return s;
       },
       "CShortcut",
       Cat({Str("[CommonDesktopFolder]"), Str(""), Str(""), Str(""), Str(""), U32(1), U32(1), U32(0),
            Str("Shortcutdesk.html"), Str("[CommonDesktopFolder]"), U32(0x19)})},
      {"string entry with id -1 keeps all three fields",
       [] { return std::make_shared<CIDString>(); }, "CIDString", Cat({U32(0xFFFFFFFF), U32(0), Str("")})},
      {"string table: name, language, stored count, list",
       [] {
         auto t = std::make_shared<CStringTable>();
         t->SetName(u"E");
         t->SetLangId(1033);
         return t;
       },
       "CStringTable", Cat({Str("E"), U32(1033), U32(0), U16(0)})},
      {"bitmap: id, embedded entry",
       [] {
         auto b = std::make_shared<CIDBitmap>();
         b->SetId(5);
         b->GetEntry() = *Entry(false);
         return b;
       },
       "CIDBitmap", Cat({U32(5), entry_plain})},
      {"bitmap table: name, value, list",
       [] { auto t = std::make_shared<CBitmapTable>(); t->SetName(u"B"); t->SetValue(1); return t; },
       "CBitmapTable", Cat({Str("B"), U32(1), U16(0)})},
      {"language: name, id", [] { return std::make_shared<CPreLang>(u"X", 0x0411); }, "CPreLang",
       Cat({Str("X"), U32(0x0411)})},
      {"condition: name, system code, then the language",
       [] { return std::make_shared<CInstallCondition>(u"c", 0x15002, u"L", 0x0804); }, "CInstallCondition",
       Cat({Str("c"), U32(0x15002), Str("L"), U32(0x0804)})},
      {"admin selector: flag, caption, text",
       [] {
         auto a = std::make_shared<CAdminSelect>();
         a->SetRequired(1);
         a->SetText(u"t");
         a->SetCaption(u"c");
         return a;
       },
       "CAdminSelect", Cat({Str(""), U32(1), U32(0), U32(1), Str("c"), Str("t")})},
      {"system selector: text, caption, count, codes",
       [] {
         auto o = std::make_shared<COSSelect>();
         o->SetText(u"t");
         o->SetCaption(u"c");
         o->AddSystem(0x15001);
         o->AddSystem(0x4090);
         return o;
       },
       "COSSelect", Cat({Str(""), U32(1), U32(0), Str("t"), Str("c"), U32(2), U32(0x15001), U32(0x4090)})},
      {"language selector: count, ids",
       [] { auto l = std::make_shared<CLangSelect>(); l->AddLanguage(0x0409); return l; }, "CLangSelect",
       Cat({Str(""), U32(1), U32(0), U32(1), U32(0x0409)})},
      {"automatic selector: the condition list only",
       [] { return std::make_shared<CAutoSelect>(); }, "CAutoSelect", Cat({Str(""), U32(1), U32(0), U16(0)})},
      {"component: base, two texts, value, dialog objects",
       [] {
         auto c = std::make_shared<CInstallCompent>();
         c->SetName(u"m");
         c->SetText1(u"a");
         c->SetText2(u"b");
         c->SetValue(6);
         return c;
       },
       "CInstallCompent", Cat({Str("m"), U32(1), U32(0), Str("a"), Str("b"), U32(6), U16(0)})},
      {"shortcut table: name, value, tree",
       [] { auto t = std::make_shared<CShortCutTable>(); t->SetName(u"S"); return t; }, "CShortCutTable",
       Cat({Str("S"), U32(0), U16(0), U32(0)})},
      {"component map stores nothing", [] { return std::make_shared<CInstallComponentMap>(); },
       "CInstallComponentMap", {}},
  };
}

TEST(ModelBytes, EachClassStoresItsFieldsInOrder) {
  for (const ClassCase& c : Cases()) {
    SCOPED_TRACE(c.label);
    std::shared_ptr<CObject> object = c.make();
    const Bytes expected = Cat({NewClass(c.class_name), c.fields});
    const Bytes bytes = StoreObject(object.get());
    EXPECT_EQ(ToHex(bytes), ToHex(expected));
    std::shared_ptr<CObject> loaded = LoadObject(expected);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(std::string(loaded->GetRuntimeClass()->className), c.class_name);
    EXPECT_EQ(ToHex(StoreObject(loaded.get())), ToHex(expected));
  }
}

Bytes FreshProjectBytes() {
  Bytes bytes = Str("");                                     // title
  for (int i = 0; i < 4; ++i) bytes = Cat({bytes, Str("")});  // project info strings
  bytes = Cat({bytes, U16(0)});                               // its languages
  for (int i = 0; i < 5; ++i) bytes = Cat({bytes, Str("")});  // author
  for (int i = 0; i < 9; ++i) bytes = Cat({bytes, Str("")});  // product strings
  bytes = Cat({bytes, Str(""), U32(0xFFFFFFFF), U32(0)});     // folder token, option
  for (int i = 0; i < 7; ++i) bytes = Cat({bytes, U16(0)});   // the seven lists
  return bytes;
}

TEST(ModelBytes, FreshProjectIsFullyDetermined) {
  CInstallProject project;
  EXPECT_EQ(ToHex(StoreProject(project)), ToHex(FreshProjectBytes()));
}

TEST(ModelBytes, ProductRecordStoresFolderBeforeCompanyAndTokenAfterOutput) {
  CInstallProductInfo product;
  product.SetName(u"1");
  product.SetVersion(u"2");
  product.SetWeb(u"3");
  product.SetEmail(u"4");
  product.SetTelephone(u"5");
  product.SetCompany(u"6");
  product.SetDefaultInstallFolder(u"F");
  product.SetEngineFile(u"E");
  product.SetOutputFile(u"O");
  product.SetInstallFolderToken(CPreDefineFolder(u"T", 0x26));
  product.SetOption(8);
  Bytes bytes;
  CArchive ar(bytes);
  product.Serialize(ar);
  EXPECT_EQ(ToHex(bytes), ToHex(Cat({Str("1"), Str("2"), Str("3"), Str("4"), Str("5"), Str("F"), Str("6"),
                                     Str("E"), Str("O"), Str("T"), U32(0x26), U32(8)})));
}

TEST(ModelBytes, ProjectStoresRegistryThenShortcutsThenExtractListsLast) {
  CInstallProject project;
  project.GetExtractLists().push_back(std::make_shared<CExtractFileList>(u"Common"));
  project.GetShortcutTables().push_back(std::make_shared<CShortCutTable>());
  project.GetRegistryTables().push_back(std::make_shared<CRegistryTable>());
  const Bytes bytes = StoreProject(project);
  auto at = [&bytes](const std::string& name) {
    Bytes record = NewClass(name);
    return std::search(bytes.begin(), bytes.end(), record.begin(), record.end()) - bytes.begin();
  };
  EXPECT_LT(at("CRegistryTable"), at("CShortCutTable"));
  EXPECT_LT(at("CShortCutTable"), at("CExtractFileList"));
  // The extract list and its empty tree end the stream.
  const Bytes tail = Cat({NewClass("CExtractFileList"), Str("Common"), U32(0), U16(0), U32(0)});
  EXPECT_EQ(ToHex({bytes.end() - static_cast<long>(tail.size()), bytes.end()}), ToHex(tail));
}

}  // namespace
