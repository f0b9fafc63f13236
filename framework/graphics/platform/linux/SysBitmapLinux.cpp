// Linux drawing surface: plain 64-byte aligned memory in the window's pixel
// layout (blue, green, red, alpha), handed to XPutImage by the window code.
// There is no device context.
#include <cstdint>
#include <cstdlib>

#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {

SysBitmap::SysBitmap(int width, int height) { Resize(width, height); }

SysBitmap::~SysBitmap() { DestroySurface(); }

bool SysBitmap::CreateSurface() {
  const std::uint64_t rowBytes = std::uint64_t(allocatedWidth_) * 4u;
  if (allocatedWidth_ <= 0 || allocatedHeight_ <= 0 ||
      rowBytes > kMaxBitmapBytes / std::uint64_t(allocatedHeight_)) {
    return false;
  }
  const std::size_t bytes = std::size_t(rowBytes * std::uint64_t(allocatedHeight_));
  void* block = std::malloc(bytes + 63);
  if (!block) return false;
  bitmapHandle_ = block;
  bits_ = reinterpret_cast<Pixel*>((reinterpret_cast<std::uintptr_t>(block) + 63u) & ~std::uintptr_t(63));
  return true;
}

void SysBitmap::DestroySurface() {
  std::free(bitmapHandle_);
  bitmapHandle_ = nullptr;
  bits_ = nullptr;
  deviceContext_ = nullptr;
  previousObject_ = nullptr;
}

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
    CreateSurface();
  }
  if (!bits_) {
    width_ = height_ = 0;
    allocatedWidth_ = allocatedHeight_ = 0;
  }
  return width_ != oldWidth || height_ != oldHeight;
}

}  // namespace velmora
