#pragma once

#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

// The editor's drawing surface: a 32-bit top-down bitmap the platform can
// show in a window (on Linux plain memory copied with XPutImage). Growing
// replaces the pixels; shrinking keeps the allocation and its row span.
class SysBitmap : public RasterBitmap {
 public:
  explicit SysBitmap(int width = 0, int height = 0);
  ~SysBitmap() override;

  Pixel* Bits() const override { return mBits; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mAllocatedWidth; }
  bool IsFlipped() const override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() const override { return mDeviceContext; }
  std::intptr_t Extension(int, void*) override { return 0; }

  int AllocatedWidth() const { return mAllocatedWidth; }
  int AllocatedHeight() const { return mAllocatedHeight; }

 private:
  bool FitsTheBound() const;
  // Platform side: make or free the pixel store of the allocated size, which
  // is known to fit the bound.
  bool CreateSurface();
  void DestroySurface();

  int mWidth = 0;
  int mHeight = 0;
  Pixel* mBits = nullptr;
  void* mDeviceContext = nullptr;
  void* mBitmapHandle = nullptr;
  void* mPreviousObject = nullptr;
  int mAllocatedWidth = 0;
  int mAllocatedHeight = 0;
};

}  // namespace velmora
