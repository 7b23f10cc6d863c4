// extract: one list of a package below --dest, the way the setup program
// would write it on a machine whose drives are DIR/C, DIR/D, ... The package
// may come from anyone, so its entries are checked first and nothing is
// written when one is refused; while the engine writes, the drives are
// confined to --dest (packroot.h), so no link already there is followed.
#include <filesystem>
#include <vector>

#include "build/extract.h"
#include "build/packageformat.h"
#include "packcheck.h"
#include "packcommands.h"
#include "packconsole.h"
#include "packindex.h"
#include "packinspect.h"
#include "packroot.h"
#include "platform/diag.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

namespace fs = std::filesystem;

// The engine, noting each entry it could not write: where it was going,
// the result and the system's reason.
class RecordingExtract : public CMyExtract {
 public:
  struct Failure {
    std::u16string target;
    std::string why;
  };

  int32_t ExtractEntry(platform::File& package, CZipFileIndexObject* entry, std::u16string folder,
                       ExtractProgressProc progress, void* userData) override {
    platform::SetLastError(platform::kErrorSuccess);
    const int32_t result = CMyExtract::ExtractEntry(package, entry, folder, progress, userData);
    if (result != EXTRACT_OK && entry != nullptr) {
      const uint32_t error = platform::LastError();
      if (!folder.empty() && folder.back() != u'\\') folder += u'\\';
      std::string why;
      if (!IsSafeEntryName(entry->GetName()) || !IsRootedPath(folder)) {
        why = "the engine refuses its name or folder";
      } else if (error != platform::kErrorSuccess) {
        why = Printable(platform::ErrorText(error)) + " (error " + std::to_string(error) + ")";
      } else {
        why = "its packed stream does not inflate to its end";
      }
      failures_.push_back({folder + entry->GetName(), why});
    }
    return result;
  }

  const std::vector<Failure>& failures() const { return failures_; }

 private:
  std::vector<Failure> failures_;
};

void PrintPlacedFiles(std::ostream& out, const CNode& node, const std::u16string& folder, const fs::path& dest) {
  const auto* entry = dynamic_cast<const CZipFileIndexObject*>(node.GetData());
  if (entry != nullptr && !entry->IsFolder() && !entry->IsPredefined()) {
    const std::u16string target = TargetFolder(node, folder);
    if (target.empty()) {
      out << "  " << Printable(TreePath(node)) << " -> (not extracted: no target folder)\n";
    } else {
      std::u16string path = target;
      if (path.back() != u'\\') path += u'\\';
      path += entry->GetName();
      out << "  " << Printable(path) << " -> " << Printable(DrivePlace(dest, path).string()) << "\n";
    }
  }
  for (size_t i = 0; i < node.GetChildCount(); ++i) PrintPlacedFiles(out, *node.GetChild(i), folder, dest);
}

// "C:\x\y.txt (DIR/C/x/y.txt): why".
std::string Describe(const RecordingExtract::Failure& failure, const fs::path& dest) {
  std::string text = Printable(failure.target);
  if (WhyNoDrivePlace(failure.target).empty()) text += " (" + Printable(DrivePlace(dest, failure.target).string()) + ")";
  return text + ": " + failure.why;
}

}  // namespace

int ExtractCommand(const fs::path& package, const std::string& list, const fs::path& dest_argument,
                   const std::string& install_folder, Console& console) {
  const std::string shown = Printable(package.string());
  std::error_code ec;
  if (!fs::is_regular_file(package, ec)) {
    console.err << "glimmora-pack: " << shown << ": no such file\n";
    return 1;
  }
  std::u16string folder = platform::FromUtf8(install_folder);
  if (!folder.empty() && !WhyNoDrivePlace(folder).empty()) {
    console.err << "glimmora-pack: --install-folder \"" << Printable(install_folder)
                << "\": expected a folder on a drive such as C:\\Program Files\\Glimmora, made of plain names\n";
    return 1;
  }
  const fs::path dest = fs::absolute(dest_argument);
  fs::create_directories(dest, ec);
  if (!fs::is_directory(dest, ec)) {
    console.err << "glimmora-pack: --dest " << Printable(dest_argument.string()) << ": cannot be made a folder\n";
    return 1;
  }

  // The stand-in special folders are made in the private root until the
  // drives move to DIR.
  PrivateRoot root;
  if (!root.ok()) {
    console.err << "glimmora-pack: " << Printable(root.error()) << "\n";
    return 1;
  }
  RecordingExtract extract;
  extract.SetPackagePath(platform::FromUtf8(fs::absolute(package).string()));
  PackageTable table;
  std::string why;
  int32_t result = LoadPackageIndex(package, table, *extract.GetProject(), why);
  if (result != EXTRACT_OK) {
    console.err << "glimmora-pack: " << shown << ": cannot read the package: " << ResultCodeName(result) << ", "
                << ResultCodeMeaning(result);
    if (!why.empty()) console.err << " (" << Printable(why) << ")";
    console.err << "\n";
    return 1;
  }
  CInstallProject& project = *extract.GetProject();
  if (folder.empty()) {
    folder = DefaultInstallFolder(project.GetProductInfo().GetName());
    if (!WhyNoDrivePlace(folder).empty()) {
      console.err << "glimmora-pack: " << shown << ": the product name \"" << Printable(project.GetProductInfo().GetName())
                  << "\" cannot be a folder name; pass --install-folder\n";
      return 1;
    }
  }
  if (folder.back() != u'\\') folder += u'\\';

  const std::u16string list_name = platform::FromUtf8(list);
  const CExtractFileList* chosen = project.FindExtractList(list_name);
  if (chosen == nullptr) {
    console.err << "glimmora-pack: " << shown << ": extracting list \"" << Printable(list) << "\" failed: "
                << ResultCodeName(EXTRACT_ERR_NOT_FOUND) << ", " << ResultCodeMeaning(EXTRACT_ERR_NOT_FOUND)
                << "; the package has";
    const char* separator = " ";
    for (const auto& l : project.GetExtractLists()) {
      console.err << separator << "\"" << Printable(l->GetName()) << "\"";
      separator = ", ";
    }
    console.err << "\n";
    return 1;
  }
  const std::vector<EntryProblem> problems = CheckListEntries(*chosen, folder);
  if (!problems.empty()) {
    for (const EntryProblem& problem : problems) {
      console.err << "glimmora-pack: " << shown << ": unsafe entry " << EntryLabel(list_name, problem.path) << ": "
                  << problem.what << "\n";
    }
    console.err << "glimmora-pack: " << shown << ": list \"" << Printable(list)
                << "\" not extracted: the package is damaged; nothing was written\n";
    return 1;
  }

  root.Redirect(dest);
  extract.SetDestDir(folder);
  result = extract.ExtractListTo(folder, list_name, nullptr, nullptr);
  if (result != EXTRACT_OK) {
    console.err << "glimmora-pack: " << shown << ": extracting list \"" << Printable(list) << "\" failed: "
                << ResultCodeName(result) << ", " << ResultCodeMeaning(result) << "\n";
    for (const RecordingExtract::Failure& failure : extract.failures()) {
      console.err << "glimmora-pack: " << shown << ": cannot write " << Describe(failure, dest) << "\n";
    }
    return 1;
  }
  console.out << "extracted list \"" << Printable(list) << "\" with install folder " << Printable(folder) << " below "
              << Printable(dest.string()) << ":\n";
  PrintPlacedFiles(console.out, *chosen->GetTree().GetRoot(), folder, dest);
  return 0;
}

}  // namespace glimmora_pack
