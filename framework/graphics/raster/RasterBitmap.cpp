#include "framework/graphics/raster/RasterBitmap.h"

namespace velmora {

RasterBitmap::~RasterBitmap() = default;

}  // namespace velmora
