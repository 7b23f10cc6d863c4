#include "packinspect.h"

#include <iomanip>
#include <optional>
#include <sstream>

#include "build/packageformat.h"
#include "build/resultcodes.h"
#include "packconsole.h"
#include "packindex.h"
#include "packroot.h"
#include "platform/file.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

namespace fs = std::filesystem;

struct CodeRow {
  int32_t code;
  const char* name;
  const char* meaning;
};

constexpr CodeRow kCodes[] = {
    {EXTRACT_ERR_OPEN, "EXTRACT_ERR_OPEN", "the package or an output cannot be opened"},
    {EXTRACT_ERR_SIGNATURE, "EXTRACT_ERR_SIGNATURE", "not a package, or its trailer or index is damaged"},
    {EXTRACT_OK, "EXTRACT_OK", "success"},
    {EXTRACT_ERR_DATA, "EXTRACT_ERR_DATA", "a packed stream is damaged or an entry name is unsafe"},
    {EXTRACT_ERR_EMPTY, "EXTRACT_ERR_EMPTY", "the package table has no entry"},
    {EXTRACT_ERR_CREATE, "EXTRACT_ERR_CREATE", "a temporary or output file cannot be created or written"},
    {BUILD_ERR_SOURCE, "BUILD_ERR_SOURCE", "a source file cannot be read or packed"},
    {BUILD_ERR_PROJECT, "BUILD_ERR_PROJECT", "no project, no product record or no readable engine image"},
    {BUILD_ERR_INDEX, "BUILD_ERR_INDEX", "the index could not be written"},
    {EXTRACT_ERR_NOT_FOUND, "EXTRACT_ERR_NOT_FOUND", "no extract list of that name"},
    {EXTRACT_ERR_NO_DIR, "EXTRACT_ERR_NO_DIR", "no target folder"},
};

const CodeRow* FindCode(int32_t code) {
  for (const CodeRow& row : kCodes) {
    if (row.code == code) return &row;
  }
  return nullptr;
}

const CZipFileIndexObject* EntryOf(const CNode& node) {
  return dynamic_cast<const CZipFileIndexObject*>(node.GetData());
}

void PrintNode(std::ostream& out, const CNode& node, const std::u16string& destination, int depth) {
  const CZipFileIndexObject* entry = EntryOf(node);
  const std::string indent(static_cast<size_t>(2 * depth), ' ');
  if (entry == nullptr) {
    out << indent << "(an entry without data)\n";
  } else if (entry->IsPredefined() && node.GetParent() == nullptr) {
    out << indent << Printable(entry->GetName()) << "\n";
  } else if (entry->IsPredefined()) {
    const std::u16string resolved = entry->GetDisplayName();
    out << indent << Printable(entry->GetName()) << "\\  = "
        << (resolved.empty() ? std::string("(no such folder here)") : Printable(resolved) + "\\") << "\n";
  } else if (entry->IsFolder()) {
    out << indent << Printable(entry->GetName()) << "\\";
    if (entry->IsDestinationRoot()) out << "  (destination root = " << Printable(destination) << ")";
    out << "\n";
  } else {
    const std::u16string folder = TargetFolder(node, destination);
    out << indent << Printable(entry->GetName()) << "  -> "
        << (folder.empty() ? std::string("(no target folder)") : Printable(folder) + Printable(entry->GetName())) << "  ("
        << entry->GetPackedSize() << " bytes packed at offset " << entry->GetOffset() << ")\n";
  }
  for (size_t i = 0; i < node.GetChildCount(); ++i) PrintNode(out, *node.GetChild(i), destination, depth + 1);
}

std::string Hex(int32_t value) {
  std::ostringstream text;
  text << "0x" << std::hex << std::uppercase << std::setw(4) << std::setfill('0') << value;
  return text.str();
}

void PrintRecords(std::ostream& out, CInstallProject& project) {
  const CInstallProductInfo& product = project.GetProductInfo();
  out << "product: " << Printable(product.GetName()) << "\n"
      << "  version: " << Printable(product.GetVersion()) << "\n"
      << "  company: " << Printable(product.GetCompany()) << "\n"
      << "  web: " << Printable(product.GetWeb()) << "\n"
      << "  email: " << Printable(product.GetEmail()) << "\n"
      << "  telephone: " << Printable(product.GetTelephone()) << "\n"
      << "  default install folder: " << Printable(product.GetDefaultInstallFolder()) << "\n"
      << "  install folder token: " << Printable(product.GetInstallFolderToken().GetToken()) << " (id "
      << product.GetInstallFolderToken().GetId() << ")\n"
      << "  engine image: " << Printable(product.GetEngineFile()) << "\n"
      << "  output file: " << Printable(product.GetOutputFile()) << "\n";
  CInstallAuthorInfo& author = project.GetAuthorInfo();
  out << "author: " << Printable(author.GetName()) << "\n"
      << "  web: " << Printable(author.GetWeb()) << "\n"
      << "  address: " << Printable(author.GetAddress()) << "\n"
      << "  telephone: " << Printable(author.GetTelephone()) << "\n"
      << "  email: " << Printable(author.GetEmail()) << "\n";
  CInsallProjectInfo& info = project.GetProjectInfo();
  out << "project: " << Printable(info.GetProjectName()) << "\n"
      << "  creator: " << Printable(info.GetCreator()) << "\n"
      << "  build log: " << Printable(info.GetBuildLogFile()) << "\n"
      << "  languages:";
  if (info.GetLanguages().empty()) out << " (none)";
  for (const auto& language : info.GetLanguages()) {
    out << " " << Printable(language->GetName()) << " (" << Hex(language->GetId()) << ")";
  }
  out << "\n";
}

}  // namespace

std::string ResultCodeName(int32_t code) {
  const CodeRow* row = FindCode(code);
  return std::string(row ? row->name : "result") + " (" + std::to_string(code) + ")";
}

std::string ResultCodeMeaning(int32_t code) {
  const CodeRow* row = FindCode(code);
  return row ? row->meaning : "an unknown result";
}

std::u16string TreePath(const CNode& node) {
  std::u16string path;
  for (const CNode* at = &node; at != nullptr && at->GetParent() != nullptr; at = at->GetParent()) {
    const CZipFileIndexObject* entry = EntryOf(*at);
    const std::u16string name = entry ? entry->GetName() : u"?";
    path = path.empty() ? name : name + u"\\" + path;
  }
  return path;
}

void PrintTree(std::ostream& out, const CExtractFileList& list, const std::u16string& destination) {
  out << "list \"" << Printable(list.GetName()) << "\":\n";
  PrintNode(out, *list.GetTree().GetRoot(), destination, 1);
}

std::u16string DefaultInstallFolder(const std::u16string& productName) {
  return u"C:\\Program Files\\" + productName + u"\\";
}

int ListPackage(const fs::path& package, const std::u16string& destination, std::ostream& out, std::ostream& err) {
  const std::string shown = Printable(package.string());
  std::error_code ec;
  if (!fs::is_regular_file(package, ec)) {
    err << "glimmora-pack: " << shown << ": no such file\n";
    return 1;
  }
  PrivateRoot root;
  if (!root.ok()) {
    err << "glimmora-pack: " << root.error() << "\n";
    return 1;
  }
  const std::u16string path = platform::FromUtf8(fs::absolute(package).string());

  std::optional<uint32_t> distance;
  int64_t size = -1;
  {
    platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
    if (!file.IsOpen()) {
      err << "glimmora-pack: " << shown << ": cannot be opened\n";
      return 1;
    }
    size = file.Size();
    distance = LocatePackageMagic(file);
  }
  if (!distance) {
    err << "glimmora-pack: " << shown << ": not a package (no trailer near the end of the file)\n";
    return 1;
  }

  PackageTable table;
  CInstallProject project;
  std::string why;
  const int32_t result = LoadPackageIndex(package, table, project, why);
  if (result != EXTRACT_OK) {
    err << "glimmora-pack: " << shown << ": cannot read the package: " << ResultCodeName(result) << ", "
        << ResultCodeMeaning(result);
    if (!why.empty()) err << " (" << Printable(why) << ")";
    err << "\n";
    return 1;
  }

  out << "package: " << shown << " (" << size << " bytes)\n"
      << "trailer: magic " << *distance << " bytes from the end, " << table.count
      << (table.count == 1 ? " table row" : " table rows") << "\n";
  out << "  " << std::left << std::setw(4) << "#" << std::setw(20) << "name" << std::right << std::setw(12)
      << "offset" << std::setw(12) << "unpacked" << std::setw(12) << "packed" << "\n";
  for (uint32_t i = 0; i < table.count; ++i) {
    const PackageTableEntry& row = table.rows[i];
    out << "  " << std::left << std::setw(4) << i << std::setw(20) << Printable(row.name) << std::right << std::setw(12)
        << row.offset << std::setw(12) << row.unpackedSize << std::setw(12) << row.packedSize << "\n";
  }
  out << std::left;

  PrintRecords(out, project);
  std::u16string folder = destination.empty() ? DefaultInstallFolder(project.GetProductInfo().GetName()) : destination;
  if (folder.back() != u'\\') folder += u'\\';
  for (const auto& list : project.GetExtractLists()) PrintTree(out, *list, folder);
  return 0;
}

}  // namespace glimmora_pack
