#include "setup/sharedfiles.h"

#include <vector>

#include "platform/file.h"
#include "platform/registry.h"

namespace {

// VS_FIXEDFILEINFO begins with this signature, right after the "VS_VERSION_INFO"
// key of the version resource, whose data the file holds as it is.
constexpr uint8_t kSignature[] = {0xBD, 0x04, 0xEF, 0xFE};
constexpr char16_t kKey[] = u"VS_VERSION_INFO";
constexpr int64_t kLargestReadable = 256ll << 20;

uint32_t U32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

bool KeyBefore(const std::vector<uint8_t>& b, size_t signature_at) {
  // The key, its terminator and up to 3 bytes of padding precede the signature.
  const size_t key_bytes = (sizeof kKey / sizeof kKey[0] - 1) * 2;
  for (size_t pad = 0; pad <= 3 + 2; ++pad) {
    if (signature_at < key_bytes + pad) break;
    const size_t start = signature_at - pad - key_bytes;
    bool match = true;
    for (size_t i = 0; i < key_bytes / 2 && match; ++i) {
      match = b[start + 2 * i] == static_cast<uint8_t>(kKey[i]) && b[start + 2 * i + 1] == 0;
    }
    if (match) return true;
  }
  return false;
}

}  // namespace

std::optional<uint64_t> FileVersionOf(const std::u16string& path) {
  platform::File file = platform::File::Open(path, platform::OpenMode::kReadShared);
  if (!file.IsOpen()) return std::nullopt;
  const int64_t size = file.Size();
  if (size <= 0 || size > kLargestReadable) return std::nullopt;
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  for (size_t done = 0; done < bytes.size();) {
    const int64_t n = file.Read(bytes.data() + done, bytes.size() - done);
    if (n <= 0) return std::nullopt;
    done += static_cast<size_t>(n);
  }
  for (size_t at = 0; at + 16 <= bytes.size(); ++at) {
    if (bytes[at] != kSignature[0] || bytes[at + 1] != kSignature[1] || bytes[at + 2] != kSignature[2] ||
        bytes[at + 3] != kSignature[3] || !KeyBefore(bytes, at)) {
      continue;
    }
    return (static_cast<uint64_t>(U32(bytes, at + 8)) << 32) | U32(bytes, at + 12);
  }
  return std::nullopt;
}

ExistingFile DescribeExistingFile(const std::u16string& path) {
  ExistingFile existing;
  existing.version = FileVersionOf(path);
  existing.modified = platform::FileModifiedAfterCreation(path);
  // Ours when an earlier installation counted it: a count names the file
  // by its full path.
  const platform::RegKey counts = platform::RegKey::Open(platform::kLocalMachine, kSharedDllsKey);
  existing.ours = counts.IsValid() && counts.QueryValue(path).has_value();
  return existing;
}

bool MayReplaceSharedFile(std::optional<uint64_t> source_version, const ExistingFile& existing) {
  if (source_version && existing.version) return *source_version > *existing.version;
  if (source_version) return existing.ours;
  if (existing.version) return false;
  return !existing.modified;
}
