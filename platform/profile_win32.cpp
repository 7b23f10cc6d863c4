// INI sections through GetPrivateProfileSectionW.
#include "platform/profile.h"

#include <limits>
#include <vector>

#include "platform/win32_internal.h"

namespace platform {

ProfileSection ReadProfileSection(const std::u16string& path, const std::u16string& section,
                                  size_t capacity_chars) {
  ProfileSection result;
  // The call marks a list it had to cut by returning its size minus 2, which
  // a list that fitted with one character to spare returns as well. Two
  // characters more than asked for settle it: whatever comes back longer
  // than the capacity allows is cut off below by the same rule the POSIX
  // backend keeps, and the cut line is always among what is dropped.
  constexpr size_t kMaxBuffer = std::numeric_limits<DWORD>::max();
  const size_t buffer_chars = capacity_chars < kMaxBuffer - 2 ? capacity_chars + 2 : kMaxBuffer;
  std::vector<wchar_t> buffer(buffer_chars, L'\0');
  const DWORD copied = ::GetPrivateProfileSectionW(win32::Wide(section), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), win32::Wide(path));
  if (copied == 0) return result;
  result.found = true;

  // The list is "line\0line\0...\0" followed by one more terminator; the
  // count excludes that last one. A cut list ends in its cut line instead.
  const size_t end = copied < buffer.size() ? copied : buffer.size() - 1;
  size_t used = 1;  // the terminator that closes the list
  size_t start = 0;
  while (start < end) {
    size_t stop = start;
    while (stop < end && buffer[stop] != L'\0') ++stop;
    const size_t length = stop - start;
    if (length != 0) {
      if (used + length + 1 > capacity_chars) {
        result.truncated = true;
        break;
      }
      used += length + 1;
      result.lines.push_back(win32::FromWide(buffer.data() + start, length));
    }
    start = stop + 1;
  }
  return result;
}

}  // namespace platform
