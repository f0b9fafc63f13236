#include "framework/graphics/raster/CachedFont.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "framework/graphics/raster/Combine.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/Utf8Text.h"

namespace velmora {

namespace {

bool IsControl(std::uint32_t c) { return c < 0x20 || c == 0x7f; }

// Lines split at "\r\n", "\r" or "\n".
template <class OnLine>
void SplitLines(const std::vector<std::uint32_t>& chars, OnLine onLine) {
  std::size_t begin = 0;
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (chars[i] != '\n' && chars[i] != '\r') continue;
    onLine(begin, i);
    if (chars[i] == '\r' && i + 1 < chars.size() && chars[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  onLine(begin, chars.size());
}

RasterRect Intersect(const RasterRect& a, const RasterRect& b) {
  RasterRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
  if (r.right < r.left) r.right = r.left;
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

int ClampToInt(std::int64_t v) { return int(std::clamp<std::int64_t>(v, -0x7fffffff, 0x7fffffff)); }

}  // namespace

RasterFont::~RasterFont() = default;

CachedFont::CachedFont() = default;
CachedFont::~CachedFont() = default;

void CachedFont::AttachPlatformFont(std::unique_ptr<PlatformTypeface> font, int flags) {
  std::lock_guard<std::mutex> guard(mLock);
  mTypeface = std::move(font);
  mFlags = flags;
  for (auto& glyph : mLowGlyphs) glyph.reset();
  mGlyphs.clear();
}

Pixel CachedFont::SetTextColor(Pixel colour) {
  std::lock_guard<std::mutex> guard(mLock);
  return std::exchange(mTextColour, colour);
}

Pixel CachedFont::SetBackgroundColor(Pixel colour) {
  std::lock_guard<std::mutex> guard(mLock);
  return std::exchange(mBackgroundColour, colour);
}

Pixel CachedFont::SetEffectColor(Pixel colour) {
  std::lock_guard<std::mutex> guard(mLock);
  return std::exchange(mEffectColour, colour);
}

int CachedFont::SetBackgroundMode(int mode) {
  std::lock_guard<std::mutex> guard(mLock);
  return std::exchange(mBackgroundMode, mode);
}

void CachedFont::SetCombineMode(int mode, float opacity) {
  std::lock_guard<std::mutex> guard(mLock);
  mCombineMode = mode;
  mOpacity = opacity;
}

Pixel CachedFont::TextColor() const {
  std::lock_guard<std::mutex> guard(mLock);
  return mTextColour;
}

int CachedFont::LineHeight() const { return mTypeface ? mTypeface->Ascent() + mTypeface->Descent() : 0; }

const GlyphImage& CachedFont::Glyph(std::uint32_t codePoint) {
  std::unique_ptr<GlyphImage>& slot = codePoint < mLowGlyphs.size() ? mLowGlyphs[codePoint] : mGlyphs[codePoint];
  if (!slot) {
    slot = std::make_unique<GlyphImage>();
    // Control characters take no room; a character the platform cannot
    // render stays an empty glyph so it is not tried again.
    if (!IsControl(codePoint) && !mTypeface->RenderGlyph(codePoint, *slot)) *slot = GlyphImage{};
  }
  return *slot;
}

std::int64_t CachedFont::LineWidth(const std::uint32_t* chars, std::size_t count) {
  std::int64_t width = 0;
  for (std::size_t i = 0; i < count; ++i) width += Glyph(chars[i]).advance;
  return width;
}

void CachedFont::DrawGlyph(RasterBitmap& bitmap, const GlyphImage& glyph, int x, int baseline,
                           const RasterRect& clip, Pixel colour, int a) {
  const std::int64_t left = std::int64_t(x) + glyph.left;
  const std::int64_t top = std::int64_t(baseline) - glyph.top;
  const std::int64_t fromX = std::max<std::int64_t>(left, clip.left);
  const std::int64_t toX = std::min<std::int64_t>(left + glyph.width, clip.right);
  const std::int64_t fromY = std::max<std::int64_t>(top, clip.top);
  const std::int64_t toY = std::min<std::int64_t>(top + glyph.height, clip.bottom);
  const int method = mCombineMode & kBlendMethodMask;
  for (std::int64_t y = fromY; y < toY; ++y) {
    const std::uint8_t* coverage = glyph.coverage.data() + (y - top) * glyph.width;
    Pixel* row = bitmap.Row(int(y));
    for (std::int64_t px = fromX; px < toX; ++px) {
      const int c = coverage[px - left];
      const int weight = ((c + (c >> 7)) * a) >> 8;
      if (weight > 0) row[px] = combine::ByMethod(method, row[px], colour, weight);
    }
  }
}

void CachedFont::DrawLineOfText(RasterBitmap& bitmap, const std::uint32_t* chars, std::size_t count,
                                std::int64_t x, std::int64_t top, const RasterRect& clip, Pixel colour, int a) {
  const std::int64_t baseline = top + mTypeface->Ascent();
  for (std::size_t i = 0; i < count; ++i) {
    const GlyphImage& glyph = Glyph(chars[i]);
    const std::int64_t right = x + glyph.left + glyph.width;
    if (glyph.width > 0 && right > clip.left && baseline - glyph.top < clip.bottom &&
        baseline - glyph.top + glyph.height > clip.top) {
      DrawGlyph(bitmap, glyph, int(x), int(baseline), clip, colour, a);
    }
    x += glyph.advance;
  }
}

int CachedFont::RenderText(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags) {
  return RenderTextClipped(bitmap, text, length, rect, flags, nullptr);
}

int CachedFont::RenderTextClipped(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                                  const RasterRect* clipTo) {
  std::lock_guard<std::mutex> guard(mLock);
  return RenderLocked(bitmap, text, length, rect, flags, clipTo);
}

int CachedFont::RenderTextInColour(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                                   Pixel colour, const RasterRect* clipTo) {
  std::lock_guard<std::mutex> guard(mLock);
  mTextColour = colour;
  return RenderLocked(bitmap, text, length, rect, flags, clipTo);
}

int CachedFont::RenderLocked(RasterBitmap& bitmap, const char* text, int length, RasterRect& rect, int flags,
                             const RasterRect* clipTo) {
  if (!mTypeface || !text) return 0;
  const std::size_t byteCount = length < 0 ? std::strlen(text) : std::size_t(length);
  // Plain opaque text in a font that prefers it goes to the platform's text
  // drawing where that is the better renderer; so do fonts too tall for the
  // glyph cache.
  const bool platformText = (mFlags & kFontPreferPlatformRendering) && !(flags & kTextUseColorAlpha) &&
                            mTypeface->PrefersPlatformText();
  if (platformText || LineHeight() > 255) {
    const int height = mTypeface->DrawPlatformText(bitmap, text, byteCount, rect, flags, mTextColour,
                                                   mBackgroundMode, mBackgroundColour, clipTo);
    if (height >= 0) return height;
  }
  const std::vector<std::uint32_t> chars = DecodeTextCharacters(text, byteCount);
  if (chars.empty()) return 0;

  std::vector<TextLine> lines;
  std::int64_t widest = 0;
  SplitLines(chars, [&](std::size_t begin, std::size_t end) {
    lines.push_back({begin, end, LineWidth(chars.data() + begin, end - begin)});
    widest = std::max(widest, lines.back().width);
  });
  const std::int64_t lineHeight = LineHeight();
  const std::int64_t height = lineHeight * std::int64_t(lines.size());
  if (flags & kTextMeasure) {
    rect.right = ClampToInt(rect.left + widest);
    rect.bottom = ClampToInt(rect.top + height);
    return ClampToInt(height);
  }

  std::int64_t top = rect.top;
  if (flags & kTextVCenter) top += (rect.Height() - height) / 2;
  else if (flags & kTextBottom) top = rect.bottom - height;
  const RasterRect bounds{0, 0, bitmap.Width(), bitmap.Height()};
  RasterRect clip = (flags & kTextNoClip) ? bounds : Intersect(bounds, rect);
  if (clipTo) clip = Intersect(clip, *clipTo);

  const bool colourAlpha = (flags & kTextUseColorAlpha) != 0;
  const Pixel colour = colourAlpha ? mTextColour : (mTextColour | 0xff000000u);
  const float opacity = colourAlpha ? mOpacity * float(PixelAlpha(mTextColour)) / 255.0f : mOpacity;
  const int a = OpacityToAlpha(opacity);
  if (!bitmap.Bits() || a <= 0) return ClampToInt(height);

  for (const TextLine& line : lines) {
    std::int64_t x = rect.left;
    if (flags & kTextCenter) x += (rect.Width() - line.width) / 2;
    else if (flags & kTextRight) x = rect.right - line.width;
    if (top >= clip.bottom) break;
    if (top + lineHeight > clip.top) {
      if (mBackgroundMode == kBackgroundOpaque) {
        const RasterRect box = Intersect(clip, {ClampToInt(x), ClampToInt(top), ClampToInt(x + line.width),
                                                ClampToInt(top + lineHeight)});
        FillRect(bitmap, box.left, box.top, int(box.Width()), int(box.Height()), mBackgroundColour, 1.0f,
                 kBlendCopy);
      }
      DrawLineOfText(bitmap, chars.data() + line.begin, line.end - line.begin, x, top, clip, colour, a);
    }
    top += lineHeight;
  }
  return ClampToInt(height);
}

}  // namespace velmora
