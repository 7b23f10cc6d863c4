// Fuzz inputs that the code under test reads as a file: written to a private
// folder in memory-backed storage, so that each input costs little.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/file.h"

namespace fuzzing {

// The platform root for this process, created on first use.
inline const std::string& FuzzRoot() {
  static const std::string root = [] {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string dir = std::string(base) + "/glimmora-fuzz-" + std::to_string(getpid());
    platform::SetPosixRoot(dir);
    return dir;
  }();
  return root;
}

// Writes the input as "C:\input.bin" below the fuzz root and returns that path.
inline std::u16string WriteInput(const uint8_t* data, size_t size) {
  FuzzRoot();
  platform::CreateFolder(u"C:");
  const std::u16string path = u"C:\\input.bin";
  platform::File file = platform::File::Open(path, platform::OpenMode::kCreateTruncate);
  if (file.IsOpen() && size != 0) file.Write(data, size);
  return path;
}

}  // namespace fuzzing
