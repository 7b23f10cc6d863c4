#include "packroot.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "build/packageformat.h"
#include "packconsole.h"
#include "platform/confine_posix.h"
#include "platform/file.h"
#include "platform/text.h"

namespace glimmora_pack {
namespace {

// The root in force, read back through where the drive C: lies.
std::string CurrentRoot() {
  const std::string drive = platform::HostPath(u"C:\\");
  return drive.substr(0, drive.size() - 3);  // without "/C/"
}

bool IsDriveLetter(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

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
  platform::SetPosixConfinement(false);
  platform::SetPosixRoot(previous_);
  if (folder_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void PrivateRoot::Redirect(const std::filesystem::path& folder) {
  platform::SetPosixRoot(folder.string());
  platform::SetPosixConfinement(true);
}

std::string WhyNoDrivePlace(const std::u16string& path) {
  if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') return "it names a network share, not a drive";
  if (path.size() < 3 || !IsDriveLetter(path[0]) || path[1] != u':' || path[2] != u'\\') {
    return "it does not start at a drive (\"X:\\\")";
  }
  size_t start = 3;
  while (start < path.size()) {
    const size_t end = std::min(path.find(u'\\', start), path.size());
    const std::u16string name = path.substr(start, end - start);
    if (name == u"..") return "it leads up out of its folder with \"..\"";
    if (!IsSafeEntryName(name)) return "\"" + Printable(name) + "\" in it cannot be a file or folder name";
    start = end + 1;
  }
  return {};
}

std::filesystem::path DrivePlace(const std::filesystem::path& dest, const std::u16string& path) {
  std::filesystem::path place = dest / std::string(1, static_cast<char>(path[0] & ~0x20));
  size_t start = 3;
  while (start < path.size()) {
    const size_t end = std::min(path.find(u'\\', start), path.size());
    place /= std::filesystem::u8path(platform::ToUtf8(path.substr(start, end - start)));
    start = end + 1;
  }
  return place;
}

}  // namespace glimmora_pack
