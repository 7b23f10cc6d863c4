#include "packinspect.h"

#include <iomanip>
#include <optional>
#include <sstream>

#include "build/extract.h"
#include "build/packageformat.h"
#include "build/resultcodes.h"
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

std::string U8(const std::u16string& text) { return platform::ToUtf8(text); }

const CZipFileIndexObject* EntryOf(const CNode& node) {
  return dynamic_cast<const CZipFileIndexObject*>(node.GetData());
}

void PrintNode(std::ostream& out, const CNode& node, const std::u16string& destination, int depth) {
  const CZipFileIndexObject* entry = EntryOf(node);
  const std::string indent(static_cast<size_t>(2 * depth), ' ');
  if (entry == nullptr) {
    out << indent << "(an entry without data)\n";
  } else if (entry->IsPredefined() && node.GetParent() == nullptr) {
    out << indent << U8(entry->GetName()) << "\n";
  } else if (entry->IsPredefined()) {
    const std::u16string resolved = entry->GetDisplayName();
    out << indent << U8(entry->GetName()) << "\\  = "
        << (resolved.empty() ? std::string("(no such folder here)") : U8(resolved) + "\\") << "\n";
  } else if (entry->IsFolder()) {
    out << indent << U8(entry->GetName()) << "\\";
    if (entry->IsDestinationRoot()) out << "  (destination root = " << U8(destination) << ")";
    out << "\n";
  } else {
    const std::u16string folder = TargetFolder(node, destination);
    out << indent << U8(entry->GetName()) << "  -> "
        << (folder.empty() ? std::string("(no target folder)") : U8(folder) + U8(entry->GetName())) << "  ("
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
  out << "product: " << U8(product.GetName()) << "\n"
      << "  version: " << U8(product.GetVersion()) << "\n"
      << "  company: " << U8(product.GetCompany()) << "\n"
      << "  web: " << U8(product.GetWeb()) << "\n"
      << "  email: " << U8(product.GetEmail()) << "\n"
      << "  telephone: " << U8(product.GetTelephone()) << "\n"
      << "  default install folder: " << U8(product.GetDefaultInstallFolder()) << "\n"
      << "  install folder token: " << U8(product.GetInstallFolderToken().GetToken()) << " (id "
      << product.GetInstallFolderToken().GetId() << ")\n"
      << "  engine image: " << U8(product.GetEngineFile()) << "\n"
      << "  output file: " << U8(product.GetOutputFile()) << "\n";
  CInstallAuthorInfo& author = project.GetAuthorInfo();
  out << "author: " << U8(author.GetName()) << "\n"
      << "  web: " << U8(author.GetWeb()) << "\n"
      << "  address: " << U8(author.GetAddress()) << "\n"
      << "  telephone: " << U8(author.GetTelephone()) << "\n"
      << "  email: " << U8(author.GetEmail()) << "\n";
  CInsallProjectInfo& info = project.GetProjectInfo();
  out << "project: " << U8(info.GetProjectName()) << "\n"
      << "  creator: " << U8(info.GetCreator()) << "\n"
      << "  build log: " << U8(info.GetBuildLogFile()) << "\n"
      << "  languages:";
  if (info.GetLanguages().empty()) out << " (none)";
  for (const auto& language : info.GetLanguages()) {
    out << " " << U8(language->GetName()) << " (" << Hex(language->GetId()) << ")";
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
  out << "list \"" << U8(list.GetName()) << "\":\n";
  PrintNode(out, *list.GetTree().GetRoot(), destination, 1);
}

std::u16string DefaultInstallFolder(const std::u16string& productName) {
  return u"C:\\Program Files\\" + productName + u"\\";
}

int ListPackage(const fs::path& package, const std::u16string& destination, std::ostream& out, std::ostream& err) {
  const std::string shown = package.string();
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

  CMyExtract extract;
  extract.SetPackagePath(path);
  const int32_t result = extract.OpenPackage(path);
  if (result != EXTRACT_OK) {
    err << "glimmora-pack: " << shown << ": cannot read the package: " << ResultCodeName(result) << ", "
        << ResultCodeMeaning(result);
    if (!extract.GetIndexError().empty()) err << " (" << extract.GetIndexError() << ")";
    err << "\n";
    return 1;
  }

  const PackageTable& table = extract.GetTable();
  out << "package: " << shown << " (" << size << " bytes)\n"
      << "trailer: magic " << *distance << " bytes from the end, " << table.count
      << (table.count == 1 ? " table row" : " table rows") << "\n";
  out << "  " << std::left << std::setw(4) << "#" << std::setw(20) << "name" << std::right << std::setw(12)
      << "offset" << std::setw(12) << "unpacked" << std::setw(12) << "packed" << "\n";
  for (uint32_t i = 0; i < table.count; ++i) {
    const PackageTableEntry& row = table.rows[i];
    out << "  " << std::left << std::setw(4) << i << std::setw(20) << U8(row.name) << std::right << std::setw(12)
        << row.offset << std::setw(12) << row.unpackedSize << std::setw(12) << row.packedSize << "\n";
  }
  out << std::left;

  CInstallProject& project = *extract.GetProject();
  PrintRecords(out, project);
  std::u16string folder = destination.empty() ? DefaultInstallFolder(project.GetProductInfo().GetName()) : destination;
  if (folder.back() != u'\\') folder += u'\\';
  for (const auto& list : project.GetExtractLists()) PrintTree(out, *list, folder);
  return 0;
}

}  // namespace glimmora_pack
