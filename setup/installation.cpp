#include "setup/installation.h"

#include <functional>

#include "platform/file.h"
#include "platform/registry.h"
#include "setup/languagetable.h"
#include "setup/sharedfiles.h"

namespace {

uint64_t PayloadBytesBelow(CNode* node) {
  if (node == nullptr) return 0;
  uint64_t bytes = 0;
  if (auto* entry = dynamic_cast<CZipFileIndexObject*>(node->GetData())) {
    if (!entry->IsFolder() && !entry->IsPredefined() && entry->GetPackedSize() > 0) {
      bytes += static_cast<uint64_t>(entry->GetPackedSize());
    }
  }
  for (size_t i = 0; i < node->GetChildCount(); ++i) bytes += PayloadBytesBelow(node->GetChild(i));
  return bytes;
}

// Turns the engine's events into percent of the run's bytes.
class ProgressMeter {
 public:
  ProgressMeter(CMyExtract& engine, InstallationObserver* observer)
      : engine_(engine), observer_(observer), start_(engine.GetPayloadBytesRead()),
        total_(InstallationPayloadBytes(engine)) {}

  static void Callback(int32_t code, int32_t*, void* user_data) {
    auto* meter = static_cast<ProgressMeter*>(user_data);
    meter->Report(meter->Percent());
    if (!meter->observer_) return;
    meter->observer_->OnEngineEvent();
    if (code == PROGRESS_FILE_END && meter->observer_->CancelRequested()) meter->engine_.RequestStop();
  }

  void Report(int32_t percent) {
    if (percent <= last_) return;  // never backwards, each value once
    last_ = percent;
    if (observer_) observer_->OnProgress(percent);
  }

  // Every file written: the end of the bar, even when the index's sizes
  // and the streams disagree (or there was nothing to write).
  void Complete() { Report(100); }

 private:
  int32_t Percent() const {
    if (total_ == 0) return 0;
    const uint64_t done = engine_.GetPayloadBytesRead() - start_;
    if (done >= total_) return 100;
    return static_cast<int32_t>(done * 100 / total_);
  }

  CMyExtract& engine_;
  InstallationObserver* observer_;
  uint64_t start_;
  uint64_t total_;
  int32_t last_ = -1;
};

void Status(InstallationObserver* observer, uint32_t id) {
  if (observer) observer->OnStatus(id);
}

bool StartsWithFolder(const std::u16string& path, const std::u16string& folder) {
  if (folder.empty() || path.size() <= folder.size() || path[folder.size()] != u'\\') return false;
  for (size_t i = 0; i < folder.size(); ++i) {
    const auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; };
    if (fold(path[i]) != fold(folder[i])) return false;
  }
  return true;
}

// The engine's files and folders, into the run's journal. Files the
// package puts into the system or Windows folder are shared with other
// software: they follow the shared-file rules and are counted.
class JournalSink : public ExtractChangeSink {
 public:
  JournalSink(InstallJournal& journal, CInstallActions& actions)
      : journal_(journal), actions_(actions), system_(platform::SpecialFolderPath(0x25)),
        windows_(platform::SpecialFolderPath(0x24)) {}
  void FolderCreated(const std::u16string& path) override { journal_.FolderCreated(path); }
  void FileWritten(const std::u16string& path, const std::u16string& previous_aside) override {
    if (previous_aside.empty()) {
      journal_.FileCreated(path);
    } else {
      journal_.FileReplaced(path, previous_aside);
    }
    if (IsShared(path)) actions_.AddDeliveredSharedFile(path);
  }
  bool KeepExisting(const std::u16string& path, const std::u16string& incoming) override {
    if (!IsShared(path) || MayReplaceSharedFile(FileVersionOf(incoming), DescribeExistingFile(path))) return false;
    actions_.AddDeliveredSharedFile(path);
    return true;
  }

 private:
  bool IsShared(const std::u16string& path) const {
    return StartsWithFolder(path, system_) || StartsWithFolder(path, windows_);
  }

  InstallJournal& journal_;
  CInstallActions& actions_;
  std::u16string system_, windows_;
};

// Keeps the engine and the actions tied to the journal for one run.
class JournalScope {
 public:
  JournalScope(CMyExtract& engine, CInstallActions& actions, InstallJournal& journal)
      : engine_(engine), actions_(actions), sink_(journal, actions) {
    engine_.SetChangeSink(&sink_);
    engine_.ClearStop();
    actions_.SetJournal(&journal);
    actions_.ClearDeliveredSharedFiles();
  }
  ~JournalScope() {
    engine_.SetChangeSink(nullptr);
    engine_.ClearStop();
    actions_.SetJournal(nullptr);
  }
  JournalScope(const JournalScope&) = delete;
  JournalScope& operator=(const JournalScope&) = delete;

 private:
  CMyExtract& engine_;
  CInstallActions& actions_;
  JournalSink sink_;
};

bool Cancelled(InstallationObserver* observer) { return observer && observer->CancelRequested(); }

}  // namespace

uint64_t InstallationPayloadBytes(CMyExtract& engine) {
  uint64_t bytes = 0;
  for (const std::u16string& name : InstallationLists()) {
    for (const auto& list : engine.GetProject()->GetExtractLists()) {
      // The engine takes the first list of a name; so does the measure.
      if (list->GetName() == name) {
        bytes += PayloadBytesBelow(list->GetTree().GetRoot());
        break;
      }
    }
  }
  return bytes;
}

InstallOutcome RunInstallation(const InstallationRequest& request, InstallationObserver* observer) {
  std::u16string folder = request.install_folder;
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';
  InstallOutcome outcome;
  InstallJournal journal(request.journal_key);
  CMyExtract& engine = request.engine;
  CInstallActions& actions = request.actions;
  // A repair of an installed product does not count its shared files again.
  const platform::RegKey product = platform::RegKey::Open(platform::kLocalMachine, u"SOFTWARE\\Tavrin\\Glimmora");
  actions.SetCountSharedFiles(!(product.IsValid() && product.QueryValue(u"InstallDir").has_value()));
  JournalScope scope(engine, actions, journal);
  for (const std::u16string& made : request.folders_made_before) journal.FolderCreated(made);

  Status(observer, kStatusCopying);
  engine.SetDestDir(folder);
  engine.ClearFailedFile();
  ProgressMeter meter(engine, observer);
  meter.Report(0);
  for (const std::u16string& list : InstallationLists()) {
    const int32_t result = engine.ExtractListTo(folder, list, &ProgressMeter::Callback, &meter);
    // A package need not carry every language list; anything else that is
    // not success means files are missing or damaged.
    if (result == EXTRACT_OK || result == EXTRACT_ERR_NOT_FOUND) continue;
    if (result == EXTRACT_ERR_STOPPED) {
      outcome.failed_step = InstallStep::kCancelled;
    } else {
      outcome.failed_step = InstallStep::kFiles;
      outcome.failed_list = list;
      outcome.list_result = result;
      outcome.failed_file = engine.GetFirstFailedFile();
    }
    break;
  }

  // The actions in their fixed order, each only while nothing has failed.
  actions.SetInstallFolder(folder);
  const auto step = [&](uint32_t status, InstallStep name, const std::function<bool()>& action) {
    if (!outcome.Succeeded()) return;
    if (Cancelled(observer)) {
      outcome.failed_step = InstallStep::kCancelled;
      return;
    }
    Status(observer, status);
    if (!action()) outcome.failed_step = name;
  };
  if (outcome.Succeeded()) meter.Complete();
  step(kStatusShortcuts, InstallStep::kShortcuts, [&] { return actions.CreateShortcuts(0); });
  step(kStatusDrivers, InstallStep::kDriver, [&] { return outcome.driver_installed = actions.InstallDriver(); });
  step(kStatusUninstall, InstallStep::kUninstallEntry,
       [&] { return actions.RegisterUninstallEntry(request.product_version, kProductName, folder); });
  step(kStatusSoftware, InstallStep::kProductInfo, [&] {
    return actions.RegisterProductInfo(kProductName, folder + u"Glimmora.exe", folder, request.product_version,
                                       kCompanyName, request.language_index);
  });
  step(kStatusSoftware, InstallStep::kSharedFiles, [&] { return actions.DeploySharedFiles(); });

  if (outcome.Succeeded()) {
    journal.Commit();
    outcome.restart_needed = journal.RestartNeeded();
  } else {
    journal.RollBack();
    outcome.rolled_back = true;
    outcome.driver_installed = false;
  }
  return outcome;
}
