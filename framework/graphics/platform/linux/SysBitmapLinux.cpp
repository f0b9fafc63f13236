// Linux drawing surface: plain 64-byte aligned memory in the window's pixel
// layout (blue, green, red, alpha), handed to XPutImage by the window code.
// There is no device context.
#include <cstdint>
#include <cstdlib>

#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {

bool SysBitmap::CreateSurface() {
  const std::uint64_t rowBytes = std::uint64_t(allocatedWidth_) * 4u;
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

}  // namespace velmora
