// The command line of glimmora-pack and its build and extract commands.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace glimmora_pack {

struct Console {
  std::ostream& out;
  std::ostream& err;
  bool terminal;  // err is a terminal: progress is one line redrawn in place
  // Where the progress line's cursor controls go when `err` escapes control
  // characters (see packconsole.h); null: to `err`.
  std::ostream* controls = nullptr;
};

// `build PROJECT.json -o OUT [--engine IMAGE]`
int BuildCommand(const std::filesystem::path& project, const std::filesystem::path& output,
                 const std::filesystem::path& engine, Console& console);
// `extract PKG --list NAME --dest DIR [--install-folder WINPATH]`; an empty
// install folder means the product's default under C:\Program Files.
int ExtractCommand(const std::filesystem::path& package, const std::string& list, const std::filesystem::path& dest,
                   const std::string& installFolder, Console& console);

// The whole tool: `args` without the program name. Everything it prints has
// its control characters escaped. Returns the exit code: 0 success,
// 1 failure, 2 a command line that cannot be understood.
int RunPackTool(const std::vector<std::string>& args, Console& console);

}  // namespace glimmora_pack
