// The platform-independent part of the drawing surface: sizes and reuse of
// the allocation; each platform makes and frees the pixel store itself.
#include "framework/graphics/raster/SysBitmap.h"

#include <cstdint>

namespace velmora {

bool SysBitmap::FitsTheBound() const {
  const std::uint64_t rowBytes = std::uint64_t(mAllocatedWidth) * 4u;
  return mAllocatedWidth > 0 && mAllocatedHeight > 0 &&
         rowBytes <= kMaxBitmapBytes / std::uint64_t(mAllocatedHeight);
}

SysBitmap::SysBitmap(int width, int height) { Resize(width, height); }

SysBitmap::~SysBitmap() { DestroySurface(); }

bool SysBitmap::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return false;
  const int oldWidth = mWidth;
  const int oldHeight = mHeight;
  if (mBits && width > 0 && height > 0 && width <= mAllocatedWidth && height <= mAllocatedHeight) {
    mWidth = width;
    mHeight = height;
    return true;
  }
  DestroySurface();
  mWidth = width;
  mHeight = height;
  if (width > 0 && height > 0) {
    mAllocatedWidth = int(AlignedRowSpan(width) > 0x7fffffff ? 0 : AlignedRowSpan(width));
    mAllocatedHeight = height;
    if (FitsTheBound()) CreateSurface();
  }
  if (!mBits) {
    mWidth = mHeight = 0;
    mAllocatedWidth = mAllocatedHeight = 0;
  }
  return mWidth != oldWidth || mHeight != oldHeight;
}

}  // namespace velmora
