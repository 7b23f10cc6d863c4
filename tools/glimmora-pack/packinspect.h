// Looking into packages: result code names, extract list trees, and the
// `list` and `verify` commands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>

#include "install/extractfilelist.h"

namespace glimmora_pack {

// "BUILD_ERR_SOURCE (1006)"; unknown codes are named by their number.
std::string ResultCodeName(int32_t code);
// What the code means to someone running the tool, in a few words.
std::string ResultCodeMeaning(int32_t code);

// The names from below the computer down to `node`, joined with
// backslashes: "[ProgramFilesFolder]\Glimmora\Glimmora.exe".
std::u16string TreePath(const CNode& node);

// The list's tree, one entry a line, indented by depth. Files show where
// they go when the destination root stands for `destination` (ending in a
// backslash) and their packed stream.
void PrintTree(std::ostream& out, const CExtractFileList& list, const std::u16string& destination);

// The install folder a package offers by default: "C:\Program Files\<product>\".
std::u16string DefaultInstallFolder(const std::u16string& productName);

// The commands; each returns the process exit code and writes its errors as
// single lines starting with "glimmora-pack: " to `err`.
int ListPackage(const std::filesystem::path& package, const std::u16string& destination, std::ostream& out,
                std::ostream& err);
int VerifyPackage(const std::filesystem::path& package, std::ostream& out, std::ostream& err);

}  // namespace glimmora_pack
