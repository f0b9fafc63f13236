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
  if (!mBuffer) return nullptr;
  const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(mBuffer) + 63u) & ~std::uintptr_t(63);
  return reinterpret_cast<Pixel*>(aligned);
}

void MemBitmap::Release() {
  std::free(mBuffer);
  mBuffer = nullptr;
  mAllocated = 0;
}

bool MemBitmap::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return false;
  const int oldWidth = mWidth;
  const int oldHeight = mHeight;
  mWidth = width;
  mHeight = height;
  const std::size_t needed = (width > 0 && height > 0) ? BytesNeeded(width, height) : 0;
  if (needed == 0) {
    Release();
  } else if (!mBuffer || needed > mAllocated) {
    // Old pixels are not kept, so a fresh block is as good as a realloc.
    const std::size_t grown = needed + needed / 4;
    Release();
    mBuffer = static_cast<unsigned char*>(std::malloc(grown + 63));
    if (mBuffer) mAllocated = grown;
  }
  if (!mBuffer) {
    mWidth = 0;
    mHeight = 0;
  }
  return mWidth != oldWidth || mHeight != oldHeight;
}

}  // namespace velmora
