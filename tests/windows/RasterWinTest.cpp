// The raster library's Windows layer: the drawing surface as a DIB section,
// GDI fonts, the glyph rasteriser and the choice of text path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "framework/graphics/platform/win/WineCheck.h"
#include "framework/graphics/raster/CachedFont.h"
#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/MemBitmap.h"
#include "framework/graphics/raster/PlatformTypeface.h"
#include "framework/graphics/raster/SysBitmap.h"

#include "WinTestSupport.h"

namespace velmora::wintest {
namespace {

void Fill(RasterBitmap& bitmap, Pixel pixel) {
  for (int y = 0; y < bitmap.Height(); ++y) std::fill(bitmap.Row(y), bitmap.Row(y) + bitmap.Width(), pixel);
}

int CountPixels(const RasterBitmap& bitmap, bool (*match)(Pixel)) {
  int count = 0;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) count += match(bitmap.Row(y)[x]) ? 1 : 0;
  }
  return count;
}

TEST(SysBitmapWin, IsATopDownDibSectionWhosePixelsAreBlueGreenRedAlpha) {
  SysBitmap bitmap(10, 7);
  ASSERT_NE(bitmap.Bits(), nullptr);
  HDC dc = static_cast<HDC>(bitmap.DeviceContext());
  ASSERT_NE(dc, nullptr);
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof section, &section), int(sizeof section));
  EXPECT_EQ(section.dsBm.bmBitsPixel, 32);
  EXPECT_EQ(section.dsBm.bmBits, static_cast<void*>(bitmap.Bits()));
  EXPECT_EQ(section.dsBmih.biWidth, 12);  // rows of whole 4-pixel groups
  EXPECT_EQ(std::abs(section.dsBmih.biHeight), 7);
  EXPECT_EQ(bitmap.RowSpan(), 12);

  // Row 3 of the bits is the fourth row from the top.
  bitmap.Row(3)[2] = MakePixel(255, 10, 20, 30);
  EXPECT_EQ(GetPixel(dc, 2, 3), RGB(10, 20, 30));
  SetPixel(dc, 4, 1, RGB(200, 100, 50));
  GdiFlush();
  EXPECT_EQ(bitmap.Row(1)[4] & 0xffffffu, 0xc86432u);

  // Shrinking keeps the section; growing past it makes a new one.
  EXPECT_TRUE(bitmap.Resize(8, 5));
  EXPECT_EQ(bitmap.DeviceContext(), static_cast<void*>(dc));
  EXPECT_TRUE(bitmap.Resize(30, 9));
  ASSERT_NE(bitmap.DeviceContext(), nullptr);
  EXPECT_EQ(bitmap.RowSpan(), 32);
  EXPECT_FALSE(bitmap.Resize(30, 9));
}

TEST(WineCheck, AgreesWithWinesOwnExport) {
  const bool wine = GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
  EXPECT_EQ(RunningUnderWine(), wine);
}

TEST(GdiFonts, ArialAndVerdanaResolveToTheirFacesOrTheLinuxBuildsOnes) {
  const std::unique_ptr<PlatformTypeface> arial = CreatePlatformTypeface(FontRequest{"Arial", 14, 0, 0, 0});
  ASSERT_NE(arial, nullptr);
  EXPECT_TRUE(arial->FamilyName() == "Arial" || arial->FamilyName() == "Liberation Sans") << arial->FamilyName();
  EXPECT_EQ(arial->Ascent() + arial->Descent(), 14);  // a positive size is the cell height
  const std::unique_ptr<PlatformTypeface> verdana = CreatePlatformTypeface(FontRequest{"Verdana", 12, 1, 0, 0});
  ASSERT_NE(verdana, nullptr);
  EXPECT_TRUE(verdana->FamilyName() == "Verdana" || verdana->FamilyName() == "DejaVu Sans") << verdana->FamilyName();
  EXPECT_EQ(CreatePlatformTypeface(FontRequest{"Arial", 0, 0, 0, 0}), nullptr);
  EXPECT_EQ(CreatePlatformTypeface(FontRequest{"Arial", kMaxFontSize + 1, 0, 0, 0}), nullptr);
}

TEST(GdiFonts, GlyphsAreCoverageMapsOnTheBaseline) {
  const std::unique_ptr<PlatformTypeface> font = CreatePlatformTypeface(FontRequest{"Arial", 20, 0, 0, 0});
  ASSERT_NE(font, nullptr);
  GlyphImage h;
  ASSERT_TRUE(font->RenderGlyph('H', h));
  EXPECT_GT(h.width, 4);
  EXPECT_GT(h.height, 8);
  EXPECT_LE(h.top, font->Ascent());  // stands on the baseline
  EXPECT_GT(h.advance, h.width / 2);
  EXPECT_EQ(h.coverage.size(), std::size_t(h.width) * std::size_t(h.height));
  EXPECT_EQ(*std::max_element(h.coverage.begin(), h.coverage.end()), 255);  // the stems are solid
  GlyphImage space;
  ASSERT_TRUE(font->RenderGlyph(' ', space));
  EXPECT_EQ(space.width * space.height, 0);
  EXPECT_GT(space.advance, 0);
  // Not anti-aliased: coverage is all or nothing.
  const std::unique_ptr<PlatformTypeface> mono = CreatePlatformTypeface(FontRequest{"Arial", 20, 0, 0, 1});
  ASSERT_NE(mono, nullptr);
  GlyphImage o;
  ASSERT_TRUE(mono->RenderGlyph('O', o));
  EXPECT_TRUE(std::all_of(o.coverage.begin(), o.coverage.end(), [](std::uint8_t c) { return c == 0 || c == 255; }));
}

TEST(GdiFonts, PlatformTextDrawsIntoTheSurfacesDeviceContextOnly) {
  const std::unique_ptr<PlatformTypeface> font = CreatePlatformTypeface(FontRequest{"Arial", 16, 0, 0, 0});
  ASSERT_NE(font, nullptr);
  SysBitmap surface(60, 20);
  Fill(surface, MakePixel(255, 255, 255, 255));
  RasterRect rect{0, 0, 60, 20};
  const char text[] = "W&W";
  auto red = [](Pixel p) { return (p & 0xffffffu) == 0xc80000u; };
  EXPECT_EQ(font->DrawPlatformText(surface, text, 3, rect, kTextNoClip, MakePixel(255, 200, 0, 0),
                                   kBackgroundTransparent, 0, nullptr),
            16);
  EXPECT_GT(CountPixels(surface, red), 10);
  RasterRect measured{0, 0, 0, 0};
  font->DrawPlatformText(surface, text, 3, measured, kTextMeasure, 0, kBackgroundTransparent, 0, nullptr);
  EXPECT_GT(measured.right, 20);  // the ampersand is drawn, not taken as a prefix
  EXPECT_EQ(measured.bottom, 16);
  MemBitmap memory;
  memory.Resize(60, 20);
  EXPECT_EQ(font->DrawPlatformText(memory, text, 3, rect, 0, 0, kBackgroundTransparent, 0, nullptr), -1);

  // A clip keeps the text out of the rest of the surface, and the device
  // context is left unclipped for the next drawing.
  Fill(surface, MakePixel(255, 255, 255, 255));
  const RasterRect leftHalf{0, 0, 10, 20};
  font->DrawPlatformText(surface, text, 3, rect, kTextNoClip, MakePixel(255, 200, 0, 0), kBackgroundTransparent, 0,
                         &leftHalf);
  int outside = 0;
  for (int y = 0; y < 20; ++y) {
    for (int x = 10; x < 60; ++x) outside += red(surface.Row(y)[x]) ? 1 : 0;
  }
  EXPECT_EQ(outside, 0);
  const int clipped = CountPixels(surface, red);
  EXPECT_GT(clipped, 0);
  font->DrawPlatformText(surface, text, 3, rect, kTextNoClip, MakePixel(255, 200, 0, 0), kBackgroundTransparent, 0,
                         nullptr);
  EXPECT_GT(CountPixels(surface, red), clipped);
}

// GDI leaves the alpha byte of what it draws at 0; the glyph cache blends
// alpha like every other channel. Opaque text takes GDI on Windows, the
// glyph cache under Wine; fonts too tall for the cache always take GDI.
TEST(TextPath, UnderWinePlainTextTakesTheGlyphCacheAndHugeTextGdi) {
  ASSERT_TRUE(RunningUnderWine()) << "these tests run under Wine";
  CachedFont* small = FontCache::Get(FontRequest{"Arial", 14, 0, 0, 0});
  CachedFont* huge = FontCache::Get(FontRequest{"Arial", 300, 0, 0, 0});
  ASSERT_NE(small, nullptr);
  ASSERT_NE(huge, nullptr);
  EXPECT_FALSE(small->PlatformFont()->PrefersPlatformText());
  SysBitmap surface(400, 320);
  const Pixel background = MakePixel(0x80, 255, 255, 255);
  auto drawnByGdi = [](Pixel p) { return p != MakePixel(0x80, 255, 255, 255) && PixelAlpha(p) == 0; };
  auto drawnByCache = [](Pixel p) { return p != MakePixel(0x80, 255, 255, 255) && PixelAlpha(p) > 0x80; };

  Fill(surface, background);
  small->SetTextColor(MakePixel(255, 0, 0, 0));
  RasterRect rect{0, 0, 400, 320};
  small->RenderText(surface, "Hello", -1, rect, kTextNoClip);
  EXPECT_GT(CountPixels(surface, drawnByCache), 10);
  EXPECT_EQ(CountPixels(surface, drawnByGdi), 0);

  Fill(surface, background);
  huge->SetTextColor(MakePixel(255, 0, 0, 0));
  huge->RenderText(surface, "H", -1, rect, kTextNoClip);
  EXPECT_GT(CountPixels(surface, drawnByGdi), 1000);
}

}  // namespace
}  // namespace velmora::wintest
