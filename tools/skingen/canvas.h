// The pixels of one skin picture and the ways of putting paint on them.
// Colours are kept as floats with straight (not premultiplied) alpha while a
// picture is painted, and rounded to 8 bits only when it is written.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "shapes.h"

namespace skingen {

struct Rgba {
  float r;
  float g;
  float b;
  float a;
};

// 0xRRGGBB as written in a colour picker.
Rgba Hex(uint32_t rgb, float alpha = 1.0f);
Rgba Mix(Rgba from, Rgba to, float t);
Rgba WithAlpha(Rgba colour, float alpha);

// The colour a shape is filled with at a point.
using Paint = std::function<Rgba(float x, float y)>;
Paint Solid(Rgba colour);
// From `top_colour` at y = top to `bottom_colour` at y = bottom, constant outside.
Paint VerticalGradient(float top, float bottom, Rgba top_colour, Rgba bottom_colour);
Paint HorizontalGradient(float left, float right, Rgba left_colour, Rgba right_colour);

class Canvas {
 public:
  Canvas(int width, int height, Rgba fill = Rgba{0, 0, 0, 0});

  int width() const { return width_; }
  int height() const { return height_; }
  Rgba At(int x, int y) const { return pixels_[Index(x, y)]; }
  void Set(int x, int y, Rgba colour) { pixels_[Index(x, y)] = colour; }

  // Replaces every pixel.
  void Fill(const Paint& paint);
  // Paints `shape` over what is there, its edge smoothed over one pixel.
  void Draw(const Shape& shape, const Paint& paint);
  void Draw(const Shape& shape, Rgba colour) { Draw(shape, Solid(colour)); }
  // Replaces the pixels whose centre lies in `shape` (or, with `outside`,
  // those whose centre does not): hard edges, for shape masks.
  void Stamp(const Shape& shape, Rgba colour, bool outside = false);
  // Copies a `width` x `height` block of `source` at (sx, sy) to (dx, dy);
  // with `transpose` the block is mirrored on its diagonal (x and y swap).
  void Copy(const Canvas& source, int sx, int sy, int width, int height, int dx, int dy, bool transpose = false);

  // Row by row from the top, 4 bytes a pixel: red, green, blue, alpha.
  std::vector<uint8_t> Rgba8() const;

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + x; }

  int width_;
  int height_;
  std::vector<Rgba> pixels_;
};

}  // namespace skingen
