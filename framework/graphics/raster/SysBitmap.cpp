// The platform-independent part of the drawing surface: sizes and reuse of
// the allocation; each platform makes and frees the pixel store itself.
#include "framework/graphics/raster/SysBitmap.h"

#include <cstdint>

namespace velmora {

bool SysBitmap::FitsTheBound() const {
  const std::uint64_t rowBytes = std::uint64_t(allocatedWidth_) * 4u;
  return allocatedWidth_ > 0 && allocatedHeight_ > 0 &&
         rowBytes <= kMaxBitmapBytes / std::uint64_t(allocatedHeight_);
}

SysBitmap::SysBitmap(int width, int height) { Resize(width, height); }

SysBitmap::~SysBitmap() { DestroySurface(); }

bool SysBitmap::Resize(int width, int height) {
  if (width == width_ && height == height_) return false;
  const int oldWidth = width_;
  const int oldHeight = height_;
  if (bits_ && width > 0 && height > 0 && width <= allocatedWidth_ && height <= allocatedHeight_) {
    width_ = width;
    height_ = height;
    return true;
  }
  DestroySurface();
  width_ = width;
  height_ = height;
  if (width > 0 && height > 0) {
    allocatedWidth_ = int(AlignedRowSpan(width) > 0x7fffffff ? 0 : AlignedRowSpan(width));
    allocatedHeight_ = height;
    if (FitsTheBound()) CreateSurface();
  }
  if (!bits_) {
    width_ = height_ = 0;
    allocatedWidth_ = allocatedHeight_ = 0;
  }
  return width_ != oldWidth || height_ != oldHeight;
}

}  // namespace velmora
