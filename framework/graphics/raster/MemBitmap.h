#pragma once

#include <cstddef>

#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

// Heap bitmap: bits aligned to 64 bytes, rows rounded up to 4 pixels; the
// buffer grows with headroom and never shrinks while the bitmap has a size.
class MemBitmap : public RasterBitmap {
 public:
  explicit MemBitmap(int width = 0, int height = 0);
  ~MemBitmap() override;

  Pixel* Bits() const override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return int(AlignedRowSpan(mWidth)); }
  bool IsFlipped() const override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() const override { return nullptr; }
  std::intptr_t Extension(int, void*) override { return 0; }

  std::size_t AllocatedBytes() const { return mAllocated; }

 private:
  void Release();

  unsigned char* mBuffer = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  std::size_t mAllocated = 0;
};

}  // namespace velmora
