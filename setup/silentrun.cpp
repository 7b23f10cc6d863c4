#include "setup/silentrun.h"

#include "setup/languagetable.h"
#include "setup/resultfile.h"

bool RunSilentInstallation(SilentRun& run) {
  std::u16string folder = run.install_folder;
  if (folder.empty() || folder.back() != u'\\') folder += u'\\';

  run.engine.SetDestDir(folder);
  bool complete = true;
  for (const std::u16string& list : SilentRunLists()) {
    const int32_t result = run.engine.ExtractListTo(folder, list, nullptr, nullptr);
    // A package need not carry every language list; anything else that is
    // not success means files are missing or damaged.
    if (result != EXTRACT_OK && result != EXTRACT_ERR_NOT_FOUND) complete = false;
  }

  RunInstallActions(run.actions, folder, run.product_version, run.language_index);

  AppendResultLine(run.result_path, kResultHeader);
  AppendResultLine(run.result_path, complete ? kResultSilentOk : kResultFailed);
  return complete;
}
