#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "framework/graphics/raster/Combine.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/SourceAlphaRow.h"

namespace velmora {

namespace {

struct BlitRegion {
  int destX, destY, srcX, srcY, width, height;
};

// Source rect to the source bitmap first (keeping the mapping), then the
// destination position to the destination. 64-bit so that no sum overflows.
bool ClipBlit(const RasterBitmap& dest, const RasterBitmap& src, int x, int y, int srcX, int srcY,
              int srcWidth, int srcHeight, BlitRegion& out) {
  std::int64_t dx = x, dy = y, sx = srcX, sy = srcY, w = srcWidth, h = srcHeight;
  if (sx < 0) { w += sx; dx -= sx; sx = 0; }
  if (sy < 0) { h += sy; dy -= sy; sy = 0; }
  w = std::min<std::int64_t>(w, src.Width() - sx);
  h = std::min<std::int64_t>(h, src.Height() - sy);
  if (dx < 0) { w += dx; sx -= dx; dx = 0; }
  if (dy < 0) { h += dy; sy -= dy; dy = 0; }
  w = std::min<std::int64_t>(w, dest.Width() - dx);
  h = std::min<std::int64_t>(h, dest.Height() - dy);
  if (w <= 0 || h <= 0) return false;
  out = {int(dx), int(dy), int(sx), int(sy), int(w), int(h)};
  return true;
}

using RowFn = void (*)(Pixel* d, const Pixel* s, int n, int a);

void CopyRow(Pixel* d, const Pixel* s, int n, int) { std::memcpy(d, s, std::size_t(n) * sizeof(Pixel)); }

void HalfRow(Pixel* d, const Pixel* s, int n, int) {
  for (int i = 0; i < n; ++i) d[i] = combine::Half(d[i], s[i]);
}

void CombineRow(Pixel* d, const Pixel* s, int n, int a) {
  for (int i = 0; i < n; ++i) d[i] = combine::Copy(d[i], s[i], a);
}

template <Pixel (*Op)(Pixel, Pixel, int)>
void MethodRow(Pixel* d, const Pixel* s, int n, int a) {
  for (int i = 0; i < n; ++i) d[i] = Op(d[i], s[i], a);
}

template <Pixel (*Op)(Pixel, Pixel, int)>
void MethodSourceAlphaRow(Pixel* d, const Pixel* s, int n, int a) {
  for (int i = 0; i < n; ++i) {
    const int sa = int(s[i] >> 24);
    if (sa != 0) d[i] = Op(d[i], s[i], a * (sa + 1) / 256);
  }
}

RowFn ChooseRow(int method, bool sourceAlpha, float opacity, int a) {
  if (method == kBlendAdd) return sourceAlpha ? MethodSourceAlphaRow<combine::Add> : MethodRow<combine::Add>;
  if (method == kBlendDodge) {
    return sourceAlpha ? MethodSourceAlphaRow<combine::Dodge> : MethodRow<combine::Dodge>;
  }
  if (sourceAlpha) return SourceAlphaRow;
  if (a == 256) return CopyRow;
  if (opacity == 0.5f) return HalfRow;
  return CombineRow;
}

}  // namespace

void Blit(RasterBitmap& dest, const RasterBitmap& src, int x, int y, int srcX, int srcY, int srcWidth,
          int srcHeight, float opacity, int mode) {
  const int a = OpacityToAlpha(opacity);
  BlitRegion r;
  if (a <= 0 || !dest.Bits() || !src.Bits()) return;
  if (!ClipBlit(dest, src, x, y, srcX, srcY, srcWidth, srcHeight, r)) return;
  const RowFn row = ChooseRow(mode & kBlendMethodMask, (mode & kBlendUseSourceAlpha) != 0, opacity, a);

  const Pixel* source = src.Row(r.srcY) + r.srcX;
  std::ptrdiff_t sourceSpan = src.RowSpan();
  std::vector<Pixel> copy;
  if (dest.Bits() == src.Bits()) {
    // Drawing a bitmap onto itself: read from a snapshot of the source rect.
    copy.resize(std::size_t(r.width) * std::size_t(r.height));
    for (int j = 0; j < r.height; ++j) {
      std::memcpy(&copy[std::size_t(j) * std::size_t(r.width)], source + j * sourceSpan,
                  std::size_t(r.width) * sizeof(Pixel));
    }
    source = copy.data();
    sourceSpan = r.width;
  }
  for (int j = 0; j < r.height; ++j) {
    row(dest.Row(r.destY + j) + r.destX, source + j * sourceSpan, r.width, a);
  }
}

}  // namespace velmora
