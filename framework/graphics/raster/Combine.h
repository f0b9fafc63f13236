#pragma once

// Per-pixel combine rules shared by the raster operations. Internal header.

#include <algorithm>

#include "framework/graphics/raster/Pixel.h"

namespace velmora {
namespace combine {

// Exact per-byte shortcuts of the copy method (remainders dropped).
inline Pixel Half(Pixel old, Pixel src) { return ((old >> 1) & 0x7f7f7f7fu) + ((src >> 1) & 0x7f7f7f7fu); }
inline Pixel Quarter(Pixel old, Pixel src) {
  return ((old >> 1) & 0x7f7f7f7fu) + ((old >> 2) & 0x3f3f3f3fu) + ((src >> 2) & 0x3f3f3f3fu);
}
inline Pixel ThreeQuarters(Pixel old, Pixel src) {
  return ((src >> 1) & 0x7f7f7f7fu) + ((src >> 2) & 0x3f3f3f3fu) + ((old >> 2) & 0x3f3f3f3fu);
}

// new = (old - src) * (256 - a) / 256 + src per byte, truncating toward zero.
inline int CopyChannel(int old, int src, int a) { return (old - src) * (256 - a) / 256 + src; }

inline Pixel Copy(Pixel old, Pixel src, int a) {
  Pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int c = CopyChannel(int((old >> shift) & 0xff), int((src >> shift) & 0xff), a);
    out |= Pixel(c) << shift;
  }
  return out;
}

// Add: every byte gains src * a / 256, saturating.
inline Pixel Add(Pixel old, Pixel src, int a) {
  Pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int o = int((old >> shift) & 0xff);
    const int s = int((src >> shift) & 0xff);
    out |= Pixel(std::min(255, o + s * a / 256)) << shift;
  }
  return out;
}

// Colour dodge: old * 256 / (256 - src), saturating, mixed in by a / 256.
inline Pixel Dodge(Pixel old, Pixel src, int a) {
  Pixel out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const int o = int((old >> shift) & 0xff);
    const int s = int((src >> shift) & 0xff);
    const int dodged = std::min(255, o * 256 / (256 - s));
    out |= Pixel(o + (dodged - o) * a / 256) << shift;
  }
  return out;
}

// Copy method with the a = 128, 64 and 192 shortcuts (rectangle fills, single
// pixels, triangles); a is 1..256.
inline Pixel CopyWithShortcuts(Pixel old, Pixel src, int a) {
  switch (a) {
    case 256: return src;
    case 128: return Half(old, src);
    case 64: return Quarter(old, src);
    case 192: return ThreeQuarters(old, src);
    default: return Copy(old, src, a);
  }
}

// One pixel in the mode's method. Methods without a rule of their own
// (multiply, overlay, HSV adjust) draw as copy.
inline Pixel ByMethod(int method, Pixel old, Pixel src, int a) {
  switch (method) {
    case kBlendAdd: return Add(old, src, a);
    case kBlendDodge: return Dodge(old, src, a);
    default: return CopyWithShortcuts(old, src, a);
  }
}

}  // namespace combine
}  // namespace velmora
