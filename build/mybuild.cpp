#include "build/mybuild.h"

#include <vector>

#include "install/projectloader.h"
#include "platform/diag.h"

namespace {

std::u16string LastErrorText() { return platform::ErrorText(platform::LastError()); }

std::u16string FileName(const std::u16string& path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CMyBuild::CMyBuild() : zip_(std::make_unique<CMyZip>()), log_(std::make_unique<CMyLogSystem>()) {}

void CMyBuild::SetProject(CInstallProject* project) {
  project_ = project;
  if (project_ && log_) log_->SetLogFile(project_->GetProjectInfo().GetBuildLogFile());
}

void CMyBuild::SetLogWindow(void* window) {
  if (log_) log_->SetLogWindow(window);
}

int32_t CMyBuild::BuildPackage(std::u16string outputPath, ExtractProgressProc progress, void* userData) {
  table_.count = 0;
  LogText(u"--------------------------------------Build %s Start----------------------------------------", outputPath);
  platform::File out = platform::File::Open(outputPath, platform::OpenMode::kCreateTruncate);
  if (!out.IsOpen()) {
    LogText(u"Error:Can not open file,Error is %s", LastErrorText());
    return EXTRACT_ERR_CREATE;
  }
  int32_t result = BuildEngine(out);
  if (result == EXTRACT_OK) result = BuildFiles(out, progress, userData);
  if (result == EXTRACT_OK) result = BuildIndex(out, progress, userData);
  if (result == EXTRACT_OK) result = BuildTable(out);
  if (result != EXTRACT_OK) return result;
  out.Close();
  Log(u"----------------------------------Build project successfully-----------------------------");
  return EXTRACT_OK;
}

int32_t CMyBuild::BuildEngine(platform::File& out) {
  if (project_ == nullptr) {
    Log(u"Error:No specifal project in build engine");
    return BUILD_ERR_PROJECT;
  }
  const std::u16string engine = project_->GetProductInfo().GetEngineFile();
  if (engine.empty()) {
    Log(u"Error:Get empty engine path error in build engine");
    return BUILD_ERR_PROJECT;
  }
  LogText(u"Build engine address in %s", engine);
  platform::File image = platform::File::Open(engine, platform::OpenMode::kReadShared);
  if (!image.IsOpen()) {
    if (log_) log_->WriteFormatInt(u"Error:can not open engine file with error is %d", static_cast<int32_t>(platform::LastError()));
    return BUILD_ERR_PROJECT;
  }
  std::vector<uint8_t> block(kZipBlockBytes);
  for (;;) {
    const int64_t n = image.Read(block.data(), block.size());
    if (n < 0) {
      Log(u"Error:can not read the engine file");
      return BUILD_ERR_PROJECT;
    }
    if (n == 0) break;
    if (!out.Write(block.data(), static_cast<size_t>(n))) {
      LogText(u"Error:Can not open file,Error is %s", LastErrorText());
      return EXTRACT_ERR_CREATE;
    }
  }
  Log(u"Build engine successfully");
  return EXTRACT_OK;
}

int32_t CMyBuild::BuildFiles(platform::File& out, ExtractProgressProc progress, void* userData) {
  if (project_ == nullptr) {
    Log(u"Error:No specifal project");
    return BUILD_ERR_PROJECT;
  }
  for (const auto& list : project_->GetExtractLists()) {
    const int32_t result = BuildList(out, list.get(), progress, userData);
    if (result != EXTRACT_OK) {
      LogText(u"Error when build %s", list->GetName());
      return result;
    }
  }
  return EXTRACT_OK;
}

int32_t CMyBuild::BuildList(platform::File& out, CExtractFileList* list, ExtractProgressProc progress,
                            void* userData) {
  if (list == nullptr) return EXTRACT_OK;
  const int32_t result = BuildNode(out, list->GetTree().GetRoot(), progress, userData);
  if (result != EXTRACT_OK) LogText(u"ERROR Build File Tree %s", LastErrorText());
  return result;
}

int32_t CMyBuild::BuildNode(platform::File& out, CNode* node, ExtractProgressProc progress, void* userData) {
  if (node == nullptr) return EXTRACT_OK;
  auto* entry = dynamic_cast<CZipFileIndexObject*>(node->GetData());
  if (entry == nullptr) return EXTRACT_OK;
  // Only leaves that are not predefined folders are packed.
  if (!entry->IsPredefined() && !node->HasChildren()) {
    const int32_t result = BuildEntry(out, entry, progress, userData);
    if (result != EXTRACT_OK) return result;
  }
  return BuildChildren(out, node, progress, userData);
}

int32_t CMyBuild::BuildChildren(platform::File& out, CNode* node, ExtractProgressProc progress, void* userData) {
  for (size_t i = 0; i < node->GetChildCount(); ++i) {
    const int32_t result = BuildNode(out, node->GetChild(i), progress, userData);
    if (result != EXTRACT_OK) return result;
  }
  return EXTRACT_OK;
}

int32_t CMyBuild::BuildEntry(platform::File& out, CZipFileIndexObject* entry, ExtractProgressProc progress,
                             void* userData) {
  const std::u16string source_path = entry->GetSourcePath();
  if (source_path.empty() || !zip_) return EXTRACT_OK;
  LogText(u"Build:%s", source_path);
  platform::File source = platform::File::Open(source_path, platform::OpenMode::kReadShared);
  if (!source.IsOpen()) {
    const uint32_t error = platform::LastError();
    if (platform::FolderExists(source_path)) return EXTRACT_OK;
    LogText(u"ERROR:Can not build %s", source_path);
    LogText(u"ERROR reason is %s", platform::ErrorText(error));
    return BUILD_ERR_SOURCE;
  }
  if (progress) {
    // The file's path stands in for the percentage at the start of a file.
    progress(PROGRESS_FILE_BEGIN, reinterpret_cast<int32_t*>(const_cast<char16_t*>(source_path.c_str())), userData);
  }
  const int64_t offset = out.Seek(0, platform::SeekOrigin::kCurrent);
  const int64_t size = source.Size();
  if (offset < 0 || offset > INT32_MAX || size < 0 || size > UINT32_MAX) {
    LogText(u"ERROR:Can not build %s", source_path);
    Log(u"ERROR reason is the package would pass 2 GB");
    return BUILD_ERR_SOURCE;
  }
  entry->SetOffset(static_cast<int32_t>(offset));

  zip_->InitStream(1);
  zip_->SetTotal(static_cast<uint32_t>(size));
  int32_t z = Z_OK;
  while (zip_->FillInputBlock(source) != 0) {
    z = zip_->DeflateStep(Z_NO_FLUSH);
    zip_->FlushOutputBlock(out);
    if (z != Z_OK) break;
    if (progress) {
      int32_t percent = static_cast<int32_t>(zip_->GetPercent());
      progress(PROGRESS_STEP, &percent, userData);
    }
  }
  source.Close();
  z = Z_OK;
  while (z == Z_OK) {
    z = zip_->DeflateStep(Z_FINISH);
    zip_->FlushOutputBlock(out);
  }
  zip_->EndStream(1);
  auto* my_zip = dynamic_cast<CMyZip*>(zip_.get());
  if (z != Z_STREAM_END || (my_zip && my_zip->WriteFailed())) {
    LogText(u"Error:Can not open file,Error is %s", LastErrorText());
    return EXTRACT_ERR_CREATE;
  }
  entry->SetPackedSize(static_cast<int32_t>(zip_->GetTotalOut()));
  if (progress) progress(PROGRESS_FILE_END, nullptr, userData);
  return EXTRACT_OK;
}

int32_t CMyBuild::BuildIndex(platform::File& out, ExtractProgressProc progress, void* userData) {
  if (project_ == nullptr) return BUILD_ERR_PROJECT;
  const std::u16string temp_folder = platform::TempFolder();
  const std::u16string temp_path = platform::TempFileName(temp_folder, u"Qiv");
  if (temp_path.empty()) return BUILD_ERR_INDEX;
  {
    platform::File temp = platform::File::Open(temp_path, platform::OpenMode::kCreateTruncate);
    if (!temp.IsOpen()) return BUILD_ERR_INDEX;
    const std::vector<uint8_t> bytes = StoreProject(*project_);
    if (!temp.Write(bytes.data(), bytes.size())) return BUILD_ERR_INDEX;
  }
  if (AddTableRow(temp_path, temp_folder) == 0) {
    if (log_) log_->WriteFormatInt(u"Error when build projectIndexFile add file error %D", static_cast<int32_t>(platform::LastError()));
    return BUILD_ERR_INDEX;
  }
  CZipFileIndexObject index_entry;
  index_entry.SetSourcePath(temp_path);
  index_entry.SetName(FileName(temp_path));
  const int32_t result = BuildEntry(out, &index_entry, progress, userData);
  if (result != EXTRACT_OK) return result;
  PackageTableEntry& row = table_.rows[table_.count - 1];
  row.offset = static_cast<uint32_t>(index_entry.GetOffset());
  row.packedSize = static_cast<uint32_t>(index_entry.GetPackedSize());
  Log(u"Build project index file");
  return EXTRACT_OK;
}

int32_t CMyBuild::AddTableRow(const std::u16string& fullPath, const std::u16string& baseFolder) {
  if (table_.count >= kPackageTableRows) return 0;
  platform::File file = platform::File::Open(fullPath, platform::OpenMode::kReadShared);
  if (!file.IsOpen()) return 0;
  const int64_t size = file.Size();
  if (size < 0 || size > UINT32_MAX) return 0;
  PackageTableEntry& row = table_.rows[table_.count];
  RowSource& source = sources_[table_.count];
  row.unpackedSize = static_cast<uint32_t>(size);
  row.offset = 0;
  row.packedSize = 0;
  row.name = FileName(fullPath);
  source.sourcePath = fullPath;
  std::u16string base = baseFolder;
  if (!base.empty() && base.back() != u'\\') base += u'\\';
  std::u16string folder = fullPath.substr(0, fullPath.size() - row.name.size());
  if (folder.compare(0, base.size(), base) == 0) folder.erase(0, base.size());
  source.relativeFolder = folder;
  ++table_.count;
  return 1;
}

int32_t CMyBuild::BuildTable(platform::File& out) {
  const std::vector<uint8_t> trailer = EncodePackageTrailer(table_);
  if (!out.Write(trailer.data(), trailer.size())) return EXTRACT_ERR_CREATE;
  Log(u"Build file table data and singnature");
  return EXTRACT_OK;
}
