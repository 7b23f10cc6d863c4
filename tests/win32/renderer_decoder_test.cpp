// The splash's picture decoder (DevIL.dll) reads the logo the renderer
// carries, and refuses that picture cut short or with a damaged byte
// instead of reading past its end.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "setup/renderer/companion_api.h"
#include "setup/renderer/splash_resources.h"

namespace {

std::wstring RendererFolder() {  // see renderer_splash_test.cpp
  wchar_t exe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring folder(exe);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + L"..\\setup\\renderer\\";
}

class Library {
 public:
  Library(const std::wstring& path, DWORD flags) : module_(LoadLibraryExW(path.c_str(), nullptr, flags)) {}
  ~Library() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  HMODULE get() const { return module_; }

  template <typename Function>
  Function Find(const char* name) const {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }

 private:
  HMODULE module_;
};

class RendererDecoder : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(decoder_.get(), nullptr);
    info_ = decoder_.Find<decltype(&GlimmoraImageInfo)>("GlimmoraImageInfo");
    decode_ = decoder_.Find<decltype(&GlimmoraImageDecode)>("GlimmoraImageDecode");
    ASSERT_NE(info_, nullptr);
    ASSERT_NE(decode_, nullptr);

    Library renderer(RendererFolder() + L"3DImageRenderer.dll", LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(renderer.get(), nullptr);
    HRSRC found = FindResourceW(renderer.get(), MAKEINTRESOURCEW(IDR_SPLASH_LOGO), MAKEINTRESOURCEW(10));
    ASSERT_NE(found, nullptr);
    const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(renderer.get(), found)));
    ASSERT_NE(data, nullptr);
    logo_.assign(data, data + SizeofResource(renderer.get(), found));
  }

  // Decodes `bytes` into a picture of the logo's size; false when refused.
  bool Decode(const std::vector<uint8_t>& bytes) {
    std::vector<uint32_t> pixels(size_t{width_} * height_);
    const GlimmoraImage target{width_, height_, width_, pixels.data()};
    return decode_(bytes.data(), bytes.size(), &target) != 0;
  }

  Library decoder_{RendererFolder() + L"DevIL.dll", 0};
  decltype(&GlimmoraImageInfo) info_ = nullptr;
  decltype(&GlimmoraImageDecode) decode_ = nullptr;
  std::vector<uint8_t> logo_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
};

TEST_F(RendererDecoder, ReadsTheLogo) {
  ASSERT_TRUE(info_(logo_.data(), logo_.size(), &width_, &height_));
  EXPECT_EQ(width_, 64u);
  EXPECT_EQ(height_, 64u);
  std::vector<uint32_t> pixels(size_t{width_} * height_);
  const GlimmoraImage target{width_, height_, width_, pixels.data()};
  ASSERT_TRUE(decode_(logo_.data(), logo_.size(), &target));
  size_t opaque = 0;
  for (uint32_t pixel : pixels) {
    const uint32_t alpha = pixel >> 24;
    if (alpha == 255) ++opaque;
    // Premultiplied: no colour channel exceeds alpha.
    ASSERT_LE((pixel >> 16) & 0xFF, alpha);
    ASSERT_LE((pixel >> 8) & 0xFF, alpha);
    ASSERT_LE(pixel & 0xFF, alpha);
  }
  EXPECT_GT(opaque, 0u);
}

TEST_F(RendererDecoder, RefusesThePictureCutShortOrDamaged) {
  ASSERT_TRUE(info_(logo_.data(), logo_.size(), &width_, &height_));
  for (size_t length = 0; length < logo_.size(); ++length) {
    const std::vector<uint8_t> cut(logo_.begin(), logo_.begin() + static_cast<std::ptrdiff_t>(length));
    EXPECT_FALSE(Decode(cut)) << "cut to " << length << " bytes";
  }
  for (size_t at = 0; at < logo_.size(); at += 97) {
    std::vector<uint8_t> damaged = logo_;
    damaged[at] ^= 0x10;
    EXPECT_FALSE(Decode(damaged)) << "byte " << at << " damaged";
  }
}

}  // namespace
