// Loading and storing a whole install project. The archive's exception stops
// here: a damaged index is a failure result, never a crash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "install/installproject.h"

struct ProjectLoadResult {
  bool ok = false;
  bool unreadable = false;  // the file could not be opened or read (not damage)
  std::string error;        // what was wrong and where, when not ok
};

// Loads `size` bytes into `project`. The whole input must be the project: a
// load that ends early or leaves bytes over fails. On failure the project is
// left empty.
ProjectLoadResult LoadProject(const uint8_t* data, size_t size, CInstallProject& project);
// The same from a file (read whole; index streams are small).
ProjectLoadResult LoadProjectFile(const std::u16string& path, CInstallProject& project);

// The archive bytes of a project.
std::vector<uint8_t> StoreProject(const CInstallProject& project);
