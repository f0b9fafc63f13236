// The editor's pictures: loading, their drawings for the scale in use, and
// drawing them. At 100 % a picture is its 1x bitmap; at another scale it is
// the drawing made for that scale, else one shrunk from the 2x drawing,
// else (pictures drawn only at 1x) the 1x one with hard-edged pixels.
#include <algorithm>
#include <cstdint>

#include "framework/graphics/IGraphics.h"
#include "framework/graphics/raster/ImageLoader.h"
#include "framework/graphics/raster/ImageScale.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora {

namespace {

int ClampToInt(int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

int64_t FloorDiv(int64_t a, int64_t b) {
  const int64_t q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Frames along the stacking axis; a strip of frames side by side is taken
// as one picture.
int StackedFrames(const ImageStrip& strip) { return strip.framesSideBySide ? 1 : std::max(strip.n, 1); }

// A layout offset into the picture along one axis, onto the scaled one:
// whole frames by the scaled frame's size, the rest by the scale.
int64_t ScaledOffset(int offset, int layoutFrame, int physicalFrame, int percent) {
  if (layoutFrame <= 0) return ScaleCoordinate(offset, percent);
  const int64_t k = FloorDiv(offset, layoutFrame);
  return k * physicalFrame + ScaleCoordinate(int(offset - k * layoutFrame), percent);
}

}  // namespace

ImageStrip IGraphics::LoadImage(int id, const std::string& fileName, int frames) {
  RasterBitmap* bitmap = ImageCache::Find(id);
  if (!bitmap) {
    std::unique_ptr<RasterBitmap> loaded = LoadBitmapResource(id, fileName);
    if (loaded) bitmap = ImageCache::Add(id, std::move(loaded));
  }
  ImageStrip strip;
  strip.bitmap = bitmap;
  strip.w = bitmap ? bitmap->Width() : 0;
  strip.h = bitmap ? bitmap->Height() : 0;
  strip.n = std::max(frames, 1);
  strip.framesSideBySide = false;
  strip.id = bitmap ? id : 0;
  return strip;
}

std::unique_ptr<RasterBitmap> IGraphics::LoadBitmapResource(int id, const std::string& fileName) {
  return velmora::LoadBitmapResource(id, fileName);
}

std::unique_ptr<RasterBitmap> IGraphics::MakeScaledPicture(const ImageStrip& strip, int percent) {
  const int frames = StackedFrames(strip);
  const int width = ScaleCoordinate(strip.w, percent);
  const int frameHeight = ScaleCoordinate(strip.h / frames, percent);
  if (strip.id != 0) {
    // Any name ending in ".png" finds a picture by its id.
    std::unique_ptr<RasterBitmap> own = LoadBitmapResource(ScaledPictureId(strip.id, percent), "scaled.png");
    if (own && own->Width() == width && own->Height() == frameHeight * frames) return own;
    const RasterBitmap* twice = ImageCache::FindScaled(strip.id, 200);
    if (!twice && percent != 200) {
      std::unique_ptr<RasterBitmap> loaded = LoadBitmapResource(ScaledPictureId(strip.id, 200), "scaled.png");
      if (loaded && loaded->Width() == 2 * strip.w && loaded->Height() == 2 * (strip.h / frames) * frames) {
        twice = ImageCache::AddScaled(strip.id, 200, std::move(loaded));
      }
    }
    if (twice && percent < 200) return ShrinkFrames(*twice, frames, width, frameHeight);
  }
  return NearestFrames(*strip.bitmap, frames, percent);
}

const RasterBitmap* IGraphics::PictureAt(const ImageStrip& strip, int percent) {
  if (percent == 100 || !strip.bitmap) return strip.bitmap;
  if (strip.id != 0) {
    if (const RasterBitmap* cached = ImageCache::FindScaled(strip.id, percent)) return cached;
    return ImageCache::AddScaled(strip.id, percent, MakeScaledPicture(strip, percent));
  }
  // Pictures from no resource (made by hand): kept by this editor.
  for (const auto& made : mUnlistedPictures) {
    if (made.source == strip.bitmap && made.percent == percent && made.frames == strip.n) return made.bitmap.get();
  }
  std::unique_ptr<RasterBitmap> bitmap = MakeScaledPicture(strip, percent);
  if (!bitmap) return nullptr;
  mUnlistedPictures.push_back({strip.bitmap, percent, strip.n, std::move(bitmap)});
  return mUnlistedPictures.back().bitmap.get();
}

bool IGraphics::DrawImage(const ImageStrip& strip, const Rect& dest, int srcX, int srcY, const ChannelBlend* blend) {
  if (!HasSurface()) return false;
  if (!strip.bitmap) return true;
  const int percent = mSurfacePercent;
  const RasterBitmap* picture = PictureAt(strip, percent);
  if (!picture) return true;
  const Rect d = ScaleRect(dest, percent);
  const Rect r = Intersect(d, ScaleRect(mDrawRect, percent));
  if (r.Empty()) return true;
  int64_t sx = srcX, sy = srcY;
  if (percent != 100) {
    const int frames = StackedFrames(strip);
    sx = ScaledOffset(srcX, 0, 0, percent);
    sy = ScaledOffset(srcY, strip.h / frames, picture->Height() / frames, percent);
  }
  sx += int64_t(r.left) - d.left;
  sy += int64_t(r.top) - d.top;
  if (sx != ClampToInt(sx) || sy != ClampToInt(sy)) return true;
  Blit(*mDrawBitmap, *picture, r.left, r.top, int(sx), int(sy), ClampToInt(r.W()), ClampToInt(r.H()),
       RasterOpacity(blend), RasterMode(blend));
  return true;
}

bool IGraphics::DrawImageFrame(const ImageStrip& strip, const Rect& rect, int frame, const ChannelBlend* blend) {
  int srcX = 0, srcY = 0;
  if (strip.n >= 2 && frame >= 2) {
    const int size = strip.framesSideBySide ? strip.w : strip.h;
    const int offset = ClampToInt(int64_t(double(size) * (double(frame) - 1.0) / strip.n + 0.5));
    (strip.framesSideBySide ? srcX : srcY) = offset;
  }
  return DrawImage(strip, rect, srcX, srcY, blend);
}

}  // namespace velmora
