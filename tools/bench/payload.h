// The benchmark's payload: a deterministic mix of the kinds of files a
// product ships (text, tables of binary records, incompressible media), and
// the install project that packs them into one "Common" list.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "install/installproject.h"

namespace bench {

enum class FileKind { kText, kRecords, kRandom };

struct PayloadFile {
  std::u16string relative;  // below the payload folder, e.g. u"docs\\notes007.txt"
  FileKind kind;
  uint64_t size;
};

struct Payload {
  std::u16string folder;  // Windows path ending in a backslash
  std::vector<PayloadFile> files;
  uint64_t TotalBytes() const;
  uint64_t BytesOf(FileKind kind) const;
};

// The subfolders the files are spread over, parents before children.
const std::vector<std::u16string>& PayloadSubfolders();

// The file list for about `target_bytes`. The sequence is the same for every
// target, so a smaller payload is a prefix of a larger one.
std::vector<PayloadFile> PlanPayload(uint64_t target_bytes);

// Writes every planned file below `folder` (which must exist). False, with
// `error` set, when a file cannot be written.
bool WritePayload(const std::u16string& folder, const std::vector<PayloadFile>& files, std::string* error);

// A small program image standing in for the setup program.
bool WriteEngineImage(const std::u16string& path, uint64_t size, std::string* error);

// A project whose "Common" list holds every file below a destination-root
// folder, with the payload's subfolders as folder nodes.
std::unique_ptr<CInstallProject> MakeProject(const Payload& payload, const std::u16string& engine_path,
                                             const std::u16string& build_log);

}  // namespace bench
