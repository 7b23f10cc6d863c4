// Geometry of the skin pictures: shapes described by their signed distance
// (negative inside, in pixels), so that one rule gives both the smooth edges
// of the pictures and the hard edges of the shape masks.
#pragma once

#include <functional>
#include <vector>

namespace skingen {

struct Point {
  float x;
  float y;
};

struct Shape {
  // Bounds of the area where the shape can cover a pixel at all.
  float left;
  float top;
  float right;
  float bottom;
  std::function<float(float x, float y)> distance;
};

Shape RoundedRect(float left, float top, float right, float bottom, float radius);
Shape Circle(float cx, float cy, float radius);
// A stroke of the given width between two points, with round ends.
Shape Segment(Point a, Point b, float width);
Shape Polyline(const std::vector<Point>& points, float width);
// Any convex polygon, its corners in either winding order.
Shape ConvexPolygon(const std::vector<Point>& corners);

// A band of `width` centred on the edge of `shape`.
Shape Outline(const Shape& shape, float width);
Shape Union(const Shape& a, const Shape& b);
// What lies in `a` and not in `b`.
Shape Subtract(const Shape& a, const Shape& b);

// Glyphs, each centred on (cx, cy) within a square of side `size`.
enum class Direction { kUp, kDown, kLeft, kRight };
Shape Arrow(Direction direction, float cx, float cy, float size);
Shape CheckMark(float cx, float cy, float size, float stroke);
Shape Minus(float cx, float cy, float size, float stroke);
Shape Cross(float cx, float cy, float size, float stroke);

}  // namespace skingen
