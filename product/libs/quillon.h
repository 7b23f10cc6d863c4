// Quillon.dll: the drifting marks of the screensaver.
#pragma once

#include "libs/export.h"

struct QuillonShape {
  float x;  // centre
  float y;
  float dx;  // pixels per step
  float dy;
  float radius;
  unsigned long colour;  // COLORREF
};

// Places `count` shapes at pseudo-random spots of a `width` x `height` area,
// with speeds and sizes scaled to it; the same seed gives the same shapes.
GLIMMORA_LIB_API void QuillonSeed(QuillonShape* shapes, int count, int width, int height, unsigned seed);

// Moves every shape one step, bouncing off the edges of the area.
GLIMMORA_LIB_API void QuillonStep(QuillonShape* shapes, int count, int width, int height);
