#pragma once

#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

// Pixel operations. opacity is 0..1 (a = int(opacity * 256)); mode is a
// BlendMode method, optionally with kBlendUseSourceAlpha. Everything is
// clipped to the bitmaps; a <= 0 draws nothing.

// Copies the source rectangle (srcX, srcY, srcWidth x srcHeight) of src to
// (x, y) in dest. src may be dest.
void Blit(RasterBitmap& dest, const RasterBitmap& src, int x, int y, int srcX, int srcY, int srcWidth,
          int srcHeight, float opacity, int mode);

// With kBlendUseSourceAlpha the colour's alpha scales the opacity.
void FillRect(RasterBitmap& bitmap, int x, int y, int width, int height, Pixel colour, float opacity,
              int mode);

// Points outside the bitmap are ignored; the source-alpha bit is not applied.
void PutPixel(RasterBitmap& bitmap, int x, int y, Pixel colour, float opacity, int mode);

// End points included. The source-alpha bit is ignored. Anti-aliasing is not
// implemented: antialiased lines are drawn like the others.
void DrawLine(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, Pixel colour, float opacity, int mode,
              bool antialias);

// Filled triangle; the source-alpha bit is ignored. Vertices farther than
// kMaxTriangleCoordinate from the origin draw nothing.
void FillTriangle(RasterBitmap& bitmap, int x1, int y1, int x2, int y2, int x3, int y3, Pixel colour,
                  float opacity, int mode);

constexpr int kMaxTriangleCoordinate = 1 << 22;

}  // namespace velmora
