#include "packcommands.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <sstream>

#include "build/mybuild.h"
#include "packconsole.h"
#include "packinspect.h"
#include "packproject.h"
#include "packroot.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

namespace fs = std::filesystem;

std::u16string HostPathText(const fs::path& path) { return platform::FromUtf8(fs::absolute(path).string()); }

std::string Bytes(uint64_t bytes) {
  char text[32];
  if (bytes < 1024) {
    std::snprintf(text, sizeof text, "%llu B", static_cast<unsigned long long>(bytes));
  } else if (bytes < 1024 * 1024) {
    std::snprintf(text, sizeof text, "%.1f KiB", static_cast<double>(bytes) / 1024);
  } else {
    std::snprintf(text, sizeof text, "%.1f MiB", static_cast<double>(bytes) / (1024 * 1024));
  }
  return text;
}

// Follows the builder's progress calls. The builder names each file by its
// source path; the plan knows the same files in the same order, with their
// sizes and the entries that receive the packed size.
class BuildProgress {
 public:
  BuildProgress(const PackProject& project, Console& console) : project_(project), console_(console) {}

  static void Report(int32_t code, int32_t* percent, void* self) {
    auto* progress = static_cast<BuildProgress*>(self);
    switch (code) {
      case PROGRESS_FILE_BEGIN:
        progress->Begin(reinterpret_cast<const char16_t*>(percent));
        break;
      case PROGRESS_STEP:
        if (percent != nullptr) progress->Step(*percent);
        break;
      case PROGRESS_FILE_END:
        progress->End();
        break;
      default:
        break;
    }
  }

  // Ends the progress line, so that what follows starts on a line of its own.
  void Finish() {
    if (drawn_) console_.err << "\n";
    drawn_ = false;
  }

 private:
  void Begin(const char16_t* path) {
    current_ = nullptr;
    percent_ = 0;
    if (path == nullptr) return;
    const std::u16string source = path;
    // After the files, the builder packs its copy of the index, which is
    // not in the plan.
    for (size_t i = next_; i < project_.files.size(); ++i) {
      if (project_.files[i].entry->GetSourcePath() == source) {
        current_ = &project_.files[i];
        next_ = i + 1;
        break;
      }
    }
    Draw();
  }

  void Step(int32_t percent) {
    percent_ = std::clamp(percent, 0, 100);
    Draw();
  }

  void End() {
    if (current_ == nullptr) return;
    ++files_done_;
    bytes_done_ += current_->size;
    if (!console_.terminal) {
      console_.err << "packed " << Printable(current_->display) << " (" << current_->size << " -> "
                   << current_->entry->GetPackedSize() << ")\n";
    }
    current_ = nullptr;
    percent_ = 0;
    Draw();
  }

  void Draw() {
    if (!console_.terminal) return;
    const uint64_t total = project_.totalBytes;
    const uint64_t done = bytes_done_ + (current_ ? current_->size * static_cast<uint64_t>(percent_) / 100 : 0);
    constexpr int kWidth = 24;
    const int filled = total == 0 ? kWidth : static_cast<int>(done * kWidth / total);
    std::ostringstream line;
    line << "[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(kWidth - filled), '.')
         << "] " << files_done_ << "/" << project_.files.size() << " files, " << Bytes(done) << " of "
         << Bytes(total);
    // A large file reports every block; the terminal is written only when
    // the line changes.
    if (drawn_ && line.str() == last_line_) return;
    last_line_ = line.str();
    // The line's own cursor controls go past the escaping of what it shows.
    std::ostream& controls = console_.controls != nullptr ? *console_.controls : console_.err;
    controls << "\r";
    console_.err << last_line_;
    controls << "\x1b[K" << std::flush;
    drawn_ = true;
  }

  const PackProject& project_;
  Console& console_;
  size_t next_ = 0;
  const PlannedFile* current_ = nullptr;
  int32_t percent_ = 0;
  size_t files_done_ = 0;
  uint64_t bytes_done_ = 0;
  bool drawn_ = false;
  std::string last_line_;
};

const char kUsage[] =
    "usage: glimmora-pack build PROJECT.json -o OUT [--engine IMAGE]\n"
    "       glimmora-pack list PKG [--dest FOLDER]\n"
    "       glimmora-pack verify PKG\n"
    "       glimmora-pack extract PKG --list NAME --dest DIR [--install-folder X:\\FOLDER]\n";

struct CommandLine {
  std::string command;
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
};

// Why the command line cannot be understood; empty when it can.
std::string ParseCommandLine(const std::vector<std::string>& args, CommandLine& line) {
  static const std::map<std::string, std::set<std::string>> kOptions = {
      {"build", {"-o", "--output", "--engine"}},
      {"list", {"--dest"}},
      {"verify", {}},
      {"extract", {"--list", "--dest", "--install-folder"}},
  };
  line.command = args[0];
  const auto known = kOptions.find(line.command);
  if (known == kOptions.end()) return "unknown command \"" + line.command + "\"";
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() < 2 || arg[0] != '-') {
      line.positional.push_back(arg);
      continue;
    }
    std::string name = arg;
    std::string value;
    const size_t equals = arg.find('=');
    if (equals != std::string::npos && arg.rfind("--", 0) == 0) {
      name = arg.substr(0, equals);
      value = arg.substr(equals + 1);
    } else if (i + 1 < args.size()) {
      value = args[++i];
    } else {
      return line.command + ": " + name + " needs a value";
    }
    if (known->second.count(name) == 0) return line.command + ": unknown option " + name;
    if (name == "--output") name = "-o";
    if (value.empty()) return line.command + ": " + name + " needs a value";
    if (!line.options.emplace(name, value).second) return line.command + ": " + name + " given twice";
  }
  const char* what = line.command == "build" ? "PROJECT.json" : "PKG";
  if (line.positional.empty()) return line.command + ": missing " + what;
  if (line.positional.size() > 1) return line.command + ": one " + what + " only, not \"" + line.positional[1] + "\"";
  return {};
}

std::string Option(const CommandLine& line, const std::string& name) {
  const auto it = line.options.find(name);
  return it == line.options.end() ? std::string() : it->second;
}

}  // namespace

int BuildCommand(const fs::path& project_file, const fs::path& output, const fs::path& engine, Console& console) {
  // The builder keeps its copy of the index in the temporary folder, and
  // the loader asks where predefined folders are.
  PrivateRoot root;
  if (!root.ok()) {
    console.err << "glimmora-pack: " << root.error() << "\n";
    return 1;
  }
  BuildRequest request{project_file, output, engine};
  PackProject plan;
  std::string error;
  if (!LoadPackProject(request, plan, error)) {
    console.err << "glimmora-pack: " << error << "\n";
    return 1;
  }
  for (const std::string& warning : plan.warnings) console.err << "glimmora-pack: warning: " << warning << "\n";

  CMyBuild builder;
  builder.SetProject(plan.project.get());
  BuildProgress progress(plan, console);
  const int32_t result = builder.BuildPackage(HostPathText(plan.output), &BuildProgress::Report, &progress);
  progress.Finish();
  if (result != EXTRACT_OK) {
    // The checks above made sure the output is no input, so what is there
    // now is this build's unfinished package.
    std::error_code ignored;
    if (fs::is_regular_file(plan.output, ignored)) fs::remove(plan.output, ignored);
    console.err << "glimmora-pack: " << Printable(output.string()) << ": build failed: " << ResultCodeName(result)
                << ", " << ResultCodeMeaning(result) << "; see the build log " << Printable(plan.buildLog.string())
                << "\n";
    return 1;
  }
  const PackageTable& table = builder.GetTable();
  if (!console.terminal && table.count > 0) {
    console.err << "packed index (" << table.rows[0].unpackedSize << " -> " << table.rows[0].packedSize << ")\n";
  }
  std::error_code ec;
  const uintmax_t size = fs::file_size(plan.output, ec);
  console.out << "wrote " << Printable(output.string()) << ": " << (ec ? 0 : size) << " bytes, " << plan.files.size()
              << (plan.files.size() == 1 ? " file" : " files") << " (" << plan.totalBytes << " bytes) in "
              << plan.project->GetExtractLists().size()
              << (plan.project->GetExtractLists().size() == 1 ? " list" : " lists") << "; build log "
              << Printable(plan.buildLog.string()) << "\n";
  return 0;
}

namespace {

int RunCommand(const std::vector<std::string>& args, Console& console) {
  if (args.empty()) {
    console.err << kUsage;
    return 2;
  }
  if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    console.out << kUsage;
    return 0;
  }
  CommandLine line;
  const std::string problem = ParseCommandLine(args, line);
  if (!problem.empty()) {
    console.err << "glimmora-pack: " << Printable(problem) << " (see glimmora-pack --help)\n";
    return 2;
  }
  const fs::path target = fs::u8path(line.positional[0]);
  if (line.command == "build") {
    if (Option(line, "-o").empty()) {
      console.err << "glimmora-pack: build: missing -o OUT (see glimmora-pack --help)\n";
      return 2;
    }
    const std::string engine = Option(line, "--engine");
    return BuildCommand(target, fs::u8path(Option(line, "-o")), engine.empty() ? fs::path() : fs::u8path(engine),
                        console);
  }
  if (line.command == "list") {
    return ListPackage(target, platform::FromUtf8(Option(line, "--dest")), console.out, console.err);
  }
  if (line.command == "verify") return VerifyPackage(target, console.out, console.err);
  for (const char* required : {"--list", "--dest"}) {
    if (Option(line, required).empty()) {
      console.err << "glimmora-pack: extract: missing " << required << " (see glimmora-pack --help)\n";
      return 2;
    }
  }
  return ExtractCommand(target, Option(line, "--list"), fs::u8path(Option(line, "--dest")),
                        Option(line, "--install-folder"), console);
}

}  // namespace

int RunPackTool(const std::vector<std::string>& args, Console& console) {
  EscapingStream out(console.out);
  EscapingStream err(console.err);
  Console escaped{out, err, console.terminal, console.controls != nullptr ? console.controls : &console.err};
  return RunCommand(args, escaped);
}

}  // namespace glimmora_pack
