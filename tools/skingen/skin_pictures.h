// The 36 pictures of the setup program's skin: what each file is called,
// which resource carries it, its size, its file format and how it is painted.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace skingen {

enum class Format { kBitmap, kPng };

struct SkinPicture {
  const char* file;  // the name the skin description and the pages use
  int resource_id;   // of type "Png" in the setup program
  int width;
  int height;
  Format format;
  void (*paint)(Canvas& canvas);
  const char* shows;  // one line for people reading the listing
};

// In the order the setup program writes them into its temporary folder.
const std::vector<SkinPicture>& SkinPictures();

Canvas Render(const SkinPicture& picture);
// The file's bytes: a bitmap or a PNG, as the format says.
std::vector<uint8_t> Encode(const SkinPicture& picture);

// The program icon, "glimmora.ico": the product mark at 16, 32 and 48 pixels.
constexpr const char* kProgramIconFile = "glimmora.ico";
std::vector<uint8_t> EncodeProgramIcon();

}  // namespace skingen
