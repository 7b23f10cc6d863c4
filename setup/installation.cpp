#include "setup/installation.h"

#include "setup/languagetable.h"

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

  static void Callback(int32_t, int32_t*, void* user_data) {
    auto* meter = static_cast<ProgressMeter*>(user_data);
    meter->Report(meter->Percent());
    if (meter->observer_) meter->observer_->OnEngineEvent();
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

void NoteFailure(InstallOutcome& outcome, bool ok, InstallStep step) {
  if (!ok && outcome.Succeeded()) outcome.failed_step = step;
}

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

  Status(observer, kStatusCopying);
  CMyExtract& engine = request.engine;
  engine.SetDestDir(folder);
  engine.ClearFailedFile();
  ProgressMeter meter(engine, observer);
  meter.Report(0);
  bool all_files = true;
  for (const std::u16string& list : InstallationLists()) {
    const int32_t result = engine.ExtractListTo(folder, list, &ProgressMeter::Callback, &meter);
    // A package need not carry every language list; anything else that is
    // not success means files are missing or damaged.
    if (result == EXTRACT_OK || result == EXTRACT_ERR_NOT_FOUND) continue;
    all_files = false;
    if (outcome.Succeeded()) {
      outcome.failed_step = InstallStep::kFiles;
      outcome.failed_list = list;
      outcome.list_result = result;
      outcome.failed_file = engine.GetFirstFailedFile();
    }
  }
  if (all_files) meter.Complete();

  CInstallActions& actions = request.actions;
  actions.SetInstallFolder(folder);
  Status(observer, kStatusShortcuts);
  NoteFailure(outcome, actions.CreateShortcuts(0), InstallStep::kShortcuts);
  Status(observer, kStatusDrivers);
  outcome.driver_installed = actions.InstallDriver();
  NoteFailure(outcome, outcome.driver_installed, InstallStep::kDriver);
  Status(observer, kStatusUninstall);
  NoteFailure(outcome, actions.RegisterUninstallEntry(request.product_version, kProductName, folder),
              InstallStep::kUninstallEntry);
  Status(observer, kStatusSoftware);
  NoteFailure(outcome,
              actions.RegisterProductInfo(kProductName, folder + u"Glimmora.exe", folder, request.product_version,
                                          kCompanyName, request.language_index),
              InstallStep::kProductInfo);
  Status(observer, kStatusSoftware);
  NoteFailure(outcome, actions.DeploySharedFiles(), InstallStep::kSharedFiles);
  return outcome;
}
