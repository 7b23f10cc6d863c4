// The unattended installation: every extract list into the default install
// folder, the installation actions, and the result-file section.
#pragma once

#include <cstdint>
#include <string>

#include "build/extract.h"
#include "setup/installactions.h"

struct SilentRun {
  CAbstractExtract& engine;
  CInstallActions& actions;
  std::u16string install_folder;   // a backslash is appended when missing
  std::u16string product_version;
  int32_t language_index = 1;
  std::string result_path;         // ANSI bytes
};

// Runs the installation and appends its section to the result file:
// "ResultCode=0" when every list the package carries extracted completely,
// "ResultCode = -1" when any of them failed (a damaged stream, an unwritable
// file). A list the package does not carry is no failure. The actions run
// either way. Returns whether the run succeeded.
bool RunSilentInstallation(SilentRun& run);
