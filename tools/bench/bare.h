// The yardsticks the package layer is measured against: the plainest zlib
// loops over the same bytes, with the same block size, on plain POSIX
// descriptors. Whatever the builder or the engine takes beyond these is the
// package layer's own cost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// Deflates each source (level 6, one zlib stream per file) into one output
// file through a 40960-byte input and a 40960-byte output buffer. Host paths.
bool BareDeflate(const std::vector<std::string>& sources, const std::string& output, uint64_t* bytes_in,
                 uint64_t* bytes_out, std::string* error);

struct BareStream {
  uint32_t offset;
  uint32_t packed_size;
  std::string output;  // host path
};

// Creates `folders` (parents first), then inflates each stream of `package`
// into its output through 40960-byte input and output buffers, reading no
// more than the stream's packed size.
bool BareInflate(const std::string& package, const std::vector<std::string>& folders,
                 const std::vector<BareStream>& streams, uint64_t* bytes_out, std::string* error);

}  // namespace bench
