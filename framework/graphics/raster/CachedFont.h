#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "framework/graphics/raster/RasterFont.h"

namespace velmora {

// A font whose characters are rendered once by the platform into coverage
// maps and then blended into bitmaps in the text colour.
//
// Threads: [any]. Fonts are shared by every editor of the process, so each
// call holds the font's own lock; an editor sets the colour and draws with
// one call (RenderTextInColour).
class CachedFont : public RasterFont {
 public:
  CachedFont();
  ~CachedFont() override;

  void AttachPlatformFont(std::unique_ptr<PlatformTypeface> font, int flags) override;
  Pixel SetTextColor(Pixel colour) override;
  Pixel SetBackgroundColor(Pixel colour) override;
  Pixel SetEffectColor(Pixel colour) override;
  int SetBackgroundMode(int mode) override;
  void SetCombineMode(int mode, float opacity) override;
  int RenderText(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags) override;
  // The same, drawing nothing outside clipTo (null: no such limit).
  int RenderTextClipped(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                        const RasterRect* clipTo);
  // Sets the text colour and draws in one hold of the font's lock, so that
  // editors sharing the font never draw in each other's colour.
  int RenderTextInColour(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                         Pixel colour, const RasterRect* clipTo);
  Pixel TextColor() const override;
  PlatformTypeface* PlatformFont() const override { return mTypeface.get(); }
  int LineHeight() const override;

  // Blends one glyph with its pen at (x, baseline), inside clip, with the
  // coverage times a (0..256).
  virtual void DrawGlyph(RasterBitmap& bitmap, const GlyphImage& glyph, int x, int baseline,
                         const RasterRect& clip, Pixel colour, int a);

  int Flags() const { return mFlags; }
  int Ascent() const { return mTypeface ? mTypeface->Ascent() : 0; }

 private:
  struct TextLine {
    std::size_t begin, end;
    std::int64_t width;
  };

  const GlyphImage& Glyph(std::uint32_t codePoint);
  std::int64_t LineWidth(const std::uint32_t* chars, std::size_t count);
  int RenderLocked(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                   const RasterRect* clipTo);
  void DrawLineOfText(RasterBitmap& bitmap, const std::uint32_t* chars, std::size_t count, std::int64_t x,
                      std::int64_t top, const RasterRect& clip, Pixel colour, int a);

  mutable std::mutex mLock;
  std::unique_ptr<PlatformTypeface> mTypeface;
  int mFlags = 0;
  Pixel mTextColour = 0xff000000u;
  Pixel mBackgroundColour = 0xffffffffu;
  Pixel mEffectColour = 0xff000000u;
  int mBackgroundMode = kBackgroundTransparent;
  int mCombineMode = kBlendCopy;
  float mOpacity = 1.0f;
  std::array<std::unique_ptr<GlyphImage>, 256> mLowGlyphs;
  std::unordered_map<std::uint32_t, std::unique_ptr<GlyphImage>> mGlyphs;
};

}  // namespace velmora
