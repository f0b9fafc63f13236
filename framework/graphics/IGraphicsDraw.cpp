// Drawing operations, surfaces and pictures of the editor.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/raster/BitmapWindow.h"
#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora {

namespace {

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

// Rounds a drawing coordinate as int(v + 0.5) does; false for values no
// pixel can have.
bool RoundCoordinate(float v, int& out) {
  const double r = double(v) + 0.5;
  if (!(r > double(INT32_MIN) && r < double(INT32_MAX))) return false;
  out = int(r);
  return true;
}

FontRequest RequestFor(const TextStyle& style, int size) {
  FontRequest request;
  request.face = style.Font();
  request.size = size;
  request.style = style.style;
  request.orientation = style.orientation;
  request.quality = style.quality;
  return request;
}

// The style's font at the scale drawn: its size scaled, as the text's
// rectangle is.
CachedFont* FontFor(const TextStyle& style, int percent) {
  const int size = ScaleCoordinate(style.size, percent);
  if (!style.cached || style.cachedSize != size) {
    style.cached = FontCache::Get(RequestFor(style, size));
    style.cachedSize = size;
  }
  return style.cached;
}

RasterRect ToRasterRect(const Rect& r) { return RasterRect{r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool IGraphics::HasSurface() const { return mDrawBitmap && mDrawBitmap->Bits(); }

void IGraphics::CreateSurfaces() {
  mSurfacePercent = mPercent.load();
  mDrawBitmap = std::make_unique<SysBitmap>(ScaleCoordinate(mWidth, mSurfacePercent),
                                            ScaleCoordinate(mHeight, mSurfacePercent));
  mTmpBitmap = std::make_unique<MemBitmap>();
  // Start from transparent black so that what was never drawn is defined.
  for (int y = 0; y < mDrawBitmap->Height(); ++y) {
    std::memset(mDrawBitmap->Row(y), 0, std::size_t(mDrawBitmap->Width()) * sizeof(Pixel));
  }
}

// Every drawing operation stays inside the drawing area, images (as always)
// and the rest alike: a redraw of one area then leaves every other pixel as
// it was, so redrawing only what changed gives the same picture as
// redrawing everything.
BitmapWindow IGraphics::AreaWindow() const {
  const Rect r = ToPhysical(mDrawRect);
  return BitmapWindow(*mDrawBitmap, r.left, r.top, r.right, r.bottom);
}

bool IGraphics::PlotPoint(const Color& color, float x, float y) {
  if (!HasSurface()) return false;
  int px = 0, py = 0;
  if (!RoundCoordinate(x, px) || !RoundCoordinate(y, py)) return true;
  if (mSurfacePercent != 100) {
    FillLayoutPixels(color, px, py, px, py);
    return true;
  }
  BitmapWindow area = AreaWindow();
  PutPixel(area, ClampToInt(int64_t(px) - area.Left()), ClampToInt(int64_t(py) - area.Top()), ToPixel(color), 1.0f,
           kBlendCopy);
  return true;
}

bool IGraphics::FillRectangle(const Color& color, const Rect& rect) {
  if (!HasSurface()) return false;
  const Rect r = Intersect(ToPhysical(rect), ToPhysical(mDrawRect));
  if (r.Empty()) return true;
  FillRect(*mDrawBitmap, r.left, r.top, ClampToInt(r.W()), ClampToInt(r.H()), ToPixel(color), 1.0f,
           kBlendCopy | kBlendUseSourceAlpha);
  return true;
}

bool IGraphics::FillTriangle(const Color& color, int x1, int y1, int x2, int y2, int x3, int y3,
                             const ChannelBlend* blend) {
  if (!HasSurface()) return false;
  if (mSurfacePercent != 100) ScaleTriangle(x1, y1, x2, y2, x3, y3);
  BitmapWindow area = AreaWindow();
  const int64_t dx = area.Left(), dy = area.Top();
  velmora::FillTriangle(area, ClampToInt(x1 - dx), ClampToInt(y1 - dy), ClampToInt(x2 - dx), ClampToInt(y2 - dy),
                        ClampToInt(x3 - dx), ClampToInt(y3 - dy), ToPixel(color), RasterOpacity(blend),
                        RasterMode(blend));
  return true;
}

bool IGraphics::DrawLine(const Color& color, int x1, int y1, int x2, int y2) {
  if (!HasSurface()) return false;
  if (mSurfacePercent != 100) {
    DrawScaledLine(color, x1, y1, x2, y2);
    return true;
  }
  BitmapWindow area = AreaWindow();
  const int64_t dx = area.Left(), dy = area.Top();
  velmora::DrawLine(area, ClampToInt(x1 - dx), ClampToInt(y1 - dy), ClampToInt(x2 - dx), ClampToInt(y2 - dy),
                    ToPixel(color), 1.0f, kBlendCopy, false);
  return true;
}

bool IGraphics::DrawRectangle(const Color& color, const Rect& rect) {
  if (!HasSurface()) return false;
  const Rect& r = rect;
  DrawLine(color, r.left, r.top, r.right, r.top);
  DrawLine(color, r.left, r.bottom, r.right, r.bottom);
  DrawLine(color, r.left, r.top, r.left, r.bottom);
  DrawLine(color, r.right, r.top, r.right, r.bottom);
  return true;
}

bool IGraphics::DrawText(const TextStyle& style, const char* text, const Rect& rect) {
  if (!text || !*text) return true;
  CachedFont* font = FontFor(style, mSurfacePercent);
  if (!font) return false;
  if (!HasSurface()) return false;
  const Pixel colour = ToPixel(style.color);
  int flags = kTextNoClip;
  if (style.align == TextStyle::kCenter) flags |= kTextCenter;
  else if (style.align == TextStyle::kFar) flags |= kTextRight;
  if (PixelAlpha(colour) != 255) flags |= kTextUseColorAlpha;
  RasterRect r = ToRasterRect(ToPhysical(rect));
  const RasterRect area = ToRasterRect(ToPhysical(mDrawRect));
  // Fonts are shared by every editor of the process and carry their colour.
  font->RenderTextInColour(*mDrawBitmap, text, -1, r, flags, colour, &area);
  return true;
}

// Measured with the font of the scale drawn, answered in layout pixels
// (rounded outwards), so that a fit holds at the scale in use.
bool IGraphics::MeasureText(const TextStyle& style, const char* text, Rect& rect) {
  CachedFont* font = FontFor(style, mSurfacePercent);
  if (!font) return false;
  int flags = kTextMeasure;
  if (style.align == TextStyle::kCenter) flags |= kTextCenter;
  else if (style.align == TextStyle::kFar) flags |= kTextRight;
  RasterRect r = ToRasterRect(ToPhysical(rect));
  MemBitmap none;
  font->RenderText(none, text ? text : "", -1, r, flags);
  const Rect measured(r.left, r.top, r.right, r.bottom);
  rect = mSurfacePercent == 100 || measured.W() <= 0 ? measured : LayoutRectCovering(measured, mSurfacePercent);
  return true;
}

}  // namespace velmora
