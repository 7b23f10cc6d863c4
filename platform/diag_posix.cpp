// Diagnostics on a POSIX system: a per-thread error code like Windows
// keeps, and short English texts for the codes this layer produces.
#include <cstdio>
#include <cstdlib>

#include "platform/diag.h"
#include "platform/file.h"
#include "platform/text.h"

namespace platform {
namespace {

thread_local uint32_t last_error = kErrorSuccess;

struct ErrorEntry {
  uint32_t code;
  const char16_t* text;
};

constexpr ErrorEntry kErrorTexts[] = {
    {kErrorSuccess, u"Success."},
    {kErrorFileNotFound, u"File not found."},
    {kErrorPathNotFound, u"Path not found."},
    {kErrorTooManyOpenFiles, u"Too many open files."},
    {kErrorAccessDenied, u"Access denied."},
    {kErrorInvalidHandle, u"Invalid handle."},
    {kErrorNotEnoughMemory, u"Not enough memory."},
    {kErrorWriteFault, u"Write fault."},
    {kErrorReadFault, u"Read fault."},
    {kErrorGenFailure, u"The device does not work."},
    {kErrorSharingViolation, u"The file is in use by another process."},
    {kErrorHandleEof, u"End of file reached."},
    {kErrorFileExists, u"The file exists."},
    {kErrorInvalidParameter, u"Invalid parameter."},
    {kErrorDiskFull, u"The disk is full."},
    {kErrorInvalidName, u"Invalid file or folder name."},
    {kErrorNegativeSeek, u"Seek before the start of the file."},
    {kErrorDirNotEmpty, u"The folder is not empty."},
    {kErrorAlreadyExists, u"The name already exists."},
    {kErrorFilenameTooLong, u"The file name is too long."},
    {kErrorStoppedOnSymlink, u"The create operation stopped after reaching a symbolic link."},
};

}  // namespace

void DebugOutput(const std::u16string& text) {
  if (std::getenv("GLIMMORA_DEBUG") == nullptr) return;
  std::fprintf(stderr, "%s\n", ToUtf8(text).c_str());
}

uint32_t LastError() { return last_error; }

void SetLastError(uint32_t code) { last_error = code; }

std::u16string ErrorText(uint32_t code) {
  for (const auto& entry : kErrorTexts) {
    if (entry.code == code) return entry.text;
  }
  return {};
}

}  // namespace platform
