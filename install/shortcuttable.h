// Shortcut tables of the author's generic installer: trees of shortcut
// folders and shortcuts placed in predefined system folders. The setup
// program reads them with the project and makes its own shortcuts.
#pragma once

#include <cstdint>
#include <string>

#include "datastruct/obtree.h"
#include "install/predefinefolder.h"

class CShortcut : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CShortcut)
 public:
  CShortcut() = default;
  CShortcut(std::u16string name, std::u16string help_page) : name_(std::move(name)), help_page_(std::move(help_page)) {}

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  // Further texts 1..4.
  const std::u16string& GetText(int i) const { return texts_[(i - 1) & 3]; }
  void SetText(int i, const std::u16string& text) { texts_[(i - 1) & 3] = text; }
  int32_t GetKind() const { return kind_; }
  void SetKind(int32_t kind) { kind_ = kind; }
  bool IsPredefined() const { return predefined_ != 0; }
  const CPreDefineFolder& GetFolderToken() const { return token_; }
  // Makes the entry the predefined folder `folder`, named by its token.
  void SetFolderToken(const CPreDefineFolder& folder);
  int32_t GetOption() const { return option_; }
  void SetOption(int32_t option) { option_ = option; }
  const std::u16string& GetHelpPage() const { return help_page_; }
  void SetHelpPage(const std::u16string& page) { help_page_ = page; }

 private:
  std::u16string runtime_text_;  // the author's tool's own, never stored
  std::u16string name_;
  std::u16string texts_[4];
  int32_t kind_ = 0;
  int32_t predefined_ = 0;
  CPreDefineFolder token_;
  int32_t option_ = 0;
  std::u16string help_page_;
};

class CShortCutTable : public CFileObject {
  GLIMMORA_DECLARE_SERIAL(CShortCutTable)
 public:
  CShortCutTable();

  void Serialize(CArchive& ar) override;

  const std::u16string& GetName() const { return name_; }
  void SetName(const std::u16string& name) { name_ = name; }
  int32_t GetValue() const { return value_; }
  void SetValue(int32_t value) { value_ = value; }
  CObTree& GetTree() { return tree_; }
  // The author's flat list of shortcuts; not stored.
  CObListOf<CShortcut>& GetShortcuts() { return flat_; }

  // Fills the tree with the author's default folders: "Shortcuts" holding
  // the desktop, control panel, quick launch and start menu (with programs
  // and start-up below it).
  void BuildDefaultTree();

 private:
  std::u16string name_;
  int32_t value_ = 0;
  CObListOf<CShortcut> flat_;
  CObTree tree_;
};
