// Feeds arbitrary bytes to the project loader: any input must end in a
// result, never a crash, a hang or an unbounded allocation.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "install/projectloader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CInstallProject project;
  ProjectLoadResult result = LoadProject(data, size, project);
  if (result.ok) {
    // What loads must store, and the stored form must load back to the same
    // bytes (the input itself may use non-canonical lengths or 8-bit text).
    const std::vector<uint8_t> stored = StoreProject(project);
    CInstallProject reloaded;
    if (!LoadProject(stored.data(), stored.size(), reloaded).ok) __builtin_trap();
    if (StoreProject(reloaded) != stored) __builtin_trap();
  }
  return 0;
}
