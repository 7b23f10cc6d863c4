// The package container: the program image, one zlib stream per packed file,
// the index stream, and a trailer that locates the index:
//
//   entries (offset, unpacked size, packed size, name bytes, name length)
//   entry count | "2.00" | "@TORVANEK&@"  (UTF-16LE)  | anything appended later
//
// A code signature may follow the trailer, so the magic is searched for
// backwards from the end of the file.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "build/resultcodes.h"
#include "platform/file.h"

constexpr size_t kPackageMagicBytes = 22;    // eleven UTF-16 characters
constexpr size_t kPackageVersionBytes = 8;   // four UTF-16 characters
constexpr uint32_t kPackageTableRows = 20;
constexpr uint32_t kMaxEntryNameBytes = 8000;
constexpr uint32_t kSearchBlockBytes = 8000;
constexpr uint32_t kSearchBlocks = 50;

// The magic and the version as the file stores them. They are assembled at
// run time so that the program image never holds them as contiguous bytes:
// a setup program without payload must not find its own constant.
const std::array<uint8_t, kPackageMagicBytes>& PackageMagic();
const std::array<uint8_t, kPackageVersionBytes>& PackageFormatVersion();

struct PackageTableEntry {
  std::u16string name;
  uint32_t offset = 0;
  uint32_t unpackedSize = 0;
  uint32_t packedSize = 0;
};

struct PackageTable {
  std::array<PackageTableEntry, kPackageTableRows> rows;
  uint32_t count = 0;
};

// Distance from the end of the file to the byte after the magic, or nothing.
std::optional<uint32_t> LocatePackageMagic(platform::File& file);

// Reads the version, the count and (when `table` is given) the entries.
// EXTRACT_OK, EXTRACT_ERR_SIGNATURE (also for a count above 20 or a name
// that is too long, odd or reaches before the start of the file) or
// EXTRACT_ERR_EMPTY. Without `table`, only version and count are checked.
int32_t ReadPackageTable(platform::File& file, uint32_t distance, PackageTable* table, uint32_t* count);

// Locate and read in one step: the result of a reader opening a package.
int32_t ReadPackageTrailer(platform::File& file, PackageTable* table, uint32_t* count);

// The trailer bytes for `table`, as the builder appends them.
std::vector<uint8_t> EncodePackageTrailer(const PackageTable& table);

// The longest file or folder name Windows creates, in UTF-16 units.
constexpr size_t kMaxFileNameUnits = 255;

// True when `name` can be created as one file or folder inside a folder, and
// means that file on Windows: not empty, at most 255 UTF-16 units, no
// separator, drive colon, wildcard, quote, angle bracket, pipe or control
// character, no trailing dot or blank (so never "." or ".."), no half of a
// surrogate pair, and no device name such as "CON", "nul.txt" or "COM1".
bool IsSafeEntryName(const std::u16string& name);
