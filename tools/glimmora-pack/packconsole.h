// What glimmora-pack prints. Names come from packages and folders that
// anyone can hand the tool, and a name may hold control characters: printed
// raw, they would move the cursor, recolour or retitle the user's terminal,
// or fake a line of output. Everything the tool prints goes through an
// escaping stream, and each name is escaped where it is put into a line.
#pragma once

#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>

namespace glimmora_pack {

// `text` (UTF-8) with every control character written as an escape: C0 and
// DEL as "\x1B", C1 as "\u009B", and each byte that is not UTF-8 as "\xFF".
// Line breaks are escaped too, so a name stays within its line.
std::string Printable(std::string_view text);
// The same for UTF-16 text, such as a name from a package.
std::string Printable(const std::u16string& text);

// An output stream that writes through to `target` with the escapes of
// Printable, except that it passes line breaks: the lines are the tool's own.
class EscapingStream : public std::ostream {
 public:
  explicit EscapingStream(std::ostream& target);
  ~EscapingStream() override;
  EscapingStream(const EscapingStream&) = delete;
  EscapingStream& operator=(const EscapingStream&) = delete;

 private:
  std::unique_ptr<std::streambuf> buffer_;
};

}  // namespace glimmora_pack
