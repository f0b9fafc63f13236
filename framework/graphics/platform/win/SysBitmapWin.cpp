// Windows drawing surface: a 32-bit top-down DIB section selected into its
// own memory device context, so that GDI text and BitBlt reach the same
// pixels the raster operations write (bytes blue, green, red, alpha).
#include <windows.h>

#include <cstdint>

#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {

bool SysBitmap::CreateSurface() {
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

}  // namespace velmora
