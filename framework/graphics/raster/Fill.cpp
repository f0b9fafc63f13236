#include <algorithm>
#include <cstdint>

#include "framework/graphics/raster/Combine.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/Span.h"

namespace velmora {

namespace {

template <class Op>
void ForEach(Pixel* d, int n, std::ptrdiff_t step, Op op) {
  for (int i = 0; i < n; ++i, d += step) *d = op(*d);
}

}  // namespace

void FillStrided(Pixel* d, int n, std::ptrdiff_t step, Pixel colour, int a, int method, bool shortcuts) {
  if (method == kBlendAdd) {
    ForEach(d, n, step, [&](Pixel p) { return combine::Add(p, colour, a); });
  } else if (method == kBlendDodge) {
    ForEach(d, n, step, [&](Pixel p) { return combine::Dodge(p, colour, a); });
  } else if (a == 256) {
    ForEach(d, n, step, [&](Pixel) { return colour; });
  } else if (!shortcuts) {
    ForEach(d, n, step, [&](Pixel p) { return combine::Copy(p, colour, a); });
  } else if (a == 128) {
    ForEach(d, n, step, [&](Pixel p) { return combine::Half(p, colour); });
  } else if (a == 64) {
    ForEach(d, n, step, [&](Pixel p) { return combine::Quarter(p, colour); });
  } else if (a == 192) {
    ForEach(d, n, step, [&](Pixel p) { return combine::ThreeQuarters(p, colour); });
  } else {
    ForEach(d, n, step, [&](Pixel p) { return combine::Copy(p, colour, a); });
  }
}

void FillSpan(Pixel* d, int n, Pixel colour, int a, int method) {
  if (a == 256 && method != kBlendAdd && method != kBlendDodge) {
    std::fill(d, d + n, colour);
    return;
  }
  FillStrided(d, n, 1, colour, a, method);
}

void FillRect(RasterBitmap& bitmap, int x, int y, int width, int height, Pixel colour, float opacity,
              int mode) {
  if (mode & kBlendUseSourceAlpha) opacity *= float(PixelAlpha(colour)) / 255.0f;
  const int a = OpacityToAlpha(opacity);
  if (a <= 0 || !bitmap.Bits()) return;
  std::int64_t left = x, top = y, w = width, h = height;
  if (left < 0) { w += left; left = 0; }
  if (top < 0) { h += top; top = 0; }
  w = std::min<std::int64_t>(w, bitmap.Width() - left);
  h = std::min<std::int64_t>(h, bitmap.Height() - top);
  if (w <= 0 || h <= 0) return;
  const int method = mode & kBlendMethodMask;
  for (std::int64_t row = top; row < top + h; ++row) {
    FillSpan(bitmap.Row(int(row)) + left, int(w), colour, a, method);
  }
}

void PutPixel(RasterBitmap& bitmap, int x, int y, Pixel colour, float opacity, int mode) {
  const int a = OpacityToAlpha(opacity);
  if (a <= 0 || !bitmap.Bits() || x < 0 || y < 0 || x >= bitmap.Width() || y >= bitmap.Height()) return;
  Pixel& p = bitmap.Row(y)[x];
  p = combine::ByMethod(mode & kBlendMethodMask, p, colour, a);
}

}  // namespace velmora
