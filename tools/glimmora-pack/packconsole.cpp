#include "packconsole.h"

#include <cstdint>
#include <cstdio>

#include "platform/text.h"

namespace glimmora_pack {
namespace {

// Sorts bytes into whole UTF-8 characters and escapes the ones a terminal
// would act on.
class Escaper {
 public:
  explicit Escaper(bool pass_line_breaks) : pass_line_breaks_(pass_line_breaks) {}

  void Put(unsigned char byte, std::string& out) {
    if (!pending_.empty()) {
      if ((byte & 0xC0) == 0x80) {
        pending_ += static_cast<char>(byte);
        if (pending_.size() == expected_) EndCharacter(out);
        return;
      }
      Finish(out);  // a character cut short: its bytes are not UTF-8
    }
    if (byte < 0x80) {
      if ((byte < 0x20 && !(byte == '\n' && pass_line_breaks_)) || byte == 0x7F) {
        Escape("\\x%02X", byte, out);
      } else {
        out += static_cast<char>(byte);
      }
      return;
    }
    expected_ = byte >= 0xC2 && byte <= 0xDF ? 2 : byte >= 0xE0 && byte <= 0xEF ? 3 : byte >= 0xF0 && byte <= 0xF4 ? 4 : 0;
    if (expected_ == 0) {
      Escape("\\x%02X", byte, out);
      return;
    }
    pending_ = static_cast<char>(byte);
  }

  // Escapes the bytes of a character that did not end.
  void Finish(std::string& out) {
    for (char c : pending_) Escape("\\x%02X", static_cast<unsigned char>(c), out);
    pending_.clear();
  }

 private:
  void EndCharacter(std::string& out) {
    const auto* b = reinterpret_cast<const unsigned char*>(pending_.data());
    uint32_t c = 0;
    if (expected_ == 2) c = ((b[0] & 0x1Fu) << 6) | (b[1] & 0x3Fu);
    if (expected_ == 3) c = ((b[0] & 0x0Fu) << 12) | ((b[1] & 0x3Fu) << 6) | (b[2] & 0x3Fu);
    if (expected_ == 4) c = ((b[0] & 0x07u) << 18) | ((b[1] & 0x3Fu) << 12) | ((b[2] & 0x3Fu) << 6) | (b[3] & 0x3Fu);
    const uint32_t smallest = expected_ == 2 ? 0x80 : expected_ == 3 ? 0x800 : 0x10000;
    if (c < smallest || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) {
      Finish(out);
      return;
    }
    if (c <= 0x9F) {  // C1: U+009B alone starts a control sequence on many terminals
      Escape("\\u%04X", c, out);
    } else {
      out += pending_;
    }
    pending_.clear();
  }

  static void Escape(const char* format, uint32_t value, std::string& out) {
    char text[8];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(value));
    out += text;
  }

  bool pass_line_breaks_;
  std::string pending_;
  size_t expected_ = 0;
};

// Unbuffered: every character goes to the target at once, so that text
// written to the target directly in between keeps its place.
class EscapingBuffer : public std::streambuf {
 public:
  explicit EscapingBuffer(std::streambuf* target) : target_(target), escaper_(true) {}
  ~EscapingBuffer() override {
    std::string rest;
    escaper_.Finish(rest);
    Write(rest);
  }

 protected:
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    std::string shown;
    escaper_.Put(static_cast<unsigned char>(traits_type::to_char_type(c)), shown);
    return Write(shown) ? c : traits_type::eof();
  }

  std::streamsize xsputn(const char* text, std::streamsize count) override {
    std::string shown;
    for (std::streamsize i = 0; i < count; ++i) escaper_.Put(static_cast<unsigned char>(text[i]), shown);
    return Write(shown) ? count : 0;
  }

  int sync() override { return target_->pubsync(); }

 private:
  bool Write(const std::string& text) {
    return target_->sputn(text.data(), static_cast<std::streamsize>(text.size())) ==
           static_cast<std::streamsize>(text.size());
  }

  std::streambuf* target_;
  Escaper escaper_;
};

}  // namespace

std::string Printable(std::string_view text) {
  Escaper escaper(false);
  std::string out;
  out.reserve(text.size());
  for (char c : text) escaper.Put(static_cast<unsigned char>(c), out);
  escaper.Finish(out);
  return out;
}

std::string Printable(const std::u16string& text) { return Printable(platform::ToUtf8(text)); }

EscapingStream::EscapingStream(std::ostream& target)
    : std::ostream(nullptr), buffer_(std::make_unique<EscapingBuffer>(target.rdbuf())) {
  rdbuf(buffer_.get());
}

EscapingStream::~EscapingStream() {
  flush();
  rdbuf(nullptr);
}

}  // namespace glimmora_pack
