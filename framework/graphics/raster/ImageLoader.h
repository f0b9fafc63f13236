#pragma once

#include <memory>
#include <string>

#include "framework/graphics/raster/MemBitmap.h"

namespace velmora {

// Decodes the embedded resource with this id when it holds more than 7 bytes.
std::unique_ptr<MemBitmap> PngFromResource(int id);

// The picture behind (id, file name): only a file name whose text after the
// last "." is "png" in any case is decoded, from the embedded resource id.
// The file itself is never opened.
std::unique_ptr<MemBitmap> LoadBitmapResource(int id, const std::string& fileName);

// The picture drawn for a scale carries its 1x picture's id plus ten times
// the percent: 102 drawn at 200 % is 2102.
constexpr int ScaledPictureId(int id, int percent) { return id + 10 * percent; }

// Process-wide decoded pictures by resource id, and pictures made for a
// scale by (id, percent); they live until the module is unloaded.
//
// Threads: [any]; the cache locks itself, and decodes under its lock so two
// editors never decode the same picture twice. The free functions are [any].
class ImageCache {
 public:
  static RasterBitmap* Find(int id);
  // Keeps bitmap under id unless the id is already cached; answers the cached one.
  static RasterBitmap* Add(int id, std::unique_ptr<RasterBitmap> bitmap);
  // The cached bitmap, else LoadBitmapResource's result, cached. A picture
  // that cannot be decoded answers null and is not cached.
  static RasterBitmap* Load(int id, const std::string& fileName);
  // The same for the pictures made for a scale.
  static RasterBitmap* FindScaled(int id, int percent);
  static RasterBitmap* AddScaled(int id, int percent, std::unique_ptr<RasterBitmap> bitmap);
};

}  // namespace velmora
