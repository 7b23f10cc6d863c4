#include "setup/failurereport.h"

#include <string>

namespace {

std::u16string Number(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

// A failed step is named by the status line that was shown while it ran.
uint32_t StepText(InstallStep step) {
  switch (step) {
    case InstallStep::kShortcuts: return kStatusShortcuts;
    case InstallStep::kDriver: return kStatusDrivers;
    case InstallStep::kUninstallEntry: return kStatusUninstall;
    case InstallStep::kProductInfo: return kStatusSoftware;
    case InstallStep::kSharedFiles: return kStatusComponents;
    case InstallStep::kFiles: return kStatusCopying;
    case InstallStep::kCancelled:
    case InstallStep::kNone: break;
  }
  return kStatusCopying;
}

}  // namespace

std::u16string DescribeFailedInstallation(const InstallOutcome& outcome, const std::u16string& result_path,
                                          const StringById& text) {
  if (outcome.Succeeded()) return {};
  const bool cancelled = outcome.failed_step == InstallStep::kCancelled;
  std::u16string report = text(cancelled ? kCancelledHeading : kFailureHeading);
  if (outcome.rolled_back) report += u"\n" + text(kNothingChanged);
  // After a cancel the user knows what stopped it; otherwise say what failed.
  if (outcome.failed_step == InstallStep::kFiles && !outcome.failed_file.empty()) {
    report += u"\n" + text(kFailedFileLabel) + u"\n" + outcome.failed_file;
  } else if (outcome.failed_step == InstallStep::kFiles) {
    report += u"\n" + text(kFailedListLabel) + u"\n" + outcome.failed_list + u" (" + Number(outcome.list_result) + u")";
  } else if (!cancelled) {
    report += u"\n" + text(kFailedStepLabel) + u"\n" + text(StepText(outcome.failed_step));
  }
  if (!result_path.empty()) report += u"\n" + text(kResultFileLabel) + u"\n" + result_path;
  return report;
}
