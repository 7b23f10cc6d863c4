#include "packroot.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "platform/file.h"

namespace glimmora_pack {
namespace {

// The root in force, read back through where the drive C: lies.
std::string CurrentRoot() {
  const std::string drive = platform::HostPath(u"C:\\");
  return drive.substr(0, drive.size() - 3);  // without "/C/"
}

}  // namespace

PrivateRoot::PrivateRoot() : previous_(CurrentRoot()) {
  std::error_code ec;
  std::string pattern = (std::filesystem::temp_directory_path(ec) / "glimmora-pack-XXXXXX").string();
  if (ec) {
    error_ = "no temporary folder: " + ec.message();
    return;
  }
  if (::mkdtemp(&pattern[0]) == nullptr) {
    error_ = "cannot make a temporary folder " + pattern + ": " + std::strerror(errno);
    return;
  }
  folder_ = pattern;
  platform::SetPosixRoot(folder_.string());
}

PrivateRoot::~PrivateRoot() {
  platform::SetPosixRoot(previous_);
  if (folder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void PrivateRoot::Redirect(const std::filesystem::path& folder) { platform::SetPosixRoot(folder.string()); }

}  // namespace glimmora_pack
