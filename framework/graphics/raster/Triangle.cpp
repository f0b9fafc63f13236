#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/Span.h"

namespace velmora {

namespace {

struct Vertex {
  std::int64_t x, y;
};

// One trapezoid side: x at the current row and its change per row, 16.16.
struct Edge {
  std::int64_t x, step;
};

std::int64_t FloorFixed(std::int64_t v) { return v >= 0 ? v >> 16 : -((-v + 0xffff) >> 16); }

Edge MakeEdge(Vertex top, Vertex bottom) {
  const std::int64_t dy = bottom.y - top.y;
  return {top.x * 65536, dy == 0 ? 0 : (bottom.x - top.x) * 65536 / dy};
}

struct SpanStyle {
  Pixel colour;
  int a, method;
};

// Rows top..bottom inclusive; each span covers both of its ends.
void FillTrapezoid(RasterBitmap& bitmap, std::int64_t top, std::int64_t bottom, Edge left, Edge right,
                   const SpanStyle& style) {
  const std::int64_t first = std::max<std::int64_t>(top, 0);
  const std::int64_t last = std::min<std::int64_t>(bottom, bitmap.Height() - 1);
  if (first > last) return;
  const std::int64_t skip = first - top;
  std::int64_t xa = left.x + left.step * skip;
  std::int64_t xb = right.x + right.step * skip;
  for (std::int64_t row = first; row <= last; ++row, xa += left.step, xb += right.step) {
    const std::int64_t from = std::max<std::int64_t>(FloorFixed(std::min(xa, xb)), 0);
    const std::int64_t to = std::min<std::int64_t>(FloorFixed(std::max(xa, xb)), bitmap.Width() - 1);
    if (from <= to) FillSpan(bitmap.Row(int(row)) + from, int(to - from + 1), style.colour, style.a, style.method);
  }
}

bool InRange(int v) { return v >= -kMaxTriangleCoordinate && v <= kMaxTriangleCoordinate; }

}  // namespace

void FillTriangle(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, int x3, int y3, Pixel colour,
                  float opacity, int mode) {
  const int a = OpacityToAlpha(opacity);
  if (a <= 0 || !bitmap.Bits()) return;
  if (!InRange(x1) || !InRange(y1) || !InRange(x2) || !InRange(y2) || !InRange(x3) || !InRange(y3)) return;
  Vertex v[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
  std::stable_sort(v, v + 3, [](const Vertex& p, const Vertex& q) { return p.y < q.y; });
  const SpanStyle style{colour, a, mode & kBlendMethodMask};

  if (v[0].y == v[2].y) {
    const std::int64_t lo = std::min({v[0].x, v[1].x, v[2].x});
    const std::int64_t hi = std::max({v[0].x, v[1].x, v[2].x});
    FillTrapezoid(bitmap, v[0].y, v[0].y, {lo * 65536, 0}, {hi * 65536, 0}, style);
    return;
  }
  const Edge longEdge = MakeEdge(v[0], v[2]);
  if (v[0].y == v[1].y) {
    FillTrapezoid(bitmap, v[0].y, v[2].y, longEdge, MakeEdge(v[1], v[2]), style);
    return;
  }
  if (v[1].y == v[2].y) {
    FillTrapezoid(bitmap, v[0].y, v[2].y, MakeEdge(v[0], v[1]), longEdge, style);
    return;
  }
  // The middle row belongs to the lower trapezoid only, so that partial
  // opacities do not blend it twice.
  FillTrapezoid(bitmap, v[0].y, v[1].y - 1, MakeEdge(v[0], v[1]), longEdge, style);
  const Edge longAtMiddle{longEdge.x + longEdge.step * (v[1].y - v[0].y), longEdge.step};
  FillTrapezoid(bitmap, v[1].y, v[2].y, MakeEdge(v[1], v[2]), longAtMiddle, style);
}

}  // namespace velmora
