#include "setup/silentrun.h"

#include "setup/resultfile.h"

InstallOutcome RunSilentInstallation(SilentRun& run) {
  const InstallOutcome outcome = RunInstallation(
      {run.engine, run.actions, run.install_folder, run.product_version, run.language_index}, nullptr);
  AppendResultSection(run.result_path, outcome.Succeeded(), ResultStyle::kSilent);
  return outcome;
}
