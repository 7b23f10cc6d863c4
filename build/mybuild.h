// The package builder: copies the setup program image, appends one zlib
// stream per file of every extract list, stores the project as the index
// stream and closes the package with its trailer. Every step is logged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "build/logsystem.h"
#include "build/packageformat.h"
#include "build/resultcodes.h"
#include "build/zip.h"
#include "install/installproject.h"

class CAbstractBuild {
 public:
  virtual ~CAbstractBuild() = default;
  // The operations in their fixed order.
  virtual void SetZip(CAbstractZip* zip) = 0;
  virtual void SetProject(CInstallProject* project) = 0;
  virtual void SetLog(CAbstractLogSystem* log) = 0;
  virtual int32_t BuildPackage(std::u16string outputPath, ExtractProgressProc progress, void* userData) = 0;
  virtual int32_t BuildEngine(platform::File& out) = 0;
  virtual int32_t BuildFiles(platform::File& out, ExtractProgressProc progress, void* userData) = 0;
  virtual void SetLogWindow(void* window) = 0;
};

class CMyBuild : public CAbstractBuild {
 public:
  CMyBuild();

  void SetZip(CAbstractZip* zip) override { zip_.reset(zip); }
  // Also points the log at the project's build log file.
  void SetProject(CInstallProject* project) override;
  void SetLog(CAbstractLogSystem* log) override { log_.reset(log); }
  int32_t BuildPackage(std::u16string outputPath, ExtractProgressProc progress, void* userData) override;
  int32_t BuildEngine(platform::File& out) override;
  int32_t BuildFiles(platform::File& out, ExtractProgressProc progress, void* userData) override;
  void SetLogWindow(void* window) override;
  virtual int32_t BuildIndex(platform::File& out, ExtractProgressProc progress, void* userData);
  virtual int32_t BuildTable(platform::File& out);
  virtual int32_t BuildList(platform::File& out, CExtractFileList* list, ExtractProgressProc progress, void* userData);
  virtual int32_t BuildNode(platform::File& out, CNode* node, ExtractProgressProc progress, void* userData);
  virtual int32_t BuildChildren(platform::File& out, CNode* node, ExtractProgressProc progress, void* userData);
  virtual int32_t BuildEntry(platform::File& out, CZipFileIndexObject* entry, ExtractProgressProc progress,
                             void* userData);

  // Adds a package table row for the file at `fullPath`: 1, or 0 when the
  // table is full or the file cannot be read.
  int32_t AddTableRow(const std::u16string& fullPath, const std::u16string& baseFolder);

  const PackageTable& GetTable() const { return table_; }
  // Author-side extras of each row, not stored in the package.
  struct RowSource {
    std::u16string sourcePath;
    std::u16string relativeFolder;
  };
  const RowSource& GetRowSource(uint32_t i) const { return sources_[i]; }

 private:
  void Log(const std::u16string& text) { if (log_) log_->WriteLine(text); }
  void LogText(const std::u16string& format, const std::u16string& text) {
    if (log_) log_->WriteFormatText(format, text);
  }

  CInstallProject* project_ = nullptr;
  std::unique_ptr<CAbstractZip> zip_;
  std::unique_ptr<CAbstractLogSystem> log_;
  PackageTable table_;
  std::array<RowSource, kPackageTableRows> sources_;
};
