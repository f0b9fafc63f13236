#pragma once

#include "framework/graphics/raster/CachedFont.h"

namespace velmora {

// Process-wide fonts by (size, orientation, style, face); they live until
// the module is unloaded.
//
// Threads: [any]; the cache locks itself and each font locks itself.
class FontCache {
 public:
  // The cached font, else a new one made by the platform; null when the
  // platform cannot make it (nothing is cached then).
  static CachedFont* Get(const FontRequest& request);
  // Fonts made so far in this process.
  static int FontsCreated();
};

}  // namespace velmora
