// Well-known folders of the stand-in machine, laid out as on a current
// Windows installation for the user "user".
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <unistd.h>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/posix_internal.h"
#include "platform/text.h"

namespace platform {
namespace {

struct SpecialFolder {
  int csidl;
  const char16_t* path;
};

// Control panel (0x03) is a virtual folder without a path, so it is absent
// like every id not listed.
constexpr SpecialFolder kSpecialFolders[] = {
    {0x05, u"C:\\users\\user\\Documents"},
    {0x06, u"C:\\users\\user\\Favorites"},
    {0x07, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {0x09, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
    {0x0B, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
    {0x10, u"C:\\users\\user\\Desktop"},
    {0x14, u"C:\\windows\\Fonts"},
    {0x15, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Templates"},
    {0x16, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
    {0x17, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {0x18, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
    {0x19, u"C:\\users\\Public\\Desktop"},
    {0x1A, u"C:\\users\\user\\AppData\\Roaming"},
    {0x1C, u"C:\\users\\user\\AppData\\Local"},
    {0x1F, u"C:\\users\\Public\\Favorites"},
    {0x21, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
    {0x22, u"C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\History"},
    {0x23, u"C:\\ProgramData"},
    {0x24, u"C:\\windows"},
    {0x25, u"C:\\windows\\system32"},
    {0x26, u"C:\\Program Files"},
    {0x27, u"C:\\users\\user\\Pictures"},
    {0x2B, u"C:\\Program Files\\Common Files"},
    {0x2D, u"C:\\ProgramData\\Microsoft\\Windows\\Templates"},
    {0x2E, u"C:\\users\\Public\\Documents"},
    {0x36, u"C:\\users\\Public\\Pictures"},
};

constexpr char16_t kTempFolder[] = u"C:\\users\\user\\Temp\\";

std::atomic<unsigned> temp_counter{0};

}  // namespace

std::u16string TempFolder() {
  posix::MakeDriveFolders(kTempFolder);
  return kTempFolder;
}

std::u16string TempFileName(const std::u16string& folder, const std::u16string& prefix) {
  static const char16_t kHex[] = u"0123456789ABCDEF";
  std::u16string base = folder;
  if (!base.empty() && base.back() != u'\\' && base.back() != u'/') base += u'\\';
  // Windows uses only the first three characters of the prefix.
  base += prefix.substr(0, 3);
  const auto seed = static_cast<unsigned>(::getpid()) * 2654435761u +
                    static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  const unsigned start = seed + temp_counter.fetch_add(1);
  for (unsigned attempt = 0; attempt < 0x10000u; ++attempt) {
    const unsigned number = (start + attempt) & 0xFFFFu;
    if (number == 0) continue;  // Windows never hands out 0000
    std::u16string name = base;
    for (int shift = 12; shift >= 0; shift -= 4) name += kHex[(number >> shift) & 0xFu];
    name += u".tmp";
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    const bool confined = posix::Confined();
    if (confined && !posix::IsDriveRooted(name)) {
      SetLastError(kErrorAccessDenied);  // while confined only drive paths are written
      return {};
    }
    const std::string host = confined ? std::string() : posix::UsablePath(name);
    const int fd = confined ? posix::OpenConfined(name, flags) : ::open(host.c_str(), flags, 0666);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (confined && LastError() != kErrorAlreadyExists) return {};
    if (!confined && errno != EEXIST) {
      SetLastError(posix::OpenErrorFromErrno(errno, host));
      return {};
    }
  }
  SetLastError(kErrorFileExists);
  return {};
}

std::u16string SpecialFolderPath(int csidl) {
  for (const auto& folder : kSpecialFolders) {
    if (folder.csidl == csidl) {
      // These folders exist on every Windows machine, so callers may create
      // their own folders inside them right away; the stand-in makes them
      // on first use.
      posix::MakeDriveFolders(folder.path);
      return folder.path;
    }
  }
  return {};
}

std::u16string ModulePath() {
  std::string target(4096, '\0');
  const ssize_t length = ::readlink("/proc/self/exe", &target[0], target.size());
  if (length <= 0) {
    SetLastError(posix::ErrorFromErrno(errno));
    return {};
  }
  target.resize(static_cast<size_t>(length));
  return FromUtf8(target);
}

}  // namespace platform
