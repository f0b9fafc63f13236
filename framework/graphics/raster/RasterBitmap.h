#pragma once

#include <cstddef>
#include <cstdint>

#include "framework/graphics/raster/Pixel.h"

namespace velmora {

// A 32-bit bitmap the raster operations draw into. The slot order of the
// virtual operations is fixed.
class RasterBitmap {
 public:
  virtual ~RasterBitmap();
  // Row 0's first pixel; null when the bitmap holds nothing.
  virtual Pixel* Bits() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pixels from one row to the next.
  virtual int RowSpan() const = 0;
  virtual bool IsFlipped() const = 0;
  // True when the size changed.
  virtual bool Resize(int width, int height) = 0;
  // Platform drawing context; null for memory bitmaps.
  virtual void* DeviceContext() const = 0;
  virtual std::intptr_t Extension(int id, void* data) = 0;

  Pixel* Row(int y) const { return Bits() + std::ptrdiff_t(y) * RowSpan(); }

 protected:
  RasterBitmap() = default;
  RasterBitmap(const RasterBitmap&) = delete;
  RasterBitmap& operator=(const RasterBitmap&) = delete;
};

// Largest pixel buffer a bitmap allocates; larger sizes fail like an
// allocation failure (the bitmap becomes 0 x 0).
constexpr std::size_t kMaxBitmapBytes = std::size_t(256) << 20;

// Row span in pixels for a width: rounded up to a multiple of 4.
constexpr std::int64_t AlignedRowSpan(std::int64_t width) { return (width + 3) & ~std::int64_t(3); }

}  // namespace velmora
