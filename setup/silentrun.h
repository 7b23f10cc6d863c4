// The unattended installation: the one installation routine into the
// default install folder, then the result-file section.
#pragma once

#include <cstdint>
#include <string>

#include "setup/installation.h"

struct SilentRun {
  CMyExtract& engine;
  CInstallActions& actions;
  std::u16string install_folder;   // a backslash is appended when missing
  std::u16string product_version;
  int32_t language_index = 1;
  std::string result_path;         // ANSI bytes
};

// Runs the installation and appends its section to the result file:
// "ResultCode=0" when every list the package carries extracted completely
// and every action succeeded, "ResultCode = -1" otherwise. Returns the
// outcome; the process's exit code follows it.
InstallOutcome RunSilentInstallation(SilentRun& run);
