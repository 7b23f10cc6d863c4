// What the installation actions ask of the system beyond files and the
// registry: copying, folders with access rights, the 64-bit file system
// view, shell links and starting a helper program.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Copies `from` over `to`, replacing an existing file. False on failure;
// LastError tells why.
bool CopyFileOver(const std::u16string& from, const std::u16string& to);

// Creates one folder level whose access rights come from an SDDL text. A
// folder that exists already keeps the rights it has (and the call fails with
// kErrorAlreadyExists).
bool CreateFolderWithAccess(const std::u16string& path, const std::u16string& sddl);

// True when this 32-bit program runs on a 64-bit system.
bool IsWow64();

// While an object of this class lives, file calls of this thread reach the
// native system folder instead of the 32-bit one. Does nothing on systems
// without that redirection.
class ScopedNativeSystemFolder {
 public:
  ScopedNativeSystemFolder();
  ~ScopedNativeSystemFolder();
  ScopedNativeSystemFolder(const ScopedNativeSystemFolder&) = delete;
  ScopedNativeSystemFolder& operator=(const ScopedNativeSystemFolder&) = delete;

 private:
  void* old_value_ = nullptr;
  bool active_ = false;
};

struct ShellLink {
  std::u16string target;
  std::u16string arguments;      // empty: none
  std::u16string description;    // empty: none
  std::u16string working_folder; // empty: none
  std::u16string icon_path;      // empty: none
  int icon_index = 0;
};

// Saves a shell link file at `path`, replacing an existing one. False when
// any step failed.
bool SaveShellLink(const ShellLink& link, const std::u16string& path);

// Starts `program` with `parameters` through the shell ("open", hidden
// window) and does not wait for it.
bool StartProgram(const std::u16string& program, const std::u16string& parameters);

// POSIX backend: what the functions above did, for tests.
struct FakeShell {
  bool wow64 = false;
  int native_view_scopes = 0;  // how many scopes were opened
  bool native_view_active = false;
  struct SavedLink {
    std::u16string path;
    ShellLink link;
  };
  std::vector<SavedLink> links;
  struct Started {
    std::u16string program, parameters;
  };
  std::vector<Started> started;
  struct AccessFolder {
    std::u16string path, sddl;
  };
  std::vector<AccessFolder> access_folders;
  std::vector<std::u16string> copies_in_native_view;  // targets copied while the native view was on
};
FakeShell& PosixShell();

}  // namespace platform
