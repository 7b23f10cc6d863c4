#include "setup/licencetext.h"

#include <algorithm>

std::u16string LicenceTextFromResource(const void* bytes, size_t size) {
  const size_t units = size / 2;
  if (!bytes || units == 0) return {};
  std::u16string text(units - 1, u'\0');
  // Copied byte-wise: resource data carries no alignment promise.
  const auto* from = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i + 1 < units; ++i) text[i] = static_cast<char16_t>(from[2 * i] | (from[2 * i + 1] << 8));
  return text;
}

PrintLayout LayoutPrintedText(int total_height, int page_height, int line_height) {
  PrintLayout layout{};
  line_height = std::max(line_height, 1);
  layout.lines_per_page = std::max(page_height / line_height, 1);
  layout.page_step = layout.lines_per_page * line_height;
  total_height = std::max(total_height, 0);
  layout.pages = std::max((total_height + layout.page_step - 1) / layout.page_step, 1);
  return layout;
}
