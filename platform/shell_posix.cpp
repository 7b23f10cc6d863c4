// The shell on systems without one: real copies and folders below the
// platform root, and a record of links and started programs for tests. A
// saved link also leaves a small file at its path, so that it can be seen.
#include <fstream>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/shell.h"
#include "platform/text.h"

namespace platform {

FakeShell& PosixShell() {
  static FakeShell shell;
  return shell;
}

bool CopyFileOver(const std::u16string& from, const std::u16string& to) {
  File source = File::Open(from, OpenMode::kReadShared);
  if (!source.IsOpen()) return false;
  File target = File::Open(to, OpenMode::kCreateTruncate);
  if (!target.IsOpen()) return false;
  char block[65536];
  for (;;) {
    const int64_t n = source.Read(block, sizeof block);
    if (n < 0) return false;
    if (n == 0) break;
    if (!target.Write(block, static_cast<size_t>(n))) return false;
  }
  if (PosixShell().native_view_active) PosixShell().copies_in_native_view.push_back(to);
  SetLastError(kErrorSuccess);
  return true;
}

bool CreateFolderWithAccess(const std::u16string& path, const std::u16string& sddl) {
  if (!CreateFolder(path)) return false;
  PosixShell().access_folders.push_back({path, sddl});
  return true;
}

bool IsWow64() { return PosixShell().wow64; }

ScopedNativeSystemFolder::ScopedNativeSystemFolder() {
  if (!PosixShell().wow64) return;
  active_ = true;
  PosixShell().native_view_active = true;
  ++PosixShell().native_view_scopes;
}

ScopedNativeSystemFolder::~ScopedNativeSystemFolder() {
  if (active_) PosixShell().native_view_active = false;
}

bool SaveShellLink(const ShellLink& link, const std::u16string& path) {
  std::ofstream out(HostPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out << ToUtf8(link.target) << "\n";
  PosixShell().links.push_back({path, link});
  return true;
}

bool StartProgram(const std::u16string& program, const std::u16string& parameters) {
  PosixShell().started.push_back({program, parameters});
  return true;
}

}  // namespace platform
