// The hard-edged drawing operations at a scale other than 100 %: a layout
// pixel becomes the block of physical pixels it covers, so lines, outlines
// and hand-placed pixels keep their weight and stay sharp, and a triangle
// covers the blocks of its extreme pixels.
#include <algorithm>
#include <cstdint>

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/raster/LineWalk.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora {

namespace {

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// One axis of a triangle: its extremes go to the outer edges of their
// blocks, the middle value between them in proportion.
void ScaleTriangleAxis(int& a, int& b, int& c, int percent) {
  const int lo = std::min({a, b, c}), hi = std::max({a, b, c});
  if (lo == hi) {
    a = b = c = ScaleCoordinate(lo, percent);
    return;
  }
  const int64_t from = ScaleCoordinate(lo, percent);
  const int64_t to = int64_t(ScaleCoordinate(ClampToInt(int64_t(hi) + 1), percent)) - 1;
  auto map = [&](int v) {
    const int64_t num = (int64_t(v) - lo) * (to - from) * 2 + (int64_t(hi) - lo);
    return ClampToInt(from + num / ((int64_t(hi) - lo) * 2));
  };
  a = map(a);
  b = map(b);
  c = map(c);
}

}  // namespace

void IGraphics::FillLayoutPixels(const Color& color, int x1, int y1, int x2, int y2) {
  const int percent = mSurfacePercent;
  const int64_t left = std::min(x1, x2), right = int64_t(std::max(x1, x2)) + 1;
  const int64_t top = std::min(y1, y2), bottom = int64_t(std::max(y1, y2)) + 1;
  const Rect block(ScaleCoordinate(int(left), percent), ScaleCoordinate(int(top), percent),
                   ScaleCoordinate(ClampToInt(right), percent), ScaleCoordinate(ClampToInt(bottom), percent));
  const Rect r = Intersect(block, ToPhysical(mDrawRect));
  if (r.Empty()) return;
  FillRect(*mDrawBitmap, r.left, r.top, ClampToInt(r.W()), ClampToInt(r.H()), ToPixel(color), 1.0f, kBlendCopy);
}

void IGraphics::ScaleTriangle(int& x1, int& y1, int& x2, int& y2, int& x3, int& y3) const {
  ScaleTriangleAxis(x1, x2, x3, mSurfacePercent);
  ScaleTriangleAxis(y1, y2, y3, mSurfacePercent);
}

// The pixels the 1x line covers, inside the drawing area, each as its block.
void IGraphics::DrawScaledLine(const Color& color, int x1, int y1, int x2, int y2) {
  if (x1 == x2 || y1 == y2) {
    FillLayoutPixels(color, x1, y1, x2, y2);
    return;
  }
  const Rect& area = mDrawRect;
  const int64_t dx = area.left, dy = area.top;
  WalkLineClipped(ClampToInt(x1 - dx), ClampToInt(y1 - dy), ClampToInt(x2 - dx), ClampToInt(y2 - dy),
                  ClampToInt(area.W()), ClampToInt(area.H()),
                  [&](int x, int y) { FillLayoutPixels(color, int(x + dx), int(y + dy), int(x + dx), int(y + dy)); });
}

}  // namespace velmora
