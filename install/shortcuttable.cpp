#include "install/shortcuttable.h"

GLIMMORA_IMPLEMENT_SERIAL(CShortcut, CFileObject)
GLIMMORA_IMPLEMENT_SERIAL(CShortCutTable, CFileObject)

void CShortcut::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  for (std::u16string& text : texts_) ar.Io(text);
  ar.Io(kind_);
  ar.Io(predefined_);
  ar.Io(option_);
  ar.Io(help_page_);
  // The token follows the help page, and only for predefined folders.
  if (predefined_ != 0) token_.Serialize(ar);
}

void CShortcut::SetFolderToken(const CPreDefineFolder& folder) {
  token_.SetToken(folder.GetToken());
  token_.SetId(folder.GetId());
  name_ = folder.GetToken();
  predefined_ = 1;
}

CShortCutTable::CShortCutTable() : tree_(GLIMMORA_RUNTIME_CLASS(CShortcut)) {}

void CShortCutTable::Serialize(CArchive& ar) {
  CFileObject::Serialize(ar);
  ar.Io(name_);
  ar.Io(value_);
  tree_.Serialize(ar);
}

namespace {

std::shared_ptr<CShortcut> Folder(const std::u16string& token, const std::u16string& help_page, int32_t option) {
  auto entry = std::make_shared<CShortcut>(token, help_page);
  entry->SetKind(1);
  entry->SetOption(option);
  if (const CPreDefineFolder* row = CPreDefineFolderTable::Instance().FindByToken(token)) {
    entry->SetFolderToken(*row);
  }
  return entry;
}

}  // namespace

void CShortCutTable::BuildDefaultTree() {
  tree_.Clear();
  CNode* root = tree_.GetRoot();
  root->SetData(Folder(u"Shortcuts", u"ShortcutIntr.html", 0));
  root->AddChild(Folder(u"[CommonDesktopFolder]", u"Shortcutdesk.html", 1));
  root->AddChild(Folder(u"[ControlPanelFolder]", u"ShortcutControl.html", 0));
  root->AddChild(Folder(u"[QuickLuanchFolder]", u"ShortcutQuick.html", 0));
  CNode* start = root->AddChild(Folder(u"[CommonStartMenuFolder]", u"ShortcutStart.html", 1));
  start->AddChild(Folder(u"[CommonProgramsMenuFolder]", u"ShortcutPro.html", 1));
  start->AddChild(Folder(u"[CommonStartupFolder]", u"ShortcutStartUp.html", 0));
}
