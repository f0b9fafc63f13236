#pragma once

// Span filling shared by rectangles, lines and triangles. Internal header.

#include <cstddef>

#include "framework/graphics/raster/Pixel.h"

namespace velmora {

// n pixels from d get colour combined by the method at a (1..256), with the
// copy method's a = 128, 64 and 192 shortcuts.
void FillSpan(Pixel* d, int n, Pixel colour, int a, int method);

// Strided variant (step in pixels, e.g. a row for vertical runs). Without
// shortcuts the copy method uses the general formula at every a below 256.
void FillStrided(Pixel* d, int n, std::ptrdiff_t step, Pixel colour, int a, int method,
                 bool shortcuts = true);

}  // namespace velmora
