// The extraction engine: finds the trailer of a package, inflates its index
// into a temporary file, loads the install project from it, and writes the
// files of an extract list below their target folders with progress reports.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "build/logsystem.h"
#include "build/packageformat.h"
#include "build/resultcodes.h"
#include "build/zip.h"
#include "install/installproject.h"

// Told of every change the engine makes on disk, so that an installation
// can be undone. Without one, a replaced file is removed at once.
class ExtractChangeSink {
 public:
  virtual ~ExtractChangeSink() = default;
  virtual void FolderCreated(const std::u16string& path) = 0;
  // `previous_aside` is where the file it replaced was moved to (in the
  // same folder), or empty for a new file.
  virtual void FileWritten(const std::u16string& path, const std::u16string& previous_aside) = 0;
  // Asked before `incoming` (complete, in its own file) takes the place of
  // the file at `path`: true keeps the file that is there (a newer shared
  // library, say), and the incoming one is dropped.
  virtual bool KeepExisting(const std::u16string& path, const std::u16string& incoming) {
    (void)path;
    (void)incoming;
    return false;
  }
};

class CAbstractExtract {
 public:
  virtual ~CAbstractExtract() = default;
  // The operations in their fixed order.
  virtual int32_t ExtractAll(std::u16string folder, ExtractProgressProc progress, void* userData) = 0;
  virtual int32_t CheckPackage(std::u16string path) = 0;
  virtual int32_t OpenPackage(std::u16string path) = 0;
  virtual int32_t LoadIndex(platform::File& package, std::u16string tempFolder) = 0;
  virtual CAbstractExtract* SetZip(CAbstractZip* zip) = 0;
  virtual CAbstractExtract* SetLog(CAbstractLogSystem* log) = 0;
  virtual int32_t SetLogWindow(void* window) = 0;
  virtual CInstallProject* GetProject() = 0;
  virtual void SetDestDir(std::u16string folder) = 0;
  virtual std::u16string GetDestDir() = 0;
  virtual int32_t ExtractListTo(std::u16string folder, std::u16string listName, ExtractProgressProc progress,
                                void* userData) = 0;
  virtual int32_t ExtractListByName(platform::File& package, std::u16string listName, ExtractProgressProc progress,
                                    void* userData) = 0;
  virtual int32_t ExtractList(platform::File& package, CExtractFileList* list, ExtractProgressProc progress,
                              void* userData) = 0;
  virtual int32_t ExtractNode(platform::File& package, CNode* node, ExtractProgressProc progress,
                              void* userData) = 0;
  virtual int32_t ExtractChildren(platform::File& package, CNode* node, ExtractProgressProc progress,
                                  void* userData) = 0;
  virtual int32_t ExtractEntry(platform::File& package, CZipFileIndexObject* entry, std::u16string folder,
                               ExtractProgressProc progress, void* userData) = 0;
};

class CMyExtract : public CAbstractExtract {
 public:
  CMyExtract();

  int32_t ExtractAll(std::u16string folder, ExtractProgressProc progress, void* userData) override;
  int32_t CheckPackage(std::u16string path) override;
  int32_t OpenPackage(std::u16string path) override;
  int32_t LoadIndex(platform::File& package, std::u16string tempFolder) override;
  CAbstractExtract* SetZip(CAbstractZip* zip) override;
  CAbstractExtract* SetLog(CAbstractLogSystem* log) override;
  int32_t SetLogWindow(void* window) override;
  CInstallProject* GetProject() override { return &project_; }
  void SetDestDir(std::u16string folder) override { destination_ = std::move(folder); }
  std::u16string GetDestDir() override { return destination_; }
  int32_t ExtractListTo(std::u16string folder, std::u16string listName, ExtractProgressProc progress,
                        void* userData) override;
  int32_t ExtractListByName(platform::File& package, std::u16string listName, ExtractProgressProc progress,
                            void* userData) override;
  int32_t ExtractList(platform::File& package, CExtractFileList* list, ExtractProgressProc progress,
                      void* userData) override;
  int32_t ExtractNode(platform::File& package, CNode* node, ExtractProgressProc progress, void* userData) override;
  int32_t ExtractChildren(platform::File& package, CNode* node, ExtractProgressProc progress, void* userData) override;
  int32_t ExtractEntry(platform::File& package, CZipFileIndexObject* entry, std::u16string folder,
                       ExtractProgressProc progress, void* userData) override;

  void SetPackagePath(const std::u16string& path) { package_path_ = path; }
  std::u16string GetPackagePath() const { return package_path_; }
  const PackageTable& GetTable() const { return table_; }
  // Why the last index load failed, for tools that report it.
  const std::string& GetIndexError() const { return index_error_; }

  // Packed bytes of payload streams inflated so far, the stream in progress
  // included; with the packed sizes of the index this measures a run's
  // progress in bytes. Only grows.
  uint64_t GetPayloadBytesRead() const { return payload_bytes_done_ + stream_bytes_in_; }
  // The target path of the first file that could not be written completely
  // since the last ClearFailedFile(), or empty.
  const std::u16string& GetFirstFailedFile() const { return first_failed_file_; }
  void ClearFailedFile() { first_failed_file_.clear(); }

  void SetChangeSink(ExtractChangeSink* sink) { sink_ = sink; }
  // No further file is started once asked (from a progress callback, say):
  // the lists end with EXTRACT_ERR_STOPPED. ClearStop allows work again.
  void RequestStop() { stop_ = true; }
  void ClearStop() { stop_ = false; }

 private:
  // Inflates the stream at `offset` into `out`; true when it reached its end.
  // A payload stream's consumed bytes are counted in GetPayloadBytesRead.
  bool InflateStream(platform::File& package, uint32_t offset, uint32_t packed_size, platform::File& out,
                     ExtractProgressProc progress, void* userData, bool payload = false);
  uint64_t StreamBytesIn() const;
  void NoteFailedFile(const std::u16string& path);
  // Creates one folder level, telling the sink when it is new.
  bool MakeFolder(const std::u16string& path);
  // Moves the finished `temp` over `path`; the previous file goes aside.
  bool PutInPlace(const std::u16string& temp, const std::u16string& path);
  // Creates each level of `path` ("Create <first>" per prefix, then
  // "Create <whole>" and the path itself), ignoring failures.
  void CreateFolderLevels(const std::u16string& path, const char16_t* prefix_trace, const char16_t* whole_trace);

  PackageTable table_;
  std::unique_ptr<CAbstractZip> zip_;
  std::unique_ptr<CAbstractLogSystem> log_;
  CInstallProject project_;
  std::u16string package_path_;
  std::u16string destination_;
  std::string index_error_;
  uint64_t payload_bytes_done_ = 0;
  uint64_t stream_bytes_in_ = 0;
  std::u16string first_failed_file_;
  ExtractChangeSink* sink_ = nullptr;
  bool stop_ = false;
};

// True when `path` names a place on a drive or share ("X:\..." or "\\..."),
// not one relative to whatever the current folder is.
bool IsRootedPath(const std::u16string& path);
