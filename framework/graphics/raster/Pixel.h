#pragma once

#include <cstdint>

namespace velmora {

// (alpha << 24) | (red << 16) | (green << 8) | blue, straight alpha; in memory
// the bytes of a pixel are blue, green, red, alpha.
using Pixel = std::uint32_t;

constexpr Pixel MakePixel(int alpha, int red, int green, int blue) {
  return (Pixel(alpha & 0xff) << 24) | (Pixel(red & 0xff) << 16) | (Pixel(green & 0xff) << 8) |
         Pixel(blue & 0xff);
}
constexpr int PixelAlpha(Pixel p) { return int(p >> 24); }
constexpr int PixelRed(Pixel p) { return int((p >> 16) & 0xff); }
constexpr int PixelGreen(Pixel p) { return int((p >> 8) & 0xff); }
constexpr int PixelBlue(Pixel p) { return int(p & 0xff); }

// Blend mode: the low byte picks the combine method, kBlendUseSourceAlpha adds
// per-pixel source alpha (blit) or scales the opacity by the colour's alpha
// (rectangle fill).
enum BlendMode : int {
  kBlendCopy = 0,
  kBlendAdd = 1,
  kBlendDodge = 2,
  kBlendMultiply = 3,
  kBlendOverlay = 4,
  kBlendHsvAdjust = 5,
  kBlendMethodMask = 0xff,
  kBlendUseSourceAlpha = 0x10000,
};

// a = int(opacity * 256), kept within 0..256 so that NaN or out-of-range
// opacities cannot reach the integer conversion.
inline int OpacityToAlpha(float opacity) {
  if (!(opacity > 0.0f)) return 0;
  if (opacity >= 1.0f) return 256;
  return int(opacity * 256.0f);
}

}  // namespace velmora
