#pragma once

#include <algorithm>

#include "framework/graphics/raster/Pixel.h"

namespace velmora {

// The copy under source alpha of one pixel, at a = opacity * 256 (1..256):
// alpha 0 leaves it; otherwise with k = s at full opacity, else
// a * (s + 1) / 256, the alpha becomes min(old + k, 255) and each colour
// src + (old - src) * w / 256 truncated toward zero, with w = 255 - s at
// full opacity (an opaque pixel is copied), else 256 - k.
inline Pixel SourceAlphaPixel(Pixel dp, Pixel sp, int a) {
  const int sa = int(sp >> 24);
  if (sa == 0) return dp;
  const int k = a == 256 ? sa : a * (sa + 1) / 256;
  const int w = a == 256 ? 255 - sa : 256 - k;
  Pixel out = Pixel(std::min(int(dp >> 24) + k, 255)) << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    const int o = int((dp >> shift) & 0xff);
    const int s = int((sp >> shift) & 0xff);
    out |= Pixel(s + (o - s) * w / 256) << shift;
  }
  return out;
}

// A row of it, as wide as the processor allows; the same pixels as
// SourceAlphaPixel one by one.
void SourceAlphaRow(Pixel* d, const Pixel* s, int n, int a);

}  // namespace velmora
