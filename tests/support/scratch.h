// Scratch files for tests that touch the disk through the platform layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A fresh, empty folder below the temporary folder, as a Windows path
// ending in a backslash. Earlier contents of the same name are removed.
std::u16string ScratchFolder(const std::string& name);

void WriteFileBytes(const std::u16string& path, const std::vector<uint8_t>& bytes);
// The whole file; empty when it cannot be read (check FileExists first).
std::vector<uint8_t> ReadFileBytes(const std::u16string& path);

// Bytes that look like a small program image.
std::vector<uint8_t> FakeImage(size_t size);
// Deterministic bytes with some structure, so they compress but not to nothing.
std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed);

}  // namespace testing_support
