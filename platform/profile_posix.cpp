// INI sections read from the file itself, the way GetPrivateProfileSectionW
// reads them, so that host tests see what the setup program sees.
#include <cstdint>
#include <vector>

#include "platform/file.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace platform {
namespace {

std::vector<uint8_t> ReadWhole(const std::u16string& path) {
  File file = File::Open(path, OpenMode::kReadShared);
  std::vector<uint8_t> bytes;
  if (!file.IsOpen()) return bytes;
  uint8_t chunk[16384];
  for (;;) {
    const int64_t got = file.Read(chunk, sizeof chunk);
    if (got <= 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

// The profile calls take a byte-order mark to tell UTF-16 from 8-bit text;
// our descriptions are UTF-16LE with one, and hand-written test files
// without one are UTF-8.
std::u16string Decode(const std::vector<uint8_t>& bytes) {
  const size_t size = bytes.size();
  if (size >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF))) {
    const bool little = bytes[0] == 0xFF;
    std::u16string text;
    text.reserve(size / 2);
    for (size_t i = 2; i + 1 < size; i += 2) {  // an odd last byte is no character
      const unsigned first = bytes[i], second = bytes[i + 1];
      text += static_cast<char16_t>(little ? first | (second << 8) : (first << 8) | second);
    }
    return text;
  }
  size_t skip = 0;
  if (size >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) skip = 3;
  return FromUtf8(std::string(bytes.begin() + skip, bytes.end()));
}

// What the system strips around lines and around "=": ASCII white space and
// the end-of-file mark some editors leave.
bool IsBlank(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x1A; }

char16_t FoldCase(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

bool SameName(const std::u16string& a, const std::u16string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  }
  return true;
}

std::u16string Trimmed(const std::u16string& text, size_t begin, size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// "[name]" with the name running to the last "]"; a line that starts with
// "[" but has no "]" is an ordinary line to the system.
bool SectionHeader(const std::u16string& line, std::u16string* name) {
  if (line.empty() || line[0] != u'[') return false;
  const size_t close = line.rfind(u']');
  if (close == std::u16string::npos) return false;
  *name = line.substr(1, close - 1);
  return true;
}

// "key = value" as the system hands it over: "key=value".
std::u16string EntryText(const std::u16string& line) {
  const size_t equals = line.find(u'=');
  if (equals == std::u16string::npos) return line;
  return Trimmed(line, 0, equals) + u'=' + Trimmed(line, equals + 1, line.size());
}

}  // namespace

ProfileSection ReadProfileSection(const std::u16string& path, const std::u16string& section,
                                  size_t capacity_chars) {
  ProfileSection result;
  const std::u16string text = Decode(ReadWhole(path));
  std::vector<std::u16string> entries;
  bool inside = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t stop = pos;
    while (stop < text.size() && text[stop] != u'\r' && text[stop] != u'\n') ++stop;
    const std::u16string line = Trimmed(text, pos, stop);
    pos = stop + 1;
    std::u16string name;
    if (SectionHeader(line, &name)) {
      if (inside) break;  // only the first section of a name counts
      inside = SameName(name, section);
      continue;
    }
    if (!inside || line.empty() || line[0] == u';') continue;
    entries.push_back(EntryText(line));
  }
  if (entries.empty()) return result;
  result.found = true;
  size_t used = 1;  // the terminator that closes the list
  for (auto& entry : entries) {
    if (used + entry.size() + 1 > capacity_chars) {
      result.truncated = true;
      break;
    }
    used += entry.size() + 1;
    result.lines.push_back(std::move(entry));
  }
  return result;
}

}  // namespace platform
