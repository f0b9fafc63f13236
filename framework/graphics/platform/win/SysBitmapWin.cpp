// Windows drawing surface: a 32-bit top-down DIB section selected into its
// own memory device context, so that GDI text and BitBlt reach the same
// pixels the raster operations write (bytes blue, green, red, alpha).
#include <windows.h>

#include <cstdint>

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
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return false;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = allocatedWidth_;
  info.bmiHeader.biHeight = -allocatedHeight_;  // top-down: row 0 first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap || !bits) {
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(dc);
    return false;
  }
  deviceContext_ = dc;
  bitmapHandle_ = bitmap;
  previousObject_ = SelectObject(dc, bitmap);
  bits_ = static_cast<Pixel*>(bits);
  return true;
}

void SysBitmap::DestroySurface() {
  if (deviceContext_) {
    HDC dc = static_cast<HDC>(deviceContext_);
    if (previousObject_) SelectObject(dc, static_cast<HGDIOBJ>(previousObject_));
    DeleteDC(dc);
  }
  if (bitmapHandle_) DeleteObject(static_cast<HGDIOBJ>(bitmapHandle_));
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
