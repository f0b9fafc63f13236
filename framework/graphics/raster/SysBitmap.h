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

  Pixel* Bits() const override { return bits_; }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return allocatedWidth_; }
  bool IsFlipped() const override { return false; }
  bool Resize(int width, int height) override;
  void* DeviceContext() const override { return deviceContext_; }
  std::intptr_t Extension(int, void*) override { return 0; }

  int AllocatedWidth() const { return allocatedWidth_; }
  int AllocatedHeight() const { return allocatedHeight_; }

 private:
  bool FitsTheBound() const;
  // Platform side: make or free the pixel store of the allocated size, which
  // is known to fit the bound.
  bool CreateSurface();
  void DestroySurface();

  int width_ = 0;
  int height_ = 0;
  Pixel* bits_ = nullptr;
  void* deviceContext_ = nullptr;
  void* bitmapHandle_ = nullptr;
  void* previousObject_ = nullptr;
  int allocatedWidth_ = 0;
  int allocatedHeight_ = 0;
};

}  // namespace velmora
