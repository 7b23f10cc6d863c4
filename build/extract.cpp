#include "build/extract.h"

#include "build/fileplace.h"
#include "build/indexstream.h"
#include "install/projectloader.h"
#include "platform/diag.h"

namespace {

void Trace(const char16_t* text, const std::u16string& path) {
  platform::DebugOutput(text);
  platform::DebugOutput(path);
}

}  // namespace

bool IsRootedPath(const std::u16string& path) {
  if (path.size() >= 3 && path[1] == u':' && path[2] == u'\\') {
    const char16_t d = path[0];
    return (d >= u'A' && d <= u'Z') || (d >= u'a' && d <= u'z');
  }
  return path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\';
}

CMyExtract::CMyExtract()
    : zip_(std::make_unique<CMyZip>()), log_(std::make_unique<CMyLogSystem>()), package_path_(platform::ModulePath()) {}

CAbstractExtract* CMyExtract::SetZip(CAbstractZip* zip) {
  zip_.reset(zip);
  return this;
}

CAbstractExtract* CMyExtract::SetLog(CAbstractLogSystem* log) {
  log_.reset(log);
  return this;
}

int32_t CMyExtract::SetLogWindow(void* window) {
  if (log_) log_->SetLogWindow(window);
  return 0;
}

int32_t CMyExtract::CheckPackage(std::u16string path) {
  table_.count = 0;
  platform::File package = platform::File::Open(path, platform::OpenMode::kReadShared);
  if (!package.IsOpen()) return EXTRACT_ERR_OPEN;
  uint32_t count = 0;
  const int32_t result = ReadPackageTrailer(package, nullptr, &count);
  if (result == EXTRACT_OK) table_.count = count;
  return result;
}

int32_t CMyExtract::OpenPackage(std::u16string path) {
  table_.count = 0;
  platform::File package = platform::File::Open(path, platform::OpenMode::kReadShared);
  if (!package.IsOpen()) return EXTRACT_ERR_OPEN;
  const int32_t result = ReadPackageTrailer(package, &table_, nullptr);
  if (result != EXTRACT_OK) return result;
  return LoadIndex(package, platform::TempFolder());
}

uint64_t CMyExtract::StreamBytesIn() const {
  const auto* my_zip = dynamic_cast<const CMyZip*>(zip_.get());
  return my_zip ? my_zip->GetTotalIn() : 0;
}

void CMyExtract::NoteFailedFile(const std::u16string& path) {
  if (first_failed_file_.empty()) first_failed_file_ = path;
}

bool CMyExtract::InflateStream(platform::File& package, uint32_t offset, uint32_t packed_size, platform::File& out,
                               ExtractProgressProc progress, void* userData, bool payload) {
  if (!zip_) return false;
  if (package.Seek(offset, platform::SeekOrigin::kBegin) != static_cast<int64_t>(offset)) return false;
  zip_->InitStream(0);
  zip_->SetTotal(packed_size);
  int32_t z = Z_OK;
  while (zip_->FillInputBlock(package) != 0) {
    z = zip_->InflateStep(Z_NO_FLUSH);
    zip_->FlushOutputBlock(out);
    if (payload) stream_bytes_in_ = StreamBytesIn();
    if (z != Z_OK) break;
    if (progress) {
      int32_t percent = static_cast<int32_t>(zip_->GetPercent());
      progress(PROGRESS_STEP, &percent, userData);
    }
  }
  // Whatever zlib still holds comes out with Z_FINISH.
  while (z == Z_OK) {
    z = zip_->InflateStep(Z_FINISH);
    zip_->FlushOutputBlock(out);
  }
  zip_->EndStream(0);
  if (payload) {
    payload_bytes_done_ += StreamBytesIn();
    stream_bytes_in_ = 0;
  }
  auto* my_zip = dynamic_cast<CMyZip*>(zip_.get());
  return z == Z_STREAM_END && !(my_zip && my_zip->WriteFailed());
}

int32_t CMyExtract::LoadIndex(platform::File& package, std::u16string tempFolder) {
  index_error_.clear();
  if (table_.count == 0) return EXTRACT_ERR_SIGNATURE;
  const PackageTableEntry& row = table_.rows[0];
  // The name comes from the package, which anyone can hand us: it must name
  // one file inside the temporary folder.
  if (!IsSafeEntryName(row.name)) {
    index_error_ = "the index entry's name is not a plain file name";
    return EXTRACT_ERR_SIGNATURE;
  }
  // Inflated in memory, bounded by its row and a fixed cap: no temporary
  // file is left behind, and a hostile index cannot fill memory or disk.
  (void)tempFolder;
  std::vector<uint8_t> index;
  if (const int32_t r = ReadIndexStream(package, row, index, index_error_); r != EXTRACT_OK) return r;
  const ProjectLoadResult loaded = LoadProject(index.data(), index.size(), project_);
  if (!loaded.ok) {
    index_error_ = loaded.error;
    return EXTRACT_ERR_SIGNATURE;
  }
  return EXTRACT_OK;
}

bool CMyExtract::MakeFolder(const std::u16string& path) {
  if (!platform::CreateFolder(path)) return false;  // an existing level or a drive is fine
  if (sink_) sink_->FolderCreated(path);
  return true;
}

void CMyExtract::CreateFolderLevels(const std::u16string& path, const char16_t* prefix_trace,
                                    const char16_t* whole_trace) {
  for (size_t i = 1; i < path.size(); ++i) {
    if (path[i] != u'\\') continue;
    const std::u16string prefix = path.substr(0, i);
    Trace(prefix_trace, prefix);
    MakeFolder(prefix);
  }
  Trace(whole_trace, path);
  MakeFolder(path);
}

int32_t CMyExtract::ExtractListTo(std::u16string folder, std::u16string listName, ExtractProgressProc progress,
                                  void* userData) {
  if (folder.empty()) return EXTRACT_ERR_NO_DIR;
  CreateFolderLevels(folder, u"Create 9", u"Create 10");
  platform::File package = platform::File::Open(package_path_, platform::OpenMode::kReadShared);
  if (!package.IsOpen()) return EXTRACT_ERR_OPEN;
  return ExtractListByName(package, listName, progress, userData);
}

int32_t CMyExtract::ExtractAll(std::u16string folder, ExtractProgressProc progress, void* userData) {
  if (folder.empty()) return EXTRACT_ERR_NO_DIR;
  destination_ = folder;
  CreateFolderLevels(folder, u"Create 7", u"Create 8");
  platform::File package = platform::File::Open(package_path_, platform::OpenMode::kReadShared);
  if (!package.IsOpen()) return EXTRACT_ERR_OPEN;
  // Every list is extracted; the first failure is the result.
  int32_t result = EXTRACT_OK;
  for (const auto& list : project_.GetExtractLists()) {
    const int32_t r = ExtractList(package, list.get(), progress, userData);
    if (result == EXTRACT_OK) result = r;
  }
  return result;
}

int32_t CMyExtract::ExtractListByName(platform::File& package, std::u16string listName, ExtractProgressProc progress,
                                      void* userData) {
  for (const auto& list : project_.GetExtractLists()) {
    if (list->GetName() == listName) return ExtractList(package, list.get(), progress, userData);
  }
  return EXTRACT_ERR_NOT_FOUND;
}

int32_t CMyExtract::ExtractList(platform::File& package, CExtractFileList* list, ExtractProgressProc progress,
                                void* userData) {
  if (list == nullptr) return EXTRACT_OK;
  return ExtractNode(package, list->GetTree().GetRoot(), progress, userData);
}

int32_t CMyExtract::ExtractNode(platform::File& package, CNode* node, ExtractProgressProc progress, void* userData) {
  if (node == nullptr) return EXTRACT_OK;
  if (auto* entry = dynamic_cast<CZipFileIndexObject*>(node->GetData())) {
    // Every name but a predefined folder's token becomes a level of the
    // paths below it, the list's root and a folder directly below it
    // included (their own target folder is empty, so ExtractEntry never
    // sees the name): nothing below an unsafe name is visited.
    if (!entry->IsPredefined() && !IsSafeEntryName(entry->GetName())) {
      NoteFailedFile(TargetFolder(*node, destination_) + entry->GetName());
      return EXTRACT_ERR_DATA;
    }
    const std::u16string folder = TargetFolder(*node, destination_);
    Trace(u"create directory2", folder);
    const int32_t result = ExtractEntry(package, entry, folder, progress, userData);
    // A failed entry ends its own subtree; a folder that was not made would
    // otherwise send its children somewhere else.
    if (result != EXTRACT_OK) return result;
  }
  return ExtractChildren(package, node, progress, userData);
}

int32_t CMyExtract::ExtractChildren(platform::File& package, CNode* node, ExtractProgressProc progress,
                                    void* userData) {
  if (node == nullptr) return EXTRACT_OK;
  int32_t result = EXTRACT_OK;
  for (size_t i = 0; i < node->GetChildCount() && !stop_; ++i) {
    // Siblings of a failed entry are still extracted; the first failure is kept.
    const int32_t r = ExtractNode(package, node->GetChild(i), progress, userData);
    if (result == EXTRACT_OK) result = r;
  }
  return result;
}

int32_t CMyExtract::ExtractEntry(platform::File& package, CZipFileIndexObject* entry, std::u16string folder,
                                 ExtractProgressProc progress, void* userData) {
  if (entry == nullptr || entry->IsPredefined() || folder.empty()) return EXTRACT_OK;
  if (folder.back() != u'\\') folder += u'\\';
  // Every write stays inside the folder the tree computes: the name is one
  // plain component, and the folder is a real place, not one relative to
  // whatever the current folder happens to be.
  if (!IsSafeEntryName(entry->GetName()) || !IsRootedPath(folder)) {
    NoteFailedFile(folder + entry->GetName());
    return EXTRACT_ERR_DATA;
  }
  const std::u16string path = folder + entry->GetName();

  if (entry->IsFolder()) {
    Trace(u"Create 4", path);
    MakeFolder(path);
    return EXTRACT_OK;
  }
  if (stop_) return EXTRACT_ERR_STOPPED;

  if (progress) {
    int32_t percent = zip_ ? static_cast<int32_t>(zip_->GetPercent()) : 0;
    progress(PROGRESS_FILE_BEGIN, &percent, userData);
  }
  // The stream is inflated into a new file of its own and takes the
  // target's place only once it reached its end with a correct checksum:
  // a damaged stream never destroys the file that was there.
  Trace(u"Create 3", path);
  const std::u16string temp = platform::TempFileName(folder, u"gl~");
  bool complete = false;
  bool created = false;
  if (!temp.empty()) {
    platform::File out = platform::File::Open(temp, platform::OpenMode::kCreateTruncate);
    created = out.IsOpen();
    complete = created && entry->GetOffset() >= 0 &&
               InflateStream(package, static_cast<uint32_t>(entry->GetOffset()),
                             static_cast<uint32_t>(entry->GetPackedSize()), out, progress, userData, true);
  }
  const bool placed = complete && PutInPlace(temp, path);
  if (!placed) {
    if (!temp.empty()) platform::RemoveFile(temp);
    NoteFailedFile(path);
  }
  if (progress) {
    int32_t percent = zip_ ? static_cast<int32_t>(zip_->GetPercent()) : 0;
    progress(PROGRESS_FILE_END, &percent, userData);
  }
  if (placed) return EXTRACT_OK;
  return complete || !created ? EXTRACT_ERR_CREATE : EXTRACT_ERR_DATA;
}

bool CMyExtract::PutInPlace(const std::u16string& temp, const std::u16string& path) {
  std::u16string aside;
  if (platform::FileExists(path) && sink_ && sink_->KeepExisting(path, temp)) {
    platform::RemoveFile(temp);
    return true;
  }
  if (platform::FileExists(path)) {
    // Moved rather than overwritten: a program that is running can be
    // renamed though not replaced, and an installation that fails later
    // puts the previous file back.
    aside = MoveAside(path);
    if (aside.empty()) return false;
  }
  if (!platform::MoveFileOver(temp, path)) {
    if (!aside.empty()) platform::MoveFileOver(aside, path);
    return false;
  }
  if (sink_) {
    sink_->FileWritten(path, aside);
  } else if (!aside.empty()) {
    RemoveNowOrAtRestart(aside);
  }
  return true;
}
