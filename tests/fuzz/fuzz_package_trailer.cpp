// Arbitrary bytes as a package file: locating the magic and reading the table
// ends in a result code, and a table that reads is within its limits.
#include <cstddef>
#include <cstdint>

#include "build/packageformat.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::File file = platform::File::Open(fuzzing::WriteInput(data, size), platform::OpenMode::kReadShared);
  if (!file.IsOpen()) return 0;
  PackageTable table;
  const int32_t result = ReadPackageTrailer(file, &table, nullptr);
  if (result == EXTRACT_OK) {
    if (table.count == 0 || table.count > kPackageTableRows) __builtin_trap();
    for (uint32_t i = 0; i < table.count; ++i) {
      if (table.rows[i].name.size() * 2 > kMaxEntryNameBytes) __builtin_trap();
    }
  } else if (result != EXTRACT_ERR_SIGNATURE && result != EXTRACT_ERR_EMPTY) {
    __builtin_trap();
  }
  return 0;
}
