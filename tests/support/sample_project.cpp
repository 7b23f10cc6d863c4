#include "support/sample_project.h"

#include "install/dialogobjects.h"
#include "install/selectors.h"
#include "support/entries.h"

namespace testing_support {

namespace {

std::shared_ptr<CZipFileIndexObject> File(const std::u16string& name, int32_t offset, int32_t size) {
  auto entry = std::make_shared<CZipFileIndexObject>();
  entry->SetSourcePath(u"C:\\src\\" + name);
  entry->SetName(name);
  entry->SetOffset(offset);
  entry->SetPackedSize(size);
  entry->SetReserved(7);
  return entry;
}

}  // namespace

std::unique_ptr<CInstallProject> MakeEveryClassProject() {
  auto project = std::make_unique<CInstallProject>();
  project->SetTitle(u"title");

  CInsallProjectInfo& info = project->GetProjectInfo();
  info.SetProjectName(u"Glimmora");
  info.SetCreator(u"packer");
  info.SetProjectFolder(u"C:\\work\\glimmora");
  info.SetBuildLogFile(u"c:\\buildlog.log");
  info.GetLanguages().push_back(std::make_shared<CPreLang>(u"English (United States)", 0x0409));
  info.GetLanguages().push_back(std::make_shared<CPreLang>(u"Chinese (PRC)", 0x0804));

  CInstallAuthorInfo& author = project->GetAuthorInfo();
  author.SetName(u"Tavrin");
  author.SetWeb(u"http://www.example.com");
  author.SetAddress(u"1 Street");
  author.SetTelephone(u"+1 555");
  author.SetEmail(u"a@example.com");

  CInstallProductInfo& product = project->GetProductInfo();
  product.SetName(u"Glimmora");
  product.SetVersion(u"3.5.0.1");
  product.SetWeb(u"http://www.example.com/glimmora");
  product.SetEmail(u"support@example.com");
  product.SetTelephone(u"+1 556");
  product.SetCompany(u"Tavrin");
  product.SetDefaultInstallFolder(u"[ProgramFile]\\Tavrin\\Glimmora");
  product.SetInstallFolderToken(CPreDefineFolder(u"[ProgramFilesFolder]", 0x26));
  product.SetOption(3);
  product.SetEngineFile(u"C:\\engine\\GlimmoraInstall.exe");
  product.SetOutputFile(u"C:\\out\\setup.exe");

  // Dialog objects: every plain class and every selector.
  auto& dialogs = project->GetDialogObjects();
  dialogs.push_back(std::make_shared<CStreamObject>(u"[Information Dialog]", 0, 2));
  dialogs.push_back(std::make_shared<CSplashDlgObject>());
  dialogs.push_back(std::make_shared<CIntroDLgObject>());
  dialogs.push_back(std::make_shared<CDirSelectDlgObject>());
  dialogs.push_back(std::make_shared<CExtractDlgObject>());
  dialogs.push_back(std::make_shared<CFinishDlgObject>());
  dialogs.push_back(std::make_shared<CDllObject>());
  dialogs.push_back(std::make_shared<CExeObject>());
  auto admin = std::make_shared<CAdminSelect>();
  admin->SetRequired(1);
  admin->SetText(u"Administrator rights are needed.");
  admin->SetCaption(u"Setup");
  dialogs.push_back(admin);
  auto autosel = std::make_shared<CAutoSelect>();
  autosel->GetConditions().Add(std::make_shared<CInstallCondition>(u"zh", 0x15002, u"Chinese (PRC)", 0x0804));
  autosel->GetConditions().Add(std::make_shared<CInstallCondition>(u"any", 0, u"", 0));
  dialogs.push_back(autosel);
  auto lang = std::make_shared<CLangSelect>();
  lang->AddLanguage(0x0409);
  lang->AddLanguage(0x0411);
  dialogs.push_back(lang);
  auto os = std::make_shared<COSSelect>();
  os->AddSystem(0x15002);
  os->AddSystem(0);
  os->SetText(u"Unsupported system.");
  os->SetCaption(u"Setup");
  dialogs.push_back(os);

  auto component = std::make_shared<CInstallCompent>();
  component->SetName(u"Main");
  component->SetOrder(4);
  component->SetText1(u"one");
  component->SetText2(u"two");
  component->SetValue(9);
  component->GetDialogObjects().push_back(std::make_shared<CFinishDlgObject>());
  project->GetComponents().push_back(component);

  auto strings = std::make_shared<CStringTable>();
  strings->SetName(u"English");
  strings->SetLangId(1033);
  strings->Add(std::make_shared<CIDString>(100, 1, u"Welcome"));
  strings->Add(std::make_shared<CIDString>(101, 1, u"\u65E5\u672C\u8A9E"));
  strings->RefreshItemCount();
  project->GetStringTables().push_back(strings);

  auto bitmaps = std::make_shared<CBitmapTable>();
  bitmaps->SetName(u"English");
  bitmaps->SetValue(2);
  auto bitmap = std::make_shared<CIDBitmap>();
  bitmap->SetId(200);
  bitmap->GetEntry().SetSourcePath(u"C:\\art\\banner.bmp");
  bitmap->GetEntry().SetName(u"banner.bmp");
  bitmaps->Add(bitmap);
  project->GetBitmapTables().push_back(bitmaps);

  auto registry = std::make_shared<CRegistryTable>();
  registry->SetName(u"Product");
  auto value = std::make_shared<CRegistryValue>();
  value->SetType(1);
  value->SetKeyPath(u"SOFTWARE\\Tavrin\\Glimmora");
  value->SetValueName(u"Version");
  value->SetData({'3', 0, '.', 0, '5', 0, 0, 0});
  value->SetExtra(5);
  registry->Add(value);
  auto removal = std::make_shared<CRegistryValue>();
  removal->SetType(4);
  removal->SetKeyPath(u"SOFTWARE\\Tavrin\\Old");
  removal->SetValueName(u"Gone");
  removal->SetDelete(true);
  registry->Add(removal);
  project->GetRegistryTables().push_back(registry);

  auto shortcuts = std::make_shared<CShortCutTable>();
  shortcuts->SetName(u"Default");
  shortcuts->BuildDefaultTree();
  project->GetShortcutTables().push_back(shortcuts);

  // "Common": the computer, the program files folder with the product
  // folder as destination root, a subfolder, and the system folder.
  auto common = std::make_shared<CExtractFileList>(u"Common");
  CNode* root = common->GetTree().GetRoot();
  root->SetData(MakeDestinationComputerEntry());
  CNode* programs = root->AddChild(PredefinedEntry(u"[ProgramFilesFolder]"));
  CNode* product_folder = programs->AddChild(FolderEntry(u"Glimmora", true));
  product_folder->AddChild(File(u"Glimmora.exe", 4096, 1000));
  CNode* gui = product_folder->AddChild(FolderEntry(u"gui"));
  gui->AddChild(File(u"skin.png", 5096, 200));
  CNode* system = root->AddChild(PredefinedEntry(u"[SystemFolder]"));
  system->AddChild(File(u"kvfilt.xp", 5296, 300));
  project->GetExtractLists().push_back(common);
  auto english = std::make_shared<CExtractFileList>(u"English");
  english->GetTree().GetRoot()->SetData(MakeDestinationComputerEntry());
  project->GetExtractLists().push_back(english);

  return project;
}

}  // namespace testing_support
