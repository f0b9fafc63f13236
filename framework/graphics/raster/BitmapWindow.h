#pragma once

#include <algorithm>

#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

// A rectangle of another bitmap seen as a bitmap of its own: the raster
// operations, which clip to their bitmap, then clip to the rectangle.
// Coordinates are the rectangle's own (subtract its left and top).
class BitmapWindow : public RasterBitmap {
 public:
  // The window is cut to the bitmap; an empty one holds nothing.
  BitmapWindow(const RasterBitmap& base, int left, int top, int right, int bottom)
      : mBase(base),
        mLeft(std::max(left, 0)),
        mTop(std::max(top, 0)),
        mWidth(std::max(std::min(right, base.Width()) - mLeft, 0)),
        mHeight(std::max(std::min(bottom, base.Height()) - mTop, 0)) {}

  Pixel* Bits() const override {
    return mWidth > 0 && mHeight > 0 && mBase.Bits() ? mBase.Row(mTop) + mLeft : nullptr;
  }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mBase.RowSpan(); }
  bool IsFlipped() const override { return mBase.IsFlipped(); }
  bool Resize(int, int) override { return false; }
  void* DeviceContext() const override { return nullptr; }
  std::intptr_t Extension(int, void*) override { return 0; }

  int Left() const { return mLeft; }
  int Top() const { return mTop; }

 private:
  const RasterBitmap& mBase;
  int mLeft, mTop, mWidth, mHeight;
};

}  // namespace velmora
