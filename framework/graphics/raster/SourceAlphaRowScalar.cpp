// Processors without a wide path blend pixel by pixel.
#include "framework/graphics/raster/SourceAlphaRow.h"

namespace velmora {

void SourceAlphaRow(Pixel* d, const Pixel* s, int n, int a) {
  for (int i = 0; i < n; ++i) d[i] = SourceAlphaPixel(d[i], s[i], a);
}

}  // namespace velmora
