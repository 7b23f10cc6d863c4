#include "packcheck.h"

#include <unordered_map>

#include "build/packageformat.h"
#include "packconsole.h"
#include "packinspect.h"
#include "packnames.h"
#include "packroot.h"

namespace glimmora_pack {
namespace {

const CZipFileIndexObject* EntryOf(const CNode& node) {
  return dynamic_cast<const CZipFileIndexObject*>(node.GetData());
}

class Checker {
 public:
  Checker(const std::u16string& install_folder, std::vector<EntryProblem>& problems)
      : install_folder_(install_folder), problems_(problems) {}

  void Check(const CNode& node) {
    if (const CZipFileIndexObject* entry = EntryOf(node)) CheckEntry(node, *entry);
    // One folder's entries by their folded name: a second one of a name
    // would be written over the first on Windows.
    std::unordered_map<std::u16string, const CZipFileIndexObject*> names;
    for (size_t i = 0; i < node.GetChildCount(); ++i) {
      const CNode& child = *node.GetChild(i);
      const CZipFileIndexObject* entry = EntryOf(child);
      if (entry != nullptr && !entry->GetName().empty()) {
        const auto [first, added] = names.emplace(FoldName(entry->GetName()), entry);
        if (!added) {
          Refuse(child, "a second entry named \"" + Printable(first->second->GetName()) +
                            "\" in its folder (names ignore case)");
        }
      }
      Check(child);
    }
  }

 private:
  void CheckEntry(const CNode& node, const CZipFileIndexObject& entry) {
    // A predefined folder is named by its token and stands for a folder of
    // the machine; every other name is one level of a path.
    if (entry.IsPredefined()) return;
    if (!IsSafeEntryName(entry.GetName())) {
      Refuse(node, "\"" + Printable(entry.GetName()) + "\" cannot be a file or folder name on Windows");
      return;
    }
    const std::u16string folder = TargetFolder(node, install_folder_);
    if (folder.empty()) return;  // not extracted: nothing above it names a place
    std::u16string target = folder;
    if (target.back() != u'\\') target += u'\\';
    target += entry.GetName();
    const std::string why = WhyNoDrivePlace(target);
    if (!why.empty()) Refuse(node, "its target " + Printable(target) + " has no place on a drive: " + why);
  }

  void Refuse(const CNode& node, std::string what) { problems_.push_back({TreePath(node), std::move(what)}); }

  const std::u16string& install_folder_;
  std::vector<EntryProblem>& problems_;
};

}  // namespace

std::string EntryLabel(const std::u16string& list, const std::u16string& path) {
  return path.empty() ? "the root of list " + Printable(list) : Printable(list) + ":" + Printable(path);
}

std::vector<EntryProblem> CheckListEntries(const CExtractFileList& list, const std::u16string& installFolder) {
  std::vector<EntryProblem> problems;
  Checker(installFolder, problems).Check(*list.GetTree().GetRoot());
  return problems;
}

}  // namespace glimmora_pack
