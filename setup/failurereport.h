// What the finish page says after an installation that did not complete:
// the heading (failed, or cancelled), that nothing was changed when the run
// was undone, what failed first (a file, a list of files or a step), and
// where the result was recorded when the caller named a result file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "setup/installation.h"

// Ids of the language resources' texts.
constexpr uint32_t kFailureHeading = 131;
constexpr uint32_t kFailedFileLabel = 132;
constexpr uint32_t kFailedListLabel = 133;
constexpr uint32_t kFailedStepLabel = 134;
constexpr uint32_t kResultFileLabel = 135;
constexpr uint32_t kNothingChanged = 136;
constexpr uint32_t kCancelledHeading = 138;

using StringById = std::function<std::u16string(uint32_t id)>;

// Lines separated by line feeds; empty for a successful outcome.
// `result_path` is the result file the command line named, or empty.
std::u16string DescribeFailedInstallation(const InstallOutcome& outcome, const std::u16string& result_path,
                                          const StringById& text);
