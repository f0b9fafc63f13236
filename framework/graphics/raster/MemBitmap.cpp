#include "framework/graphics/raster/MemBitmap.h"

#include <cstdint>
#include <cstdlib>

namespace velmora {

namespace {

// Bytes for height rows of the aligned span, or 0 when the size is not
// allowed (overflow or above the bitmap limit).
std::size_t BytesNeeded(int width, int height) {
  const std::uint64_t rowBytes = std::uint64_t(AlignedRowSpan(width)) * 4u;
  if (rowBytes > kMaxBitmapBytes / std::uint64_t(height)) return 0;
  return std::size_t(rowBytes * std::uint64_t(height));
}

}  // namespace

MemBitmap::MemBitmap(int width, int height) { Resize(width, height); }

MemBitmap::~MemBitmap() { Release(); }

Pixel* MemBitmap::Bits() const {
  if (!buffer_) return nullptr;
  const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(buffer_) + 63u) & ~std::uintptr_t(63);
  return reinterpret_cast<Pixel*>(aligned);
}

void MemBitmap::Release() {
  std::free(buffer_);
  buffer_ = nullptr;
  allocated_ = 0;
}

bool MemBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return false;
  const int oldWidth = width_;
  const int oldHeight = height_;
  width_ = width;
  height_ = height;
  const std::size_t needed = (width > 0 && height > 0) ? BytesNeeded(width, height) : 0;
  if (needed == 0) {
    Release();
  } else if (!buffer_ || needed > allocated_) {
    // Old pixels are not kept, so a fresh block is as good as a realloc.
    const std::size_t grown = needed + needed / 4;
    Release();
    buffer_ = static_cast<unsigned char*>(std::malloc(grown + 63));
    if (buffer_) allocated_ = grown;
  }
  if (!buffer_) {
    width_ = 0;
    height_ = 0;
  }
  return width_ != oldWidth || height_ != oldHeight;
}

}  // namespace velmora
