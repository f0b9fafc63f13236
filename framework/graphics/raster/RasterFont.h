#pragma once

#include <cstdint>
#include <memory>

#include "framework/graphics/raster/PlatformTypeface.h"
#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

// Text rectangle: right and bottom exclusive.
struct RasterRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  std::int64_t Width() const { return std::int64_t(right) - left; }
  std::int64_t Height() const { return std::int64_t(bottom) - top; }
};

// RenderText format flags.
enum TextFormat : int {
  kTextCenter = 0x1,
  kTextRight = 0x2,
  kTextVCenter = 0x4,
  kTextBottom = 0x8,
  kTextNoClip = 0x100,
  kTextMeasure = 0x400,
  kTextUseColorAlpha = 0x40000000,
};

// AttachPlatformFont flags.
enum FontFlags : int {
  kFontPreferPlatformRendering = 0x1,
};

// Background modes (platform values).
enum BackgroundMode : int {
  kBackgroundTransparent = 1,
  kBackgroundOpaque = 2,
};

// A font that draws text into raster bitmaps. The slot order of the virtual
// operations is fixed.
class RasterFont {
 public:
  virtual ~RasterFont();
  virtual void AttachPlatformFont(std::unique_ptr<PlatformTypeface> font, int flags) = 0;
  virtual Pixel SetTextColor(Pixel colour) = 0;
  virtual Pixel SetBackgroundColor(Pixel colour) = 0;
  virtual Pixel SetEffectColor(Pixel colour) = 0;
  virtual int SetBackgroundMode(int mode) = 0;
  virtual void SetCombineMode(int mode, float opacity) = 0;
  // length -1: up to the terminator. Answers the height of the text; with
  // kTextMeasure writes the extent into rect instead of drawing.
  virtual int RenderText(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags) = 0;
  virtual Pixel TextColor() const = 0;
  virtual PlatformTypeface* PlatformFont() const = 0;
  virtual int LineHeight() const = 0;

 protected:
  RasterFont() = default;
  RasterFont(const RasterFont&) = delete;
  RasterFont& operator=(const RasterFont&) = delete;
};

}  // namespace velmora
