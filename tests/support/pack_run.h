// Running the built glimmora-pack from host tests: its exit code and what it
// printed, with the files of a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace testing_support {

inline const std::filesystem::path& PackTool() {
  static const std::filesystem::path tool = std::filesystem::path(GLIMMORA_OUT_DIR) / "glimmora-pack";
  return tool;
}

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The regular files below `folder`, relative to it.
inline std::set<std::string> FilesBelow(const std::filesystem::path& folder) {
  std::set<std::string> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(folder)) {
    if (item.is_regular_file()) files.insert(item.path().lexically_relative(folder).generic_string());
  }
  return files;
}

// Runs the tool with `args`, its stdout and stderr caught in files in
// `scratch`. `environment` ("NAME=value") is added to this process's own.
inline ToolRun RunPack(const std::filesystem::path& scratch, const std::vector<std::string>& args,
                       const std::vector<std::string>& environment = {}) {
  const std::string out_file = (scratch / "stdout.txt").string();
  const std::string err_file = (scratch / "stderr.txt").string();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> all = {PackTool().string()};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : all) argv.push_back(&arg[0]);
  argv.push_back(nullptr);
  std::vector<std::string> variables = environment;
  std::vector<char*> envp;
  for (std::string& variable : variables) envp.push_back(&variable[0]);
  for (char** e = environ; *e != nullptr; ++e) envp.push_back(*e);
  envp.push_back(nullptr);
  ToolRun run;
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << PackTool();
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  // A signal (a crash) is never an acceptable way to end.
  EXPECT_TRUE(WIFEXITED(status)) << "glimmora-pack did not exit normally, status " << status;
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadText(out_file);
  run.err = ReadText(err_file);
  return run;
}

}  // namespace testing_support
