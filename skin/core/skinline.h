// The grammar of one skin line's value: columns cut at commas, numbers read
// the way the skin files were written, picture names joined to the folder.
#pragma once

#include <string>
#include <vector>

namespace skin {

// Cuts a value at every comma. Empty columns keep their place ("a,,b" has
// three columns, ",a" an empty column 0); a trailing comma adds no column.
// Nothing is trimmed.
std::vector<std::u16string> SplitColumns(const std::u16string& value);

// Leading blanks, an optional sign, then decimal digits up to the first other
// character; text that does not start with a number reads as 0. Values beyond
// the int range saturate instead of overflowing.
int ReadNumber(const std::u16string& column);

// The longest path a picture, the skin folder or the description may have
// (their buffers hold 256 characters with the terminator).
constexpr size_t kMaxSkinPath = 255;

// Folder (ending in a backslash) followed by the picture name. A result that
// would not fit kMaxSkinPath is refused: false, and *path is left empty.
bool JoinPicturePath(const std::u16string& folder, const std::u16string& name, std::u16string* path);

}  // namespace skin
