#include "packnames.h"

#include <locale.h>
#include <wctype.h>

namespace glimmora_pack {
namespace {

// The C library's Unicode case table, whatever locale the user runs in;
// without it only ASCII letters are folded.
locale_t UnicodeLocale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

char16_t Upper(char16_t c) {
  if (c < 0x80) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  const locale_t locale = UnicodeLocale();
  if (locale == static_cast<locale_t>(0)) return c;
  const wint_t upper = towupper_l(static_cast<wint_t>(c), locale);
  return upper <= 0xFFFF ? static_cast<char16_t>(upper) : c;
}

}  // namespace

std::u16string FoldName(const std::u16string& name) {
  std::u16string folded = name;
  for (char16_t& c : folded) c = Upper(c);
  return folded;
}

}  // namespace glimmora_pack
