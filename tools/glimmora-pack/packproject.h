// Reading an author's JSON project file into an install project the builder
// can pack. Every fault is found here, before the first byte is written:
// a package either builds from a checked project or is not started.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "install/installproject.h"

namespace glimmora_pack {

struct BuildRequest {
  std::filesystem::path projectFile;  // the JSON file
  std::filesystem::path output;       // the package to write
  std::filesystem::path engine;       // overrides the project's engine image when not empty
};

// One file the builder will pack, in the order it packs them.
struct PlannedFile {
  std::shared_ptr<CZipFileIndexObject> entry;
  std::string list;     // the extract list holding it
  std::string display;  // the source, relative to the project file when below it
  uint64_t size = 0;
};

struct PackProject {
  std::unique_ptr<CInstallProject> project;
  std::filesystem::path output;    // absolute
  std::filesystem::path buildLog;  // absolute
  std::vector<PlannedFile> files;
  uint64_t totalBytes = 0;
  // Things that build but are probably not what the author meant.
  std::vector<std::string> warnings;
};

// Reads and checks the project. Predefined folders are resolved through the
// platform layer, so the caller sets the root they resolve below. On failure `error` is one line naming the
// file, the place in it and what is wrong, and `out` is unusable.
bool LoadPackProject(const BuildRequest& request, PackProject& out, std::string& error);

}  // namespace glimmora_pack
