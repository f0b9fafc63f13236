#pragma once

#include <vector>

#include "framework/graphics/raster/MemBitmap.h"

namespace velmora::test {

inline void FillAll(RasterBitmap& bitmap, Pixel value) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) bitmap.Row(y)[x] = value;
  }
}

inline Pixel At(const RasterBitmap& bitmap, int x, int y) { return bitmap.Row(y)[x]; }

// Every pixel different, so that a misplaced write shows.
inline void FillPattern(RasterBitmap& bitmap, unsigned seed) {
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      unsigned v = (unsigned(x) * 73856093u) ^ (unsigned(y) * 19349663u) ^ (seed * 83492791u);
      v ^= v >> 13;
      v *= 0x5bd1e995u;
      v ^= v >> 15;
      bitmap.Row(y)[x] = v;
    }
  }
}

inline std::vector<Pixel> Snapshot(const RasterBitmap& bitmap) {
  std::vector<Pixel> out;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) out.push_back(bitmap.Row(y)[x]);
  }
  return out;
}

}  // namespace velmora::test
