// Linux drawing surface: plain 64-byte aligned memory in the window's pixel
// layout (blue, green, red, alpha), handed to XPutImage by the window code.
// There is no device context.
#include <cstdint>
#include <cstdlib>

#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {

bool SysBitmap::CreateSurface() {
  const std::uint64_t rowBytes = std::uint64_t(mAllocatedWidth) * 4u;
  const std::size_t bytes = std::size_t(rowBytes * std::uint64_t(mAllocatedHeight));
  void* block = std::malloc(bytes + 63);
  if (!block) return false;
  mBitmapHandle = block;
  mBits = reinterpret_cast<Pixel*>((reinterpret_cast<std::uintptr_t>(block) + 63u) & ~std::uintptr_t(63));
  return true;
}

void SysBitmap::DestroySurface() {
  std::free(mBitmapHandle);
  mBitmapHandle = nullptr;
  mBits = nullptr;
  mDeviceContext = nullptr;
  mPreviousObject = nullptr;
}

}  // namespace velmora
