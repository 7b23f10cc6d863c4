// Arbitrary bytes as a setup package: opening it (trailer, index stream,
// project) ends in one of the documented results, never a crash.
#include <cstddef>
#include <cstdint>

#include "build/extract.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CMyExtract engine;
  const int32_t result = engine.OpenPackage(fuzzing::WriteInput(data, size));
  switch (result) {
    case EXTRACT_OK:
    case EXTRACT_ERR_SIGNATURE:
    case EXTRACT_ERR_EMPTY:
    case EXTRACT_ERR_CREATE:
      break;
    default:
      __builtin_trap();
  }
  if (result != EXTRACT_OK && !engine.GetProject()->GetExtractLists().empty()) __builtin_trap();
  return 0;
}
