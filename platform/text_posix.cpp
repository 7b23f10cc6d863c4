// UTF-8 and Latin-1 conversions for systems without Windows code pages.
#include "platform/text.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The lowest and highest second byte a lead byte allows; the narrowed
// ranges keep out overlong forms, surrogates and values above U+10FFFF.
struct LeadInfo {
  int trail_count;  // -1: not a lead byte
  unsigned char second_min, second_max;
};

LeadInfo Lead(unsigned char b) {
  if (b < 0x80) return {0, 0, 0};
  if (b >= 0xC2 && b <= 0xDF) return {1, 0x80, 0xBF};
  if (b == 0xE0) return {2, 0xA0, 0xBF};
  if (b == 0xED) return {2, 0x80, 0x9F};
  if (b >= 0xE1 && b <= 0xEF) return {2, 0x80, 0xBF};
  if (b == 0xF0) return {3, 0x90, 0xBF};
  if (b >= 0xF1 && b <= 0xF3) return {3, 0x80, 0xBF};
  if (b == 0xF4) return {3, 0x80, 0x8F};
  return {-1, 0, 0};
}

}  // namespace

std::string ToUtf8(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

// Each maximal piece of a broken sequence becomes one U+FFFD, the usual
// practice that Windows follows as well.
std::u16string FromUtf8(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const LeadInfo info = Lead(lead);
    ++i;
    if (info.trail_count == 0) {
      out += static_cast<char16_t>(lead);
      continue;
    }
    if (info.trail_count < 0) {
      out += static_cast<char16_t>(kReplacement);
      continue;
    }
    char32_t c = lead & (0x3F >> info.trail_count);
    int needed = info.trail_count;
    bool broken = false;
    for (int k = 0; k < needed; ++k, ++i) {
      const unsigned char lo = k == 0 ? info.second_min : 0x80;
      const unsigned char hi = k == 0 ? info.second_max : 0xBF;
      if (i >= text.size()) {
        broken = true;
        break;
      }
      const auto b = static_cast<unsigned char>(text[i]);
      if (b < lo || b > hi) {
        broken = true;
        break;
      }
      c = (c << 6) | (b & 0x3F);
    }
    AppendUtf16(out, broken ? kReplacement : c);
  }
  return out;
}

std::string ToAnsi(const std::u16string& text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c <= 0xFF ? static_cast<char>(c) : '?';
  return out;
}

std::u16string FromAnsi(const std::string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (char c : text) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

}  // namespace platform
