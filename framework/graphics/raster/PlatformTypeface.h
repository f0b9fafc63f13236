#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace velmora {

class RasterBitmap;
struct RasterRect;

// What a font is made from; the editor's text styles map onto it.
struct FontRequest {
  std::string face;     // e.g. "Arial"
  int size = 12;        // pixels: cell height (ascent + descent); negative: em height
  int style = 0;        // 0 normal, 1 bold, 2 italic
  int orientation = 0;  // degrees
  int quality = 0;      // 0 default, 1 not anti-aliased, 2 anti-aliased, 3 ClearType
};

// One rendered character: a coverage map (0..255) placed relative to the
// pen position on the baseline.
struct GlyphImage {
  int width = 0;
  int height = 0;
  int left = 0;     // pen x to the first column
  int top = 0;      // baseline up to the first row
  int advance = 0;  // pen movement in pixels
  std::vector<std::uint8_t> coverage;
};

// The platform's font: resolves the face and rasterises characters. Not
// thread-safe; its owner serialises use.
class PlatformTypeface {
 public:
  virtual ~PlatformTypeface() = default;
  virtual int Ascent() const = 0;
  virtual int Descent() const = 0;
  // The family the platform chose for the requested face.
  virtual std::string FamilyName() const = 0;
  virtual bool RenderGlyph(std::uint32_t codePoint, GlyphImage& out) = 0;

  // The platform's own text drawing, straight into a bitmap's device
  // context (Windows GDI): whether it is the better choice for plain opaque
  // text here, and the drawing itself with the RenderText flags, answering
  // the height drawn, or -1 when it cannot draw (the glyph cache then does).
  // Nothing is drawn outside clip when it is given.
  virtual bool PrefersPlatformText() const { return false; }
  virtual int DrawPlatformText(RasterBitmap& /*bitmap*/, const char* /*text*/, std::size_t /*length*/,
                               RasterRect& /*rect*/, int /*flags*/, std::uint32_t /*textColour*/,
                               int /*backgroundMode*/, std::uint32_t /*backgroundColour*/,
                               const RasterRect* /*clip*/) {
    return -1;
  }
};

// Sizes beyond this (either sign) or 0 make no font.
constexpr int kMaxFontSize = 512;

// Implemented by the platform layer; null when no font can be made.
std::unique_ptr<PlatformTypeface> CreatePlatformTypeface(const FontRequest& request);

}  // namespace velmora
