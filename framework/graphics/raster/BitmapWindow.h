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
      : base_(base),
        left_(std::max(left, 0)),
        top_(std::max(top, 0)),
        width_(std::max(std::min(right, base.Width()) - left_, 0)),
        height_(std::max(std::min(bottom, base.Height()) - top_, 0)) {}

  Pixel* Bits() const override {
    return width_ > 0 && height_ > 0 && base_.Bits() ? base_.Row(top_) + left_ : nullptr;
  }
  int Width() const override { return width_; }
  int Height() const override { return height_; }
  int RowSpan() const override { return base_.RowSpan(); }
  bool IsFlipped() const override { return base_.IsFlipped(); }
  bool Resize(int, int) override { return false; }
  void* DeviceContext() const override { return nullptr; }
  std::intptr_t Extension(int, void*) override { return 0; }

  int Left() const { return left_; }
  int Top() const { return top_; }

 private:
  const RasterBitmap& base_;
  int left_, top_, width_, height_;
};

}  // namespace velmora
