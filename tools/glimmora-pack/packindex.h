// Opening a package the way the tool's commands read it: the trailer, then
// the index inflated in memory within its bounds (build/indexstream.h) and
// loaded. Nothing is written, not even a temporary file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "build/packageformat.h"
#include "install/installproject.h"

namespace glimmora_pack {

// EXTRACT_OK with `table` and `project` filled, or the result code of what
// failed (EXTRACT_ERR_OPEN, EXTRACT_ERR_SIGNATURE, EXTRACT_ERR_EMPTY) with
// `error` saying why when more is known than the code.
int32_t LoadPackageIndex(const std::filesystem::path& package, PackageTable& table, CInstallProject& project,
                         std::string& error);

}  // namespace glimmora_pack
