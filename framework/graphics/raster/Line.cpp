#include <algorithm>
#include <cstdint>

#include "framework/graphics/raster/Combine.h"
#include "framework/graphics/raster/LineWalk.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/Span.h"

namespace velmora {

namespace {

// Horizontal and vertical lines take the shortcuts only for an opacity of
// exactly 0.5, 0.25 or 0.75.
bool ExactShortcutOpacity(float opacity) { return opacity == 0.5f || opacity == 0.25f || opacity == 0.75f; }

void StraightLine(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, Pixel colour, float opacity,
                  int a, int method) {
  const bool shortcuts = ExactShortcutOpacity(opacity);
  if (y1 == y2) {
    if (y1 < 0 || y1 >= bitmap.Height()) return;
    const int from = std::max(std::min(x1, x2), 0);
    const int to = std::min(std::max(x1, x2), bitmap.Width() - 1);
    if (from <= to) FillStrided(bitmap.Row(y1) + from, to - from + 1, 1, colour, a, method, shortcuts);
    return;
  }
  if (x1 < 0 || x1 >= bitmap.Width()) return;
  const int from = std::max(std::min(y1, y2), 0);
  const int to = std::min(std::max(y1, y2), bitmap.Height() - 1);
  if (from <= to) FillStrided(bitmap.Row(from) + x1, to - from + 1, bitmap.RowSpan(), colour, a, method, shortcuts);
}

// Steps i in [lo, hi] for which start + i * dir stays in [0, size).
void ClipSteps(std::int64_t start, std::int64_t dir, std::int64_t size, std::int64_t& lo, std::int64_t& hi) {
  if (dir > 0) {
    lo = std::max(lo, -start);
    hi = std::min(hi, size - 1 - start);
  } else {
    lo = std::max(lo, start - (size - 1));
    hi = std::min(hi, start);
  }
}

void DiagonalLine(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, Pixel colour, int a, int method) {
  const std::int64_t sx = x2 > x1 ? 1 : -1;
  const std::int64_t sy = y2 > y1 ? 1 : -1;
  std::int64_t lo = 0;
  std::int64_t hi = std::llabs(std::int64_t(x2) - x1);
  ClipSteps(x1, sx, bitmap.Width(), lo, hi);
  ClipSteps(y1, sy, bitmap.Height(), lo, hi);
  if (lo > hi) return;
  Pixel* first = bitmap.Row(int(y1 + lo * sy)) + (x1 + lo * sx);
  FillStrided(first, int(hi - lo + 1), sy * bitmap.RowSpan() + sx, colour, a, method);
}

}  // namespace

void DrawLine(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, Pixel colour, float opacity, int mode,
              bool /*antialias*/) {
  const int a = OpacityToAlpha(opacity);
  if (a <= 0 || !bitmap.Bits()) return;
  const int method = mode & kBlendMethodMask;
  if (x1 == x2 || y1 == y2) {
    StraightLine(bitmap, x1, y1, x2, y2, colour, opacity, a, method);
  } else if (std::llabs(std::int64_t(x2) - x1) == std::llabs(std::int64_t(y2) - y1)) {
    DiagonalLine(bitmap, x1, y1, x2, y2, colour, a, method);
  } else {
    WalkLineClipped(x1, y1, x2, y2, bitmap.Width(), bitmap.Height(), [&](int x, int y) {
      Pixel& p = bitmap.Row(y)[x];
      p = combine::ByMethod(method, p, colour, a);
    });
  }
}

}  // namespace velmora
