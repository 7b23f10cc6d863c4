#include "skin/core/skinline.h"

#include <climits>

namespace skin {

std::vector<std::u16string> SplitColumns(const std::u16string& value) {
  // Every comma closes the column before it; what follows the last comma is
  // a column only when it holds something, because the skin files were
  // written with trailing commas that were never meant as columns.
  std::vector<std::u16string> columns;
  size_t start = 0;
  for (size_t comma = value.find(u','); comma != std::u16string::npos; comma = value.find(u',', start)) {
    columns.push_back(value.substr(start, comma - start));
    start = comma + 1;
  }
  if (start < value.size()) columns.push_back(value.substr(start));
  return columns;
}

int ReadNumber(const std::u16string& column) {
  size_t i = 0;
  while (i < column.size() && (column[i] == u' ' || (column[i] >= u'\t' && column[i] <= u'\r'))) ++i;
  bool negative = false;
  if (i < column.size() && (column[i] == u'+' || column[i] == u'-')) {
    negative = column[i] == u'-';
    ++i;
  }
  // Gathered as a negative number, which reaches INT_MIN as well.
  long long value = 0;
  for (; i < column.size() && column[i] >= u'0' && column[i] <= u'9'; ++i) {
    value = value * 10 - (column[i] - u'0');
    if (value < INT_MIN) return negative ? INT_MIN : INT_MAX;
  }
  if (negative) return static_cast<int>(value);
  return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
}

bool JoinPicturePath(const std::u16string& folder, const std::u16string& name, std::u16string* path) {
  if (path == nullptr) return false;
  path->clear();
  if (folder.size() + name.size() > kMaxSkinPath) return false;
  *path = folder + name;
  return true;
}

}  // namespace skin
