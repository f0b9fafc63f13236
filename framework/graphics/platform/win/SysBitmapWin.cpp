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
  info.bmiHeader.biWidth = mAllocatedWidth;
  info.bmiHeader.biHeight = -mAllocatedHeight;  // top-down: row 0 first
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
  mDeviceContext = dc;
  mBitmapHandle = bitmap;
  mPreviousObject = SelectObject(dc, bitmap);
  mBits = static_cast<Pixel*>(bits);
  return true;
}

void SysBitmap::DestroySurface() {
  if (mDeviceContext) {
    HDC dc = static_cast<HDC>(mDeviceContext);
    if (mPreviousObject) SelectObject(dc, static_cast<HGDIOBJ>(mPreviousObject));
    DeleteDC(dc);
  }
  if (mBitmapHandle) DeleteObject(static_cast<HGDIOBJ>(mBitmapHandle));
  mBitmapHandle = nullptr;
  mBits = nullptr;
  mDeviceContext = nullptr;
  mPreviousObject = nullptr;
}

}  // namespace velmora
