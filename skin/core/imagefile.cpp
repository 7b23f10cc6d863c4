#include "skin/core/imagefile.h"

namespace skin {
namespace {

struct Row {
  const char16_t* text;
  ImageFileClass kind;
};

// Tested in this order; ".RM" also catches ".RMVB", which is the same class.
const Row kRows[] = {
    {u".BMP", kImageBitmap}, {u".ICO", kImageIcon},   {u".JPG", kImageJpeg}, {u".JPEG", kImageJpeg},
    {u".GIF", kImageGif},    {u".AVI", kImageVideo},  {u".ASF", kImageVideo}, {u".MPEG", kImageVideo},
    {u".MPG", kImageVideo},  {u".RM", kImageVideo},   {u".RMVB", kImageVideo}, {u".MSN", kImageMsn},
};

}  // namespace

ImageFileClass ClassifyImageFile(const std::u16string& path) {
  std::u16string upper = path;
  for (auto& c : upper) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  // An occurrence at the very start does not count (a bare ".bmp" names no
  // picture), so the search begins at the second character.
  for (const Row& row : kRows) {
    if (upper.size() > 1 && upper.find(row.text, 1) != std::u16string::npos) return row.kind;
  }
  return kImageUnknown;
}

}  // namespace skin
