// The parts of RegKey that do not depend on the backend: ownership and the
// typed helpers, which are plain byte layouts over SetValue/QueryValue.
#include "platform/registry.h"

#include <cstring>
#include <utility>

namespace platform {

RegKey::RegKey(RegKey&& other) noexcept : handle_(std::exchange(other.handle_, 0)) {}

RegKey& RegKey::operator=(RegKey&& other) noexcept {
  if (this != &other) {
    RegKey closing;
    closing.handle_ = std::exchange(handle_, std::exchange(other.handle_, 0));
  }
  return *this;
}

bool RegKey::IsValid() const { return handle_ != 0; }

bool RegKey::SetString(const std::u16string& name, const std::u16string& text) {
  // Stored with its terminating NUL, as the system's own tools write REG_SZ.
  const auto size = static_cast<uint32_t>((text.size() + 1) * sizeof(char16_t));
  return SetValue(name, kRegSz, text.c_str(), size);
}

bool RegKey::SetDword(const std::u16string& name, uint32_t value) {
  uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                      static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  return SetValue(name, kRegDword, bytes, sizeof bytes);
}

std::optional<std::u16string> RegKey::QueryString(const std::u16string& name) const {
  uint32_t type = kRegNone;
  auto bytes = QueryValue(name, &type);
  if (!bytes || (type != kRegSz && type != kRegExpandSz)) return std::nullopt;
  // Other writers do not always store the NUL, or store several; the text
  // ends at the first one or at the end of the data, whichever comes first.
  std::u16string text(bytes->size() / sizeof(char16_t), u'\0');
  if (!text.empty()) std::memcpy(&text[0], bytes->data(), text.size() * sizeof(char16_t));
  const auto nul = text.find(u'\0');
  if (nul != std::u16string::npos) text.resize(nul);
  return text;
}

}  // namespace platform
