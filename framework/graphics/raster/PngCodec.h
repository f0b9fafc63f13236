#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "framework/graphics/raster/MemBitmap.h"

namespace velmora {

// Decodes a PNG held in memory into a new bitmap (pixels as blue, green,
// red, alpha bytes; opaque images get alpha 255). Nothing when the data is
// not a PNG, is damaged or the image is too large.
std::unique_ptr<MemBitmap> DecodePng(const void* data, std::size_t length);

// The same into a given bitmap, which is resized to the image. On failure
// the bitmap keeps whatever size it has then and false is returned.
bool DecodePngInto(const void* data, std::size_t length, MemBitmap& bitmap);

// 8-bit PNG of the whole bitmap: RGBA (colour type 6), or RGB (colour
// type 2, alpha dropped) when withAlpha is false, for opaque pictures.
// False for an empty bitmap or when encoding fails.
bool EncodePng(const RasterBitmap& bitmap, std::vector<unsigned char>& out, bool withAlpha = true);
bool WritePng(const RasterBitmap& bitmap, const std::string& path, bool withAlpha = true);

}  // namespace velmora
