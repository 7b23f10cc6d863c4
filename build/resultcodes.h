// Result codes of the package layer. 1002 is success. Numbers are never
// reused: a retired code stays listed here.
#pragma once

#include <cstdint>

enum : int32_t {
  EXTRACT_ERR_OPEN = 1000,       // the package or an output cannot be opened
  EXTRACT_ERR_SIGNATURE = 1001,  // magic or version missing; a damaged trailer or index
  EXTRACT_OK = 1002,
  EXTRACT_ERR_DATA = 1003,       // a payload stream does not inflate to its end, or an unsafe entry name
  EXTRACT_ERR_EMPTY = 1004,      // the package table has no entry
  EXTRACT_ERR_CREATE = 1005,     // a temporary or output file cannot be created
  BUILD_ERR_SOURCE = 1006,       // a source path is neither a readable file nor a folder
  BUILD_ERR_PROJECT = 1008,      // no project, no product record, no readable engine image
  BUILD_ERR_INDEX = 1009,        // the temporary index file cannot be made or listed
  EXTRACT_ERR_NOT_FOUND = 1010,  // no extract list of that name
  EXTRACT_ERR_NO_DIR = 1011,     // the target folder argument is empty
  EXTRACT_ERR_STOPPED = 1012,    // stopped on request before the next file (a cancelled installation)
};

// Progress codes passed to the progress callback.
enum : int32_t {
  PROGRESS_FILE_BEGIN = 1000,
  PROGRESS_FILE_END = 1001,
  PROGRESS_STEP = 1002,
};

// The progress callback: a code, a pointer to a percentage (0..100) and the
// caller's data, passed through unchanged. May be null. The builder passes,
// with PROGRESS_FILE_BEGIN, the source path's characters (const char16_t*)
// in place of the percentage.
using ExtractProgressProc = void (*)(int32_t code, int32_t* percent, void* userData);
