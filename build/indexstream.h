// The index stream of a package, inflated in memory. The index is what every
// reader loads before anything else, so its size is bounded twice: by the
// unpacked size its table row records, and by a fixed cap that no real
// project comes near. A stream that would inflate beyond either is a damaged
// package, never an allocation of gigabytes or a temporary file that fills
// the disk.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "build/packageformat.h"
#include "platform/file.h"

// The largest index any reader accepts (a project of many thousand files
// stays below one megabyte).
constexpr uint32_t kMaxIndexBytes = 64u * 1024 * 1024;

// Inflates the stream that `row` locates into `index`. EXTRACT_OK when the
// stream lies inside the file, reaches its end within its packed bytes and
// inflates to no more than the row's unpacked size and kMaxIndexBytes;
// otherwise EXTRACT_ERR_SIGNATURE with `error` saying what is wrong, and
// `index` empty.
int32_t ReadIndexStream(platform::File& package, const PackageTableEntry& row, std::vector<uint8_t>& index,
                        std::string& error);
