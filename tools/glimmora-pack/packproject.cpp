#include "packproject.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <unordered_map>

#include <nlohmann/json.hpp>

#include "build/packageformat.h"
#include "packconsole.h"
#include "packnames.h"
#include "platform/file.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr char kCommonList[] = "Common";

// A fault in the project: where it is (a path into the JSON document) and
// what is wrong. Thrown inside the loader, turned into the error line at
// its top.
struct ProjectFault {
  std::string where;
  std::string what;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) { throw ProjectFault{where, what}; }

std::string Quote(const std::string& text) { return "\"" + Printable(text) + "\""; }
std::string Quote(const std::u16string& text) { return Quote(platform::ToUtf8(text)); }

std::string Member(const std::string& where, const std::string& key) { return where.empty() ? key : where + "." + key; }
std::string Item(const std::string& where, size_t index) { return where + "[" + std::to_string(index) + "]"; }

void CheckObject(const json& value, const std::string& where, std::initializer_list<const char*> allowed) {
  if (!value.is_object()) Fail(where, "expected an object");
  for (auto it = value.begin(); it != value.end(); ++it) {
    const bool known = std::any_of(allowed.begin(), allowed.end(), [&](const char* k) { return it.key() == k; });
    if (!known) Fail(Member(where, it.key()), "unknown key");
  }
}

std::optional<std::string> OptionalString(const json& object, const char* key, const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end()) return std::nullopt;
  if (!it->is_string()) Fail(Member(where, key), "expected a string");
  return it->get<std::string>();
}

std::string RequiredString(const json& object, const char* key, const std::string& where) {
  std::optional<std::string> text = OptionalString(object, key, where);
  if (!text) Fail(Member(where, key), "missing");
  if (text->empty()) Fail(Member(where, key), "must not be empty");
  return *text;
}

std::u16string Text(const json& object, const char* key, const std::string& where) {
  return platform::FromUtf8(OptionalString(object, key, where).value_or(std::string()));
}

std::optional<bool> OptionalBool(const json& object, const char* key, const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end()) return std::nullopt;
  if (!it->is_boolean()) Fail(Member(where, key), "expected true or false");
  return it->get<bool>();
}

// A language id: a number or a "0x..." string, as the tables write them.
int32_t LanguageId(const json& object, const std::string& where) {
  const auto it = object.find("id");
  if (it == object.end()) Fail(Member(where, "id"), "missing");
  int64_t id = -1;
  if (it->is_number_integer()) {
    id = it->get<int64_t>();
  } else if (it->is_string()) {
    const std::string text = it->get<std::string>();
    size_t used = 0;
    try {
      id = std::stoll(text, &used, 0);
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != text.size() || text.empty()) id = -1;
  }
  if (id < 0 || id > 0xFFFF) Fail(Member(where, "id"), "expected a language id from 0 to 0xFFFF");
  return static_cast<int32_t>(id);
}

CZipFileIndexObject* EntryOf(const CNode* node) { return dynamic_cast<CZipFileIndexObject*>(node->GetData()); }

std::shared_ptr<CZipFileIndexObject> MakeFolder(const std::u16string& name, bool destination_root) {
  auto entry = std::make_shared<CZipFileIndexObject>();
  entry->SetName(name);
  entry->SetFolder(true);
  entry->SetDestinationRoot(destination_root);
  return entry;
}

std::shared_ptr<CZipFileIndexObject> MakePredefined(const CPreDefineFolder& row) {
  auto entry = std::make_shared<CZipFileIndexObject>();
  entry->SetFolder(true);
  entry->SetPredefined(true);
  entry->SetFolderToken(row);
  return entry;
}

// A copy of a folder entry for another list's skeleton. The entry's copy
// leaves the token behind, so a predefined folder is given it again.
std::shared_ptr<CZipFileIndexObject> CopyFolder(const CZipFileIndexObject& folder) {
  auto entry = std::make_shared<CZipFileIndexObject>(folder);
  if (folder.IsPredefined()) entry->SetFolderToken(folder.GetFolderToken());
  return entry;
}

class Loader {
 public:
  Loader(const BuildRequest& request, PackProject& out) : request_(request), out_(out) {}

  void Load() {
    const json document = Parse();
    CheckObject(document, "", {"title", "product", "author", "project", "lists"});
    out_.project = std::make_unique<CInstallProject>();
    out_.output = fs::absolute(request_.output).lexically_normal();
    CInstallProject& project = *out_.project;

    if (!document.contains("product")) Fail("product", "missing");
    ReadProduct(document["product"], project.GetProductInfo());
    project.SetTitle(Text(document, "title", ""));
    if (project.GetTitle().empty()) project.SetTitle(project.GetProductInfo().GetName());
    if (document.contains("author")) ReadAuthor(document["author"], project.GetAuthorInfo());
    ReadProjectInfo(document.contains("project") ? document["project"] : json::object(), project.GetProjectInfo());
    ReadLists(document);
    ResolveEngine(project.GetProductInfo());
    CheckOutput();
    PlanFiles();
  }

 private:
  json Parse() {
    std::error_code ec;
    if (!fs::is_regular_file(request_.projectFile, ec)) Fail("", "no such project file");
    // Read through the platform layer, which opens without waiting and only
    // a file: something put in the project's place since the check above
    // is refused, not waited on.
    platform::File file = platform::File::Open(platform::FromUtf8(fs::absolute(request_.projectFile).string()),
                                               platform::OpenMode::kReadShared);
    if (!file.IsOpen()) Fail("", "cannot be read");
    std::string text;
    char block[65536];
    for (int64_t n; (n = file.Read(block, sizeof block)) != 0;) {
      if (n < 0) Fail("", "cannot be read");
      text.append(block, static_cast<size_t>(n));
    }
    try {
      return json::parse(text);
    } catch (const json::parse_error& e) {
      // The library's message starts with its own tag, which tells the
      // author nothing.
      std::string message = e.what();
      const size_t tag_end = message.find("] ");
      if (message.rfind("[json.", 0) == 0 && tag_end != std::string::npos) message.erase(0, tag_end + 2);
      Fail("", "malformed JSON: " + message);
    }
  }

  // A path as the author wrote it, relative to the project file's folder.
  fs::path Resolve(std::string text) const {
    std::replace(text.begin(), text.end(), '\\', '/');
    fs::path path = fs::u8path(text);
    if (path.is_relative()) path = base_ / path;
    return path.lexically_normal();
  }

  std::string Display(const fs::path& path) const {
    const fs::path relative = path.lexically_relative(base_);
    if (!relative.empty() && *relative.begin() != "..") return relative.generic_string();
    return path.string();
  }

  std::u16string HostText(const fs::path& path, const std::string& where) const {
    const std::string bytes = path.string();
    const std::u16string text = platform::FromUtf8(bytes);
    if (platform::ToUtf8(text) != bytes) Fail(where, Quote(Display(path)) + " is not valid UTF-8");
    return text;
  }

  // The packer refuses what any reader of the package would refuse.
  void CheckName(const std::u16string& name, const std::string& where) const {
    if (!IsSafeEntryName(name)) {
      Fail(where, Quote(name) +
                      " cannot be a file name on the target machine (empty, \".\" or \"..\", a control character,"
                      " one of \\ / : * ? \" < > |, a trailing dot or space, a device name such as CON or COM1,"
                      " half a surrogate pair, or longer than 255)");
    }
  }

  void ReadProduct(const json& value, CInstallProductInfo& product) {
    const std::string where = "product";
    CheckObject(value, where,
                {"name", "version", "web", "email", "telephone", "company", "defaultInstallFolder",
                 "installFolderToken", "engine"});
    product.SetName(platform::FromUtf8(RequiredString(value, "name", where)));
    product.SetVersion(Text(value, "version", where));
    product.SetWeb(Text(value, "web", where));
    product.SetEmail(Text(value, "email", where));
    product.SetTelephone(Text(value, "telephone", where));
    product.SetCompany(Text(value, "company", where));
    product.SetDefaultInstallFolder(Text(value, "defaultInstallFolder", where));
    if (const auto token = OptionalString(value, "installFolderToken", where)) {
      product.SetInstallFolderToken(Predefined(platform::FromUtf8(*token), Member(where, "installFolderToken")));
    }
    if (const auto engine = OptionalString(value, "engine", where)) {
      if (engine->empty()) Fail(Member(where, "engine"), "must not be empty");
      project_engine_ = Resolve(*engine);
    }
  }

  void ReadAuthor(const json& value, CInstallAuthorInfo& author) {
    const std::string where = "author";
    CheckObject(value, where, {"name", "web", "address", "telephone", "email"});
    author.SetName(Text(value, "name", where));
    author.SetWeb(Text(value, "web", where));
    author.SetAddress(Text(value, "address", where));
    author.SetTelephone(Text(value, "telephone", where));
    author.SetEmail(Text(value, "email", where));
  }

  void ReadProjectInfo(const json& value, CInsallProjectInfo& info) {
    const std::string where = "project";
    CheckObject(value, where, {"name", "creator", "buildLog", "languages"});
    info.SetProjectName(Text(value, "name", where));
    const auto creator = OptionalString(value, "creator", where);
    info.SetCreator(platform::FromUtf8(creator.value_or("glimmora-pack")));
    info.SetProjectFolder(HostText(base_, ""));
    if (const auto log = OptionalString(value, "buildLog", where)) {
      if (log->empty()) Fail(Member(where, "buildLog"), "must not be empty");
      out_.buildLog = Resolve(*log);
    } else {
      out_.buildLog = out_.output;
      out_.buildLog += ".log";
    }
    info.SetBuildLogFile(HostText(out_.buildLog, Member(where, "buildLog")));

    const auto languages = value.find("languages");
    if (languages == value.end()) return;
    const std::string list_where = Member(where, "languages");
    if (!languages->is_array()) Fail(list_where, "expected an array");
    for (size_t i = 0; i < languages->size(); ++i) {
      const json& language = (*languages)[i];
      const std::string item = Item(list_where, i);
      CheckObject(language, item, {"name", "id"});
      info.GetLanguages().push_back(std::make_shared<CPreLang>(
          platform::FromUtf8(RequiredString(language, "name", item)), LanguageId(language, item)));
    }
  }

  const CPreDefineFolder& Predefined(const std::u16string& token, const std::string& where) const {
    const CPreDefineFolder* row = CPreDefineFolderTable::Instance().FindByToken(token);
    if (row == nullptr) {
      Fail(where, "unknown predefined folder " + Quote(token) + " (the tokens are listed in the README)");
    }
    return *row;
  }

  void ReadLists(const json& document) {
    const auto lists = document.find("lists");
    if (lists == document.end()) Fail("lists", "missing");
    if (!lists->is_array()) Fail("lists", "expected an array");
    // Common first: every other list starts from its folders.
    std::vector<size_t> order;
    std::set<std::string> names;
    for (size_t i = 0; i < lists->size(); ++i) {
      const json& list = (*lists)[i];
      const std::string where = Item("lists", i);
      CheckObject(list, where, {"name", "entries"});
      const std::string name = RequiredString(list, "name", where);
      if (!names.insert(name).second) Fail(Member(where, "name"), "a second list named " + Quote(name));
      if (name == kCommonList) {
        order.insert(order.begin(), i);
      } else {
        order.push_back(i);
      }
    }
    if (names.count(kCommonList) == 0) Fail("lists", "no list named \"Common\" (the files every installation gets)");

    auto& extract_lists = out_.project->GetExtractLists();
    for (size_t i : order) {
      const json& list = (*lists)[i];
      const std::string where = Item("lists", i);
      auto extract_list = std::make_shared<CExtractFileList>(platform::FromUtf8(list["name"].get<std::string>()));
      CNode* root = extract_list->GetTree().GetRoot();
      root->SetData(MakeDestinationComputerEntry());
      if (!extract_lists.empty()) CopySkeleton(*extract_lists.front()->GetTree().GetRoot(), root);
      AddEntries(root, list, where, true);
      extract_lists.push_back(extract_list);
    }
  }

  void AddEntries(CNode* parent, const json& owner, const std::string& where, bool top) {
    const auto entries = owner.find("entries");
    if (entries == owner.end()) return;
    const std::string list_where = Member(where, "entries");
    if (!entries->is_array()) Fail(list_where, "expected an array");
    CheckDepth(++depth_, list_where);
    for (size_t i = 0; i < entries->size(); ++i) AddEntry(parent, (*entries)[i], Item(list_where, i), top);
    --depth_;
  }

  // A Windows path of 260 characters has fewer levels than this; the limit
  // keeps a runaway project from exhausting the stack.
  static void CheckDepth(size_t depth, const std::string& where) {
    constexpr size_t kMaxDepth = 128;
    if (depth > kMaxDepth) Fail(where, "folders nest deeper than " + std::to_string(kMaxDepth) + " levels");
  }

  void AddEntry(CNode* parent, const json& entry, const std::string& where, bool top) {
    if (!entry.is_object()) Fail(where, "expected an object");
    const int kinds = static_cast<int>(entry.contains("predefined")) + static_cast<int>(entry.contains("folder")) +
                      static_cast<int>(entry.contains("file")) + static_cast<int>(entry.contains("dir"));
    if (kinds != 1) Fail(where, "needs exactly one of \"predefined\", \"folder\", \"file\" and \"dir\"");

    if (entry.contains("predefined")) {
      CheckObject(entry, where, {"predefined", "entries"});
      if (!top) Fail(where, "a predefined folder stands only at the top of a list");
      const std::u16string token = platform::FromUtf8(RequiredString(entry, "predefined", where));
      const CPreDefineFolder& row = Predefined(token, Member(where, "predefined"));
      const auto entries = entry.find("entries");
      if (entries != entry.end() && entries->is_array() && !entries->empty() && row.Resolve().empty()) {
        out_.warnings.push_back(request_.projectFile.string() + ": " + where + ": " + platform::ToUtf8(token) +
                                " is no folder on the target machine; what is below it is never installed");
      }
      CNode* node = MergeFolder(parent, MakePredefined(row), std::nullopt, where);
      AddEntries(node, entry, where, false);
      return;
    }
    // Below the computer only predefined folders have a place to go.
    if (top) Fail(where, "the top of a list holds only predefined folders, such as {\"predefined\": \"[ProgramFilesFolder]\"}");

    if (entry.contains("folder")) {
      CheckObject(entry, where, {"folder", "destinationRoot", "entries"});
      const std::u16string name = platform::FromUtf8(RequiredString(entry, "folder", where));
      CheckName(name, Member(where, "folder"));
      const std::optional<bool> root = OptionalBool(entry, "destinationRoot", where);
      CNode* node = MergeFolder(parent, MakeFolder(name, root.value_or(false)), root, where);
      AddEntries(node, entry, where, false);
      return;
    }

    if (entry.contains("file")) {
      CheckObject(entry, where, {"file", "name"});
      const fs::path source = Resolve(RequiredString(entry, "file", where));
      std::error_code ec;
      const fs::file_status status = fs::status(source, ec);
      if (!fs::exists(status)) Fail(Member(where, "file"), "source " + Quote(Display(source)) + " does not exist");
      if (fs::is_directory(status)) {
        Fail(Member(where, "file"), "source " + Quote(Display(source)) + " is a folder; use \"dir\" for a whole folder");
      }
      if (!fs::is_regular_file(status)) {
        Fail(Member(where, "file"), "source " + Quote(Display(source)) + " is not a regular file");
      }
      const auto name = OptionalString(entry, "name", where);
      AddFile(parent, source, name ? platform::FromUtf8(*name) : HostText(source.filename(), where),
              name ? Member(where, "name") : Member(where, "file"));
      return;
    }

    CheckObject(entry, where, {"dir", "name", "destinationRoot"});
    const fs::path source = Resolve(RequiredString(entry, "dir", where));
    std::error_code ec;
    const fs::file_status status = fs::status(source, ec);
    if (!fs::exists(status)) Fail(Member(where, "dir"), "source folder " + Quote(Display(source)) + " does not exist");
    if (!fs::is_directory(status)) Fail(Member(where, "dir"), "source " + Quote(Display(source)) + " is not a folder");
    const auto name = OptionalString(entry, "name", where);
    // "dir": "." names the folder after the project's own folder.
    const fs::path folder_name = source.filename().empty() ? source.parent_path().filename() : source.filename();
    const std::u16string folder = name ? platform::FromUtf8(*name) : HostText(folder_name, where);
    CheckName(folder, name ? Member(where, "name") : Member(where, "dir"));
    const std::optional<bool> root = OptionalBool(entry, "destinationRoot", where);
    CNode* node = MergeFolder(parent, MakeFolder(folder, root.value_or(false)), root, where);
    std::vector<fs::path> open_folders;
    AddDirectory(node, source, where, open_folders);
  }

  // The entry of that name (ignoring case) below `parent`, or null.
  CNode* FindChild(const CNode* parent, const std::u16string& name) const {
    const auto folder = children_.find(parent);
    if (folder == children_.end()) return nullptr;
    const auto child = folder->second.find(FoldName(name));
    return child == folder->second.end() ? nullptr : child->second;
  }

  // Every entry goes into the tree here, so that FindChild knows it.
  CNode* AddChild(CNode* parent, std::shared_ptr<CZipFileIndexObject> entry) {
    std::u16string key = FoldName(entry->GetName());
    CNode* child = parent->AddChild(std::move(entry));
    children_[parent].emplace(std::move(key), child);
    return child;
  }

  void CopySkeleton(const CNode& from, CNode* to) {
    for (size_t i = 0; i < from.GetChildCount(); ++i) {
      const CNode* child = from.GetChild(i);
      const CZipFileIndexObject* entry = EntryOf(child);
      if (entry == nullptr || !entry->IsFolder()) continue;
      CopySkeleton(*child, AddChild(to, CopyFolder(*entry)));
    }
  }

  // The folder of that name below `parent`, made when it is not there yet.
  CNode* MergeFolder(CNode* parent, std::shared_ptr<CZipFileIndexObject> folder, std::optional<bool> root,
                     const std::string& where) {
    CNode* existing = FindChild(parent, folder->GetName());
    if (existing == nullptr) return AddChild(parent, std::move(folder));
    const CZipFileIndexObject* entry = EntryOf(existing);
    if (!entry->IsFolder()) Fail(where, "a file named " + Quote(entry->GetName()) + " is already in this folder");
    if (root && *root != entry->IsDestinationRoot()) {
      Fail(where, "folder " + Quote(entry->GetName()) + " is the destination root in one place and not in another");
    }
    return existing;
  }

  void AddFile(CNode* parent, const fs::path& source, const std::u16string& name, const std::string& where) {
    CheckName(name, where);
    if (const CNode* existing = FindChild(parent, name)) {
      Fail(where, "a second entry named " + Quote(EntryOf(existing)->GetName()) + " in one folder (names ignore case)");
    }
    std::error_code ec;
    const uintmax_t size = fs::file_size(source, ec);
    if (ec) Fail(where, "cannot read the size of " + Quote(Display(source)) + ": " + ec.message());
    if (size > UINT32_MAX) Fail(where, Quote(Display(source)) + " is larger than a package can hold (4 GB)");
    auto entry = std::make_shared<CZipFileIndexObject>();
    entry->SetName(name);
    entry->SetSourcePath(HostText(source, where));
    sizes_[entry.get()] = size;
    AddChild(parent, std::move(entry));
  }

  // The folder's contents in name order, so that a package built twice from
  // the same files is the same.
  void AddDirectory(CNode* node, const fs::path& folder, const std::string& where, std::vector<fs::path>& open) {
    std::error_code ec;
    const fs::path identity = fs::canonical(folder, ec);
    if (ec) Fail(where, "cannot read folder " + Quote(Display(folder)) + ": " + ec.message());
    if (std::find(open.begin(), open.end(), identity) != open.end()) {
      Fail(where, "folder " + Quote(Display(folder)) + " contains itself through a link");
    }
    open.push_back(identity);
    CheckDepth(depth_ + open.size(), where);

    std::vector<fs::path> items;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) items.push_back(it->path());
    if (ec) Fail(where, "cannot read folder " + Quote(Display(folder)) + ": " + ec.message());
    std::sort(items.begin(), items.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename().string() < b.filename().string(); });

    for (const fs::path& item : items) {
      const std::string item_where = where + " (" + Display(item) + ")";
      const std::u16string name = HostText(item.filename(), item_where);
      const fs::file_status status = fs::status(item, ec);
      if (!fs::exists(status)) {
        std::error_code link_ec;
        if (fs::is_symlink(fs::symlink_status(item, link_ec))) Fail(item_where, Quote(Display(item)) + " is a link to nothing");
        Fail(item_where, "cannot read " + Quote(Display(item)) + ": " + ec.message());
      }
      if (fs::is_directory(status)) {
        CheckName(name, item_where);
        if (FindChild(node, name) != nullptr) {
          Fail(item_where, "a second entry named " + Quote(name) + " in one folder (names ignore case)");
        }
        AddDirectory(AddChild(node, MakeFolder(name, false)), item, where, open);
      } else if (fs::is_regular_file(status)) {
        AddFile(node, item, name, item_where);
      } else {
        Fail(item_where, Quote(Display(item)) + " is neither a file nor a folder");
      }
    }
    open.pop_back();
  }

  void ResolveEngine(CInstallProductInfo& product) {
    fs::path engine;
    std::string where;
    if (!request_.engine.empty()) {
      engine = fs::absolute(request_.engine).lexically_normal();
      where = "--engine";
    } else if (project_engine_) {
      engine = *project_engine_;
      where = "product.engine";
    } else {
      Fail("product.engine", "no engine image: name it here or pass --engine IMAGE");
    }
    std::error_code ec;
    const fs::file_status status = fs::status(engine, ec);
    if (!fs::exists(status)) Fail(where, "engine image " + Quote(Display(engine)) + " does not exist");
    if (!fs::is_regular_file(status)) Fail(where, "engine image " + Quote(Display(engine)) + " is not a regular file");
    product.SetEngineFile(HostText(engine, where));
    engine_ = engine;
  }

  // The builder truncates its output first: it must not be anything the
  // package is made from.
  void CheckOutput() {
    const fs::path& output = out_.output;
    std::error_code ec;
    const fs::file_status output_status = fs::status(output, ec);
    if (fs::is_directory(output_status)) Fail("-o", Quote(output.string()) + " is a folder");
    if (fs::exists(output_status) && !fs::is_regular_file(output_status)) {
      Fail("-o", Quote(output.string()) + " is not a regular file");
    }
    const fs::path folder = output.parent_path();
    if (!fs::is_directory(folder, ec)) Fail("-o", "folder " + Quote(folder.string()) + " does not exist");
    const fs::path log_folder = out_.buildLog.parent_path();
    if (!fs::is_directory(log_folder, ec)) {
      Fail("project.buildLog", "folder " + Quote(log_folder.string()) + " of the build log does not exist");
    }
    out_.project->GetProductInfo().SetOutputFile(HostText(output, "-o"));

    std::vector<std::pair<fs::path, std::string>> inputs = {{engine_, "the engine image"},
                                                            {fs::absolute(request_.projectFile), "the project file"}};
    for (const auto& [entry, size] : sizes_) {
      (void)size;
      inputs.emplace_back(fs::u8path(platform::ToUtf8(entry->GetSourcePath())), "a source file");
    }
    const fs::path& log = out_.buildLog;
    for (const auto& [input, what] : inputs) {
      if (Same(input, output)) Fail("-o", Quote(output.string()) + " is " + what + "; the package would overwrite it");
    }
    if (Same(log, output)) Fail("-o", Quote(output.string()) + " is the build log; the package would overwrite it");
    // The builder appends its log while it reads the inputs: a log that is
    // one of them would be written into, and packed half-written.
    const fs::file_status log_status = fs::status(log, ec);
    if (fs::is_directory(log_status)) Fail("project.buildLog", Quote(log.string()) + " is a folder");
    if (fs::exists(log_status) && !fs::is_regular_file(log_status)) {
      Fail("project.buildLog", Quote(log.string()) + " is not a regular file");
    }
    for (const auto& [input, what] : inputs) {
      if (Same(input, log)) {
        Fail("project.buildLog", Quote(log.string()) + " is " + what + "; the build log would be written into it");
      }
    }
  }

  // One file by its name or, when both exist, by what they are.
  static bool Same(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return a.lexically_normal() == b.lexically_normal() || fs::equivalent(a, b, ec);
  }

  void PlanFiles() {
    for (const auto& list : out_.project->GetExtractLists()) {
      PlanNode(*list->GetTree().GetRoot(), platform::ToUtf8(list->GetName()));
    }
  }

  // The builder's own order: each list in turn, each tree in pre-order.
  void PlanNode(const CNode& node, const std::string& list) {
    CZipFileIndexObject* entry = EntryOf(&node);
    if (entry != nullptr && !entry->IsFolder() && !entry->IsPredefined()) {
      PlannedFile file;
      file.entry = std::static_pointer_cast<CZipFileIndexObject>(node.GetDataPtr());
      file.list = list;
      file.display = Display(fs::u8path(platform::ToUtf8(entry->GetSourcePath())));
      file.size = sizes_[entry];
      out_.totalBytes += file.size;
      out_.files.push_back(std::move(file));
    }
    for (size_t i = 0; i < node.GetChildCount(); ++i) PlanNode(*node.GetChild(i), list);
  }

  const BuildRequest& request_;
  PackProject& out_;
  const fs::path base_ = fs::absolute(request_.projectFile).lexically_normal().parent_path();
  std::optional<fs::path> project_engine_;
  fs::path engine_;
  std::map<const CZipFileIndexObject*, uint64_t> sizes_;
  // Each folder's entries by folded name: a folder of many thousand files
  // is filled in linear time, not by comparing each name with all before it.
  std::unordered_map<const CNode*, std::unordered_map<std::u16string, CNode*>> children_;
  size_t depth_ = 0;
};

}  // namespace

bool LoadPackProject(const BuildRequest& request, PackProject& out, std::string& error) {
  out = PackProject();
  try {
    Loader(request, out).Load();
    return true;
  } catch (const ProjectFault& fault) {
    // Faults of the command line's own arguments ("-o", "--engine") are not
    // the project file's.
    if (fault.where.rfind('-', 0) == 0) {
      error = fault.where + ": " + fault.what;
    } else {
      error = request.projectFile.string() + ": " + (fault.where.empty() ? "" : fault.where + ": ") + fault.what;
    }
  } catch (const std::exception& e) {
    error = request.projectFile.string() + ": " + e.what();
  }
  out = PackProject();
  return false;
}

}  // namespace glimmora_pack
