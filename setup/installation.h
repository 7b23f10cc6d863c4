// The one installation routine, shared by the silent run and the wizard's
// progress page: every extract list of the run into the install folder, then
// the installation actions in their fixed order, with one outcome that says
// whether everything arrived and, if not, what failed first. It is all or
// nothing: every change is journaled, and a run that fails or is cancelled
// is undone, leaving the machine as it was.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "build/extract.h"
#include "setup/installactions.h"
#include "setup/journal.h"

// Status texts, by string id of the language resources, in the order the
// installation shows them.
constexpr uint32_t kStatusShortcuts = 109;
constexpr uint32_t kStatusCopying = 110;
constexpr uint32_t kStatusDrivers = 111;
constexpr uint32_t kStatusUninstall = 112;
constexpr uint32_t kStatusSoftware = 113;
constexpr uint32_t kStatusComponents = 114;  // names the shared-files step when it failed

// The part of the installation that failed first.
enum class InstallStep {
  kNone,            // everything succeeded
  kFiles,           // an extract list did not extract completely
  kShortcuts,
  kDriver,
  kUninstallEntry,
  kProductInfo,     // the product key or the driver's service key
  kSharedFiles,     // shared files, the shared data folder or the COM registration
  kCancelled,       // the user stopped it
};

struct InstallOutcome {
  InstallStep failed_step = InstallStep::kNone;
  std::u16string failed_list;        // kFiles: the list
  int32_t list_result = EXTRACT_OK;  // kFiles: the engine's result for it
  std::u16string failed_file;        // kFiles: the first file not written, when one is known
  bool driver_installed = false;     // the driver is in place: a restart activates it
  bool rolled_back = false;          // the run failed and everything it changed was undone
  bool restart_needed = false;       // a replaced file in use goes at the next restart

  bool Succeeded() const { return failed_step == InstallStep::kNone; }
};

// What the installation tells whoever watches it. Every call comes from the
// installing thread, in the middle of the work.
class InstallationObserver {
 public:
  virtual ~InstallationObserver() = default;
  // A new status line (one of the kStatus ids).
  virtual void OnStatus(uint32_t status_id) { (void)status_id; }
  // Bytes of all the run's lists written, in percent; called only when the
  // value changes, so it rises from 0 and reaches 100 once, exactly when the
  // last file is written.
  virtual void OnProgress(int32_t percent) { (void)percent; }
  // Every engine event while files are written, to keep a window alive.
  virtual void OnEngineEvent() {}
  // Asked at every file and between the steps: true stops the run at the
  // next file boundary, and everything done so far is undone.
  virtual bool CancelRequested() { return false; }
};

struct InstallationRequest {
  CMyExtract& engine;                // an engine whose package is open
  CInstallActions& actions;
  std::u16string install_folder;     // a backslash is appended when missing
  std::u16string product_version;
  int32_t language_index = 1;        // stored as "Lang"
  std::u16string journal_key = kJournalKey;
  // Folders made for this installation before it started (the install
  // folder's levels, made when the wizard checked the folder): a failed run
  // removes them too.
  std::vector<std::u16string> folders_made_before = {};
};

// Runs the whole installation. The first failure (or a cancel) ends it:
// everything the run changed is undone, and the outcome names what failed.
// `observer` may be null.
InstallOutcome RunInstallation(const InstallationRequest& request, InstallationObserver* observer);

// The packed bytes of every file of the run's lists that the package
// carries: the measure of the progress bar.
uint64_t InstallationPayloadBytes(CMyExtract& engine);
