// Windows fonts through GDI: CreateFont makes the face, GetGlyphOutline
// renders characters for the glyph cache, and DrawText draws plain text
// straight into a DIB section's device context. Wine's GDI text differs from
// Windows' in placement and smoothing, so under Wine the glyph cache draws.
#include <windows.h>

#include <cctype>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "framework/graphics/platform/win/WineCheck.h"
#include "framework/graphics/raster/PlatformTypeface.h"
#include "framework/graphics/raster/RasterFont.h"

namespace velmora {
namespace {

bool SameFace(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b) {
    if (std::tolower(static_cast<unsigned char>(*a)) != std::tolower(static_cast<unsigned char>(*b))) return false;
  }
  return *a == *b;
}

// Faces with the same metrics, for systems without the requested one (Wine
// on Linux, a Windows without the core fonts): the faces the Linux build
// uses too, so that both draw the editor alike.
std::vector<const char*> Alternatives(const std::string& face) {
  if (SameFace(face.c_str(), "Arial")) return {"Liberation Sans", "Arimo"};
  if (SameFace(face.c_str(), "Verdana")) return {"DejaVu Sans", "Bitstream Vera Sans"};
  return {};
}

HFONT MakeFont(const FontRequest& request, const char* face) {
  static const DWORD kQuality[] = {DEFAULT_QUALITY, NONANTIALIASED_QUALITY, ANTIALIASED_QUALITY, CLEARTYPE_QUALITY};
  const DWORD quality = request.quality >= 0 && request.quality <= 3 ? kQuality[request.quality] : DEFAULT_QUALITY;
  const int tenths = request.orientation * 10;
  return CreateFontA(request.size, 0, tenths, tenths, request.style == 1 ? FW_BOLD : FW_NORMAL,
                     request.style == 2, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     quality, DEFAULT_PITCH | FF_DONTCARE, face);
}

std::string FaceOf(HDC dc, HFONT font) {
  HGDIOBJ old = SelectObject(dc, font);
  char face[LF_FACESIZE] = {};
  GetTextFaceA(dc, sizeof face, face);
  SelectObject(dc, old);
  return face;
}

// The requested face when GDI has it, else the first alternative it has,
// else whatever GDI chose for the request.
HFONT MatchFont(HDC dc, const FontRequest& request) {
  HFONT font = MakeFont(request, request.face.c_str());
  if (!font || SameFace(FaceOf(dc, font).c_str(), request.face.c_str())) return font;
  for (const char* alternative : Alternatives(request.face)) {
    HFONT other = MakeFont(request, alternative);
    if (other && SameFace(FaceOf(dc, other).c_str(), alternative)) {
      DeleteObject(font);
      return other;
    }
    if (other) DeleteObject(other);
  }
  return font;
}

bool HasMultiByteCharacters(const char* text, std::size_t length) {
  for (std::size_t i = 0; i < length; ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return true;
  }
  return false;
}

COLORREF ToColorRef(std::uint32_t pixel) {
  return RGB((pixel >> 16) & 0xff, (pixel >> 8) & 0xff, pixel & 0xff);
}

class GdiTypeface : public PlatformTypeface {
 public:
  GdiTypeface(HDC dc, HFONT font, bool mono) : mDc(dc), mFont(font), mMono(mono) {
    mPrevious = SelectObject(mDc, mFont);
    GetTextMetricsA(mDc, &mMetrics);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(mDc, sizeof face, face);
    mFamily = face;
  }
  ~GdiTypeface() override {
    SelectObject(mDc, mPrevious);
    DeleteDC(mDc);
    DeleteObject(mFont);
  }

  int Ascent() const override { return int(mMetrics.tmAscent); }
  int Descent() const override { return int(mMetrics.tmDescent); }
  std::string FamilyName() const override { return mFamily; }

  bool RenderGlyph(std::uint32_t codePoint, GlyphImage& out) override {
    if (codePoint > 0xffff) return false;
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const UINT format = mMono ? GGO_BITMAP : GGO_GRAY8_BITMAP;
    GLYPHMETRICS metrics{};
    const DWORD size = GetGlyphOutlineW(mDc, UINT(codePoint), format, &metrics, 0, nullptr, &identity);
    if (size == GDI_ERROR) return false;
    out = GlyphImage{};
    out.advance = metrics.gmCellIncX;
    if (size == 0) return true;  // nothing to draw (a space)
    std::vector<std::uint8_t> raw(size);
    if (GetGlyphOutlineW(mDc, UINT(codePoint), format, &metrics, size, raw.data(), &identity) == GDI_ERROR) {
      return false;
    }
    const int width = int(metrics.gmBlackBoxX);
    const int height = int(metrics.gmBlackBoxY);
    // Rows are padded to whole 32-bit words.
    const std::size_t pitch = mMono ? std::size_t((width + 31) / 32) * 4 : std::size_t((width + 3) & ~3);
    if (width <= 0 || height <= 0 || pitch * std::size_t(height) > raw.size()) return false;
    out.width = width;
    out.height = height;
    out.left = metrics.gmptGlyphOrigin.x;
    out.top = metrics.gmptGlyphOrigin.y;
    out.coverage.assign(std::size_t(width) * std::size_t(height), 0);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* row = raw.data() + std::size_t(y) * pitch;
      std::uint8_t* dst = out.coverage.data() + std::size_t(y) * std::size_t(width);
      for (int x = 0; x < width; ++x) {
        if (mMono) {
          dst[x] = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
        } else {
          const int level = row[x] > 64 ? 64 : row[x];  // 65 grey levels
          dst[x] = std::uint8_t((level * 255 + 32) / 64);
        }
      }
    }
    return true;
  }

  bool PrefersPlatformText() const override { return !RunningUnderWine(); }

  int DrawPlatformText(RasterBitmap& bitmap, const char* text, std::size_t length, RasterRect& rect, int flags,
                       std::uint32_t textColour, int backgroundMode, std::uint32_t backgroundColour,
                       const RasterRect* clip) override {
    HDC dc = static_cast<HDC>(bitmap.DeviceContext());
    if (!dc || !text || length > std::size_t(INT_MAX)) return -1;
    const int saved = clip ? SaveDC(dc) : 0;
    if (clip) IntersectClipRect(dc, clip->left, clip->top, clip->right, clip->bottom);
    HGDIOBJ old = SelectObject(dc, mFont);
    SetTextColor(dc, ToColorRef(textColour));
    SetBkColor(dc, ToColorRef(backgroundColour));
    SetBkMode(dc, backgroundMode == kBackgroundOpaque ? OPAQUE : TRANSPARENT);
    RECT r{rect.left, rect.top, rect.right, rect.bottom};
    // The format flags are DrawText's own; an ampersand is drawn as it is.
    const UINT format = UINT(flags & ~kTextUseColorAlpha) | DT_NOPREFIX;
    int height = 0;
    if (HasMultiByteCharacters(text, length)) {
      const int count = MultiByteToWideChar(CP_UTF8, 0, text, int(length), nullptr, 0);
      std::wstring wide(std::size_t(count > 0 ? count : 0), L'\0');
      if (count > 0) MultiByteToWideChar(CP_UTF8, 0, text, int(length), wide.data(), count);
      height = DrawTextW(dc, wide.data(), count, &r, format);
    } else {
      height = DrawTextA(dc, text, int(length), &r, format);
    }
    GdiFlush();  // the raster operations read the pixels next
    SelectObject(dc, old);
    if (saved) RestoreDC(dc, saved);
    if (flags & kTextMeasure) rect = RasterRect{r.left, r.top, r.right, r.bottom};
    return height;
  }

 private:
  HDC mDc;
  HFONT mFont;
  HGDIOBJ mPrevious = nullptr;
  bool mMono;
  TEXTMETRICA mMetrics{};
  std::string mFamily;
};

}  // namespace

std::unique_ptr<PlatformTypeface> CreatePlatformTypeface(const FontRequest& request) {
  if (request.size == 0 || request.size > kMaxFontSize || request.size < -kMaxFontSize) return nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return nullptr;
  HFONT font = MatchFont(dc, request);
  if (!font) {
    DeleteDC(dc);
    return nullptr;
  }
  return std::make_unique<GdiTypeface>(dc, font, request.quality == 1);
}

}  // namespace velmora
