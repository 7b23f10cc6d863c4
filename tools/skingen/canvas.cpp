#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace skingen {
namespace {

float Channel(uint32_t rgb, int shift) { return static_cast<float>((rgb >> shift) & 0xFF) / 255.0f; }

uint8_t Byte(float value) { return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0f, 1.0f) * 255.0f)); }

// Source over destination, straight alpha.
Rgba Over(Rgba top, Rgba below) {
  float a = top.a + below.a * (1 - top.a);
  if (a <= 0) return Rgba{0, 0, 0, 0};
  auto mix = [&](float t, float b) { return (t * top.a + b * below.a * (1 - top.a)) / a; };
  return Rgba{mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b), a};
}

}  // namespace

Rgba Hex(uint32_t rgb, float alpha) { return Rgba{Channel(rgb, 16), Channel(rgb, 8), Channel(rgb, 0), alpha}; }

Rgba Mix(Rgba from, Rgba to, float t) {
  t = std::clamp(t, 0.0f, 1.0f);
  return Rgba{from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
              from.a + (to.a - from.a) * t};
}

Rgba WithAlpha(Rgba colour, float alpha) {
  colour.a = alpha;
  return colour;
}

Paint Solid(Rgba colour) {
  return [colour](float, float) { return colour; };
}

Paint VerticalGradient(float top, float bottom, Rgba top_colour, Rgba bottom_colour) {
  return [=](float, float y) { return Mix(top_colour, bottom_colour, (y - top) / (bottom - top)); };
}

Paint HorizontalGradient(float left, float right, Rgba left_colour, Rgba right_colour) {
  return [=](float x, float) { return Mix(left_colour, right_colour, (x - left) / (right - left)); };
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * static_cast<size_t>(height), fill) {}

void Canvas::Fill(const Paint& paint) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) Set(x, y, paint(x + 0.5f, y + 0.5f));
  }
}

void Canvas::Draw(const Shape& shape, const Paint& paint) {
  int x0 = std::max(0, static_cast<int>(std::floor(shape.left)));
  int y0 = std::max(0, static_cast<int>(std::floor(shape.top)));
  int x1 = std::min(width_, static_cast<int>(std::ceil(shape.right)) + 1);
  int y1 = std::min(height_, static_cast<int>(std::ceil(shape.bottom)) + 1);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      // Coverage of a pixel by an edge at signed distance d from its centre.
      float coverage = std::clamp(0.5f - shape.distance(px, py), 0.0f, 1.0f);
      if (coverage <= 0) continue;
      Rgba colour = paint(px, py);
      colour.a *= coverage;
      Set(x, y, Over(colour, At(x, y)));
    }
  }
}

void Canvas::Stamp(const Shape& shape, Rgba colour, bool outside) {
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      bool inside = shape.distance(x + 0.5f, y + 0.5f) <= 0;
      if (inside != outside) Set(x, y, colour);
    }
  }
}

void Canvas::Copy(const Canvas& source, int sx, int sy, int width, int height, int dx, int dy, bool transpose) {
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      Rgba colour = source.At(sx + x, sy + y);
      if (transpose) {
        Set(dx + y, dy + x, colour);
      } else {
        Set(dx + x, dy + y, colour);
      }
    }
  }
}

std::vector<uint8_t> Canvas::Rgba8() const {
  std::vector<uint8_t> bytes;
  bytes.reserve(pixels_.size() * 4);
  for (const Rgba& p : pixels_) {
    bool clear = Byte(p.a) == 0;  // a fully transparent pixel carries no colour
    bytes.push_back(clear ? 0 : Byte(p.r));
    bytes.push_back(clear ? 0 : Byte(p.g));
    bytes.push_back(clear ? 0 : Byte(p.b));
    bytes.push_back(Byte(p.a));
  }
  return bytes;
}

}  // namespace skingen
