// What kind of picture a file name says it is.
#pragma once

#include <string>

namespace skin {

enum ImageFileClass {
  kImageBitmap = 0,
  kImageIcon = 1,
  kImageJpeg = 2,
  kImageGif = 3,
  kImageVideo = 4,
  kImageMsn = 5,
  kImageUnknown = 6,
};

// Upper-cases the path and tests ".BMP", ".ICO", ".JPG"/".JPEG", ".GIF",
// the video names, ".MSN" in that order; a row matches when its text occurs
// at a position greater than 0 (anywhere, not only at the end).
ImageFileClass ClassifyImageFile(const std::u16string& path);

}  // namespace skin
