// The special folders of the POSIX stand-in machine.
#include <gtest/gtest.h>

#include <string>

#include "platform/file.h"
#include "platform/text.h"

namespace {

TEST(PlatformFoldersHost, SpecialFolderTable) {
  const struct {
    int csidl;
    const char16_t* path;
  } cases[] = {
      {0x24, u"C:\\windows"},
      {0x25, u"C:\\windows\\system32"},
      {0x14, u"C:\\windows\\Fonts"},
      {0x26, u"C:\\Program Files"},
      {0x2B, u"C:\\Program Files\\Common Files"},
      {0x23, u"C:\\ProgramData"},
      {0x16, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
      {0x17, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
      {0x18, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
      {0x2D, u"C:\\ProgramData\\Microsoft\\Windows\\Templates"},
      {0x19, u"C:\\users\\Public\\Desktop"},
      {0x2E, u"C:\\users\\Public\\Documents"},
      {0x1F, u"C:\\users\\Public\\Favorites"},
      {0x36, u"C:\\users\\Public\\Pictures"},
      {0x1A, u"C:\\users\\user\\AppData\\Roaming"},
      {0x1C, u"C:\\users\\user\\AppData\\Local"},
      {0x21, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Cookies"},
      {0x22, u"C:\\users\\user\\AppData\\Local\\Microsoft\\Windows\\History"},
      {0x09, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\SendTo"},
      {0x0B, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu"},
      {0x07, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup"},
      {0x15, u"C:\\users\\user\\AppData\\Roaming\\Microsoft\\Windows\\Templates"},
      {0x06, u"C:\\users\\user\\Favorites"},
      {0x27, u"C:\\users\\user\\Pictures"},
      {0x05, u"C:\\users\\user\\Documents"},
      {0x10, u"C:\\users\\user\\Desktop"},
      {0x03, u""},  // control panel: virtual, no path
      {0x02, u""},
      {0x100, u""},
  };
  for (const auto& c : cases) {
    const std::u16string path = platform::SpecialFolderPath(c.csidl);
    EXPECT_EQ(path, c.path) << c.csidl;
    // Folders that exist on every Windows machine exist here once named.
    if (!path.empty()) {
      EXPECT_TRUE(platform::FolderExists(path)) << platform::ToUtf8(path);
    }
  }
}

}  // namespace
