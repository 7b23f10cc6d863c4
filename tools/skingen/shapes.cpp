#include "shapes.h"

#include <algorithm>
#include <cmath>

namespace skingen {
namespace {

// One pixel of room around every shape for its smooth edge.
constexpr float kEdge = 1.0f;

float Length(float x, float y) { return std::sqrt(x * x + y * y); }

float SegmentDistance(Point p, Point a, Point b) {
  float dx = b.x - a.x, dy = b.y - a.y;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0f, 1.0f) : 0.0f;
  return Length(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

Shape Bounded(float left, float top, float right, float bottom, std::function<float(float, float)> distance) {
  return Shape{left - kEdge, top - kEdge, right + kEdge, bottom + kEdge, std::move(distance)};
}

}  // namespace

Shape RoundedRect(float left, float top, float right, float bottom, float radius) {
  float cx = (left + right) / 2, cy = (top + bottom) / 2;
  float hx = (right - left) / 2, hy = (bottom - top) / 2;
  radius = std::min({radius, hx, hy});
  return Bounded(left, top, right, bottom, [=](float x, float y) {
    float qx = std::fabs(x - cx) - hx + radius;
    float qy = std::fabs(y - cy) - hy + radius;
    return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - radius;
  });
}

Shape Circle(float cx, float cy, float radius) {
  return Bounded(cx - radius, cy - radius, cx + radius, cy + radius,
                 [=](float x, float y) { return Length(x - cx, y - cy) - radius; });
}

Shape Segment(Point a, Point b, float width) { return Polyline({a, b}, width); }

Shape Polyline(const std::vector<Point>& points, float width) {
  float half = width / 2;
  float left = points[0].x, right = left, top = points[0].y, bottom = top;
  for (const Point& p : points) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return Bounded(left - half, top - half, right + half, bottom + half, [points, half](float x, float y) {
    float best = SegmentDistance({x, y}, points[0], points[0]);
    for (size_t i = 1; i < points.size(); ++i) best = std::min(best, SegmentDistance({x, y}, points[i - 1], points[i]));
    return best - half;
  });
}

Shape ConvexPolygon(const std::vector<Point>& corners) {
  float left = corners[0].x, right = left, top = corners[0].y, bottom = top;
  for (const Point& p : corners) {
    left = std::min(left, p.x);
    right = std::max(right, p.x);
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  return Bounded(left, top, right, bottom, [corners](float x, float y) {
    float best = 1e9f;
    bool positive = false, negative = false;
    for (size_t i = 0; i < corners.size(); ++i) {
      Point a = corners[i], b = corners[(i + 1) % corners.size()];
      best = std::min(best, SegmentDistance({x, y}, a, b));
      float cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
      if (cross > 0) positive = true;
      if (cross < 0) negative = true;
    }
    bool inside = !(positive && negative);
    return inside ? -best : best;
  });
}

Shape Outline(const Shape& shape, float width) {
  float half = width / 2;
  auto inner = shape.distance;
  return Shape{shape.left - half, shape.top - half, shape.right + half, shape.bottom + half,
               [inner, half](float x, float y) { return std::fabs(inner(x, y)) - half; }};
}

Shape Union(const Shape& a, const Shape& b) {
  auto da = a.distance, db = b.distance;
  return Shape{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
               std::max(a.bottom, b.bottom), [da, db](float x, float y) { return std::min(da(x, y), db(x, y)); }};
}

Shape Subtract(const Shape& a, const Shape& b) {
  auto da = a.distance, db = b.distance;
  return Shape{a.left, a.top, a.right, a.bottom, [da, db](float x, float y) { return std::max(da(x, y), -db(x, y)); }};
}

Shape Arrow(Direction direction, float cx, float cy, float size) {
  // A flat triangle, twice as wide as it is tall, pointing away from its base.
  float w = size / 2, h = size / 4;
  switch (direction) {
    case Direction::kUp:
      return ConvexPolygon({{cx - w, cy + h}, {cx + w, cy + h}, {cx, cy - h}});
    case Direction::kDown:
      return ConvexPolygon({{cx - w, cy - h}, {cx + w, cy - h}, {cx, cy + h}});
    case Direction::kLeft:
      return ConvexPolygon({{cx + h, cy - w}, {cx + h, cy + w}, {cx - h, cy}});
    case Direction::kRight:
      break;
  }
  return ConvexPolygon({{cx - h, cy - w}, {cx - h, cy + w}, {cx + h, cy}});
}

Shape CheckMark(float cx, float cy, float size, float stroke) {
  float s = size / 2;
  return Polyline({{cx - 0.8f * s, cy + 0.05f * s}, {cx - 0.25f * s, cy + 0.6f * s}, {cx + 0.8f * s, cy - 0.55f * s}},
                  stroke);
}

Shape Minus(float cx, float cy, float size, float stroke) {
  float s = size / 2;
  return Segment({cx - s, cy}, {cx + s, cy}, stroke);
}

Shape Cross(float cx, float cy, float size, float stroke) {
  float s = size / 2;
  return Union(Segment({cx - s, cy - s}, {cx + s, cy + s}, stroke),
               Segment({cx - s, cy + s}, {cx + s, cy - s}, stroke));
}

}  // namespace skingen
