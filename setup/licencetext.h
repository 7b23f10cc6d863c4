// The licence text as the licence page shows it, from a stored resource.
#pragma once

#include <cstddef>
#include <string>

// The resource is UTF-16 with a byte-order mark and ends in a line feed:
// the text is every code unit but the last, the mark included. Anything
// too short to hold a code unit gives an empty text.
std::u16string LicenceTextFromResource(const void* bytes, size_t size);

// How a text of `total_height` pixels is cut into pages of `page_height`
// pixels with lines of `line_height` pixels: whole lines per page (at
// least one), and the number of pages (at least one, none left empty).
struct PrintLayout {
  int lines_per_page;
  int page_step;  // pixels the text moves up from one page to the next
  int pages;
};
PrintLayout LayoutPrintedText(int total_height, int page_height, int line_height);
