#include "libs/quillon.h"

#include <algorithm>

namespace {

// The product's colours, from the setup skin's palette.
const unsigned long kPalette[] = {0x00D98A2B, 0x0037B7F2, 0x004DC26A, 0x00C05CE0, 0x00F0F0F0};

unsigned Next(unsigned& state) {
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

float Unit(unsigned& state) { return static_cast<float>(Next(state) & 0xFFFF) / 65535.0f; }

}  // namespace

void QuillonSeed(QuillonShape* shapes, int count, int width, int height, unsigned seed) {
  if (!shapes || count <= 0 || width <= 0 || height <= 0) return;
  unsigned state = seed ? seed : 1u;
  const float scale = static_cast<float>(std::min(width, height));
  for (int i = 0; i < count; ++i) {
    QuillonShape& s = shapes[i];
    s.radius = scale * (0.04f + 0.08f * Unit(state));
    s.x = s.radius + Unit(state) * std::max(1.0f, width - 2 * s.radius);
    s.y = s.radius + Unit(state) * std::max(1.0f, height - 2 * s.radius);
    const float speed = std::max(1.0f, scale / 160.0f);
    s.dx = speed * (0.5f + Unit(state)) * ((Next(state) & 1) ? 1.0f : -1.0f);
    s.dy = speed * (0.5f + Unit(state)) * ((Next(state) & 1) ? 1.0f : -1.0f);
    s.colour = kPalette[i % (sizeof(kPalette) / sizeof(kPalette[0]))];
  }
}

void QuillonStep(QuillonShape* shapes, int count, int width, int height) {
  if (!shapes || count <= 0) return;
  for (int i = 0; i < count; ++i) {
    QuillonShape& s = shapes[i];
    s.x += s.dx;
    s.y += s.dy;
    if (s.x - s.radius < 0) {
      s.x = s.radius;
      s.dx = -s.dx;
    } else if (s.x + s.radius > width) {
      s.x = std::max(s.radius, width - s.radius);
      s.dx = -s.dx;
    }
    if (s.y - s.radius < 0) {
      s.y = s.radius;
      s.dy = -s.dy;
    } else if (s.y + s.radius > height) {
      s.y = std::max(s.radius, height - s.radius);
      s.dy = -s.dy;
    }
  }
}
