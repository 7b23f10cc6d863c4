// Error codes and their texts.
#include <gtest/gtest.h>

#include "platform/diag.h"
#include "platform/file.h"

namespace {

TEST(PlatformDiag, ErrorTextsForOurCodes) {
  using namespace platform;
  for (uint32_t code : {kErrorFileNotFound, kErrorPathNotFound, kErrorAccessDenied, kErrorInvalidHandle,
                        kErrorNotEnoughMemory, kErrorWriteFault, kErrorReadFault, kErrorSharingViolation,
                        kErrorHandleEof, kErrorFileExists, kErrorInvalidParameter, kErrorDiskFull,
                        kErrorInvalidName, kErrorDirNotEmpty, kErrorAlreadyExists, kErrorFilenameTooLong,
                        kErrorTooManyOpenFiles, kErrorGenFailure, kErrorNegativeSeek}) {
    const std::u16string text = ErrorText(code);
    ASSERT_FALSE(text.empty()) << code;
    EXPECT_NE(text.back(), u'\n') << code;
    EXPECT_NE(text.back(), u'\r') << code;
  }
  EXPECT_NE(ErrorText(kErrorFileNotFound), ErrorText(kErrorPathNotFound));
}

TEST(PlatformDiag, LastErrorKeepsWhatWasSet) {
  for (uint32_t code : {uint32_t{platform::kErrorDiskFull}, 0u, 0xDEADBEEFu, uint32_t{platform::kErrorSharingViolation}}) {
    platform::SetLastError(code);
    EXPECT_EQ(platform::LastError(), code);
  }
}

}  // namespace
