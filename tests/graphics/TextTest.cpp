#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "RasterTestUtil.h"
#include "framework/graphics/raster/FontCache.h"
#include "framework/graphics/raster/Utf8Text.h"

namespace velmora {
namespace {

using test::At;
using Chars = std::vector<std::uint32_t>;

Chars Decode(const std::string& text) { return DecodeTextCharacters(text.data(), text.size()); }

TEST(Utf8Text, SequencesBecomeCharactersAndFourBytesASpace) {
  EXPECT_EQ(Decode("a\xc3\xa9" "b"), (Chars{'a', 0xe9, 'b'}));
  EXPECT_EQ(Decode("\xe2\x82\xac"), (Chars{0x20ac}));
  EXPECT_EQ(Decode("x\xf0\x9f\x8e\xb5y"), (Chars{'x', ' ', 'y'}));
  // Broken or cut sequences: every byte stands for itself.
  EXPECT_EQ(Decode("\xe9t"), (Chars{0xe9, 't'}));
  EXPECT_EQ(Decode("\xe2\x82"), (Chars{0xe2, 0x82}));
  EXPECT_EQ(Decode("\xc3(" ), (Chars{0xc3, '('}));
  EXPECT_EQ(Decode("\xf0\x9f\x8e"), (Chars{0xf0, 0x9f, 0x8e}));
  EXPECT_TRUE(DecodeTextCharacters(nullptr, 5).empty());
}

// Bounding box of the pixels that differ from white.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0, grey = 0;
  bool Empty() const { return count == 0; }
  int CentreX2() const { return left + right; }
};

Ink FindInk(const RasterBitmap& bitmap) {
  Ink ink;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      const Pixel p = At(bitmap, x, y);
      if (p == 0xffffffffu) continue;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
      ++ink.count;
      if ((p & 0xffffff) != 0) ++ink.grey;
    }
  }
  return ink;
}

class TextTest : public ::testing::Test {
 protected:
  CachedFont* Font(const std::string& face, int size = 14, int style = 0, int quality = 0) {
    FontRequest request;
    request.face = face;
    request.size = size;
    request.style = style;
    request.quality = quality;
    CachedFont* font = FontCache::Get(request);
    if (font) {
      font->SetTextColor(0xff000000u);
      font->SetCombineMode(kBlendCopy, 1.0f);
    }
    return font;
  }

  int MeasureWidth(CachedFont* font, const std::string& text) {
    RasterRect rect{5, 7, 5, 7};
    font->RenderText(bitmap, text.c_str(), int(text.size()), rect, kTextMeasure);
    return rect.right - 5;
  }

  Ink Draw(CachedFont* font, const std::string& text, RasterRect rect, int flags) {
    test::FillAll(bitmap, 0xffffffffu);
    font->RenderText(bitmap, text.c_str(), -1, rect, flags);
    return FindInk(bitmap);
  }

  MemBitmap bitmap{240, 80};
};

TEST_F(TextTest, FacesResolveToTheirMetricCompatibleFamilies) {
  CachedFont* arial = Font("Arial");
  CachedFont* verdana = Font("Verdana");
  ASSERT_NE(arial, nullptr);
  ASSERT_NE(verdana, nullptr);
  EXPECT_EQ(arial->PlatformFont()->FamilyName(), "Liberation Sans");
  EXPECT_EQ(verdana->PlatformFont()->FamilyName(), "DejaVu Sans");
  EXPECT_EQ(arial->LineHeight(), 14);
  EXPECT_EQ(arial->Flags(), kFontPreferPlatformRendering);
  EXPECT_GT(MeasureWidth(verdana, "Dorian Mode"), MeasureWidth(arial, "Dorian Mode"));
}

TEST_F(TextTest, FontCacheMakesEachFontOnce) {
  CachedFont* first = Font("Arial", 17, 1);
  ASSERT_NE(first, nullptr);
  const int created = FontCache::FontsCreated();
  EXPECT_EQ(Font("Arial", 17, 1), first);
  EXPECT_EQ(FontCache::FontsCreated(), created);
  CachedFont* italic = Font("Arial", 17, 2);
  EXPECT_NE(italic, first);
  EXPECT_EQ(FontCache::FontsCreated(), created + 1);
  EXPECT_GT(MeasureWidth(first, "Minor Seventh"), MeasureWidth(Font("Arial", 17, 0), "Minor Seventh"));
  EXPECT_EQ(Font("Arial", 0), nullptr);
  EXPECT_EQ(Font("Arial", 100000), nullptr);
}

TEST_F(TextTest, MeasureWritesTheExtentAndDrawsNothing) {
  CachedFont* font = Font("Arial");
  ASSERT_NE(font, nullptr);
  test::FillAll(bitmap, 0xffffffffu);
  RasterRect rect{10, 20, 11, 21};
  EXPECT_EQ(font->RenderText(bitmap, "C Major", -1, rect, kTextMeasure), 14);
  EXPECT_EQ(rect.left, 10);
  EXPECT_EQ(rect.top, 20);
  EXPECT_EQ(rect.bottom, 34);
  EXPECT_GT(rect.right, 50);
  EXPECT_TRUE(FindInk(bitmap).Empty());
  RasterRect twoLines{0, 0, 0, 0};
  EXPECT_EQ(font->RenderText(bitmap, "C\nMajor", -1, twoLines, kTextMeasure), 28);
  EXPECT_EQ(twoLines.right, MeasureWidth(font, "Major"));
  RasterRect none{0, 0, 0, 0};
  EXPECT_EQ(font->RenderText(bitmap, "", -1, none, kTextMeasure), 0);
}

TEST_F(TextTest, FourByteSequenceIsDrawnAsASpace) {
  CachedFont* font = Font("Verdana", 12);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(MeasureWidth(font, "A\xf0\x9f\x8e\xb5" "B"), MeasureWidth(font, "A B"));
  EXPECT_LT(MeasureWidth(font, "A\xf0\x9f\x8e\xb5" "B"), MeasureWidth(font, "A\xf0\x9f\x8e" "B"));
  const Ink withSequence = Draw(font, "A\xf0\x9f\x8e\xb5" "B", {0, 0, 240, 80}, 0);
  const Ink withSpace = Draw(font, "A B", {0, 0, 240, 80}, 0);
  EXPECT_EQ(withSequence.count, withSpace.count);
  EXPECT_EQ(withSequence.right, withSpace.right);
}

TEST_F(TextTest, FirstLineStartsAtTheTopAndAlignmentMovesTheInk) {
  for (const char* face : {"Arial", "Verdana"}) {
    CachedFont* font = Font(face, 16);
    ASSERT_NE(font, nullptr);
    const RasterRect rect{20, 10, 220, 70};
    const int width = MeasureWidth(font, "Scale");
    const Ink left = Draw(font, "Scale", rect, 0);
    ASSERT_FALSE(left.Empty()) << face;
    EXPECT_GE(left.top, rect.top) << face;
    EXPECT_LT(left.top, rect.top + font->Ascent()) << face;
    EXPECT_LE(left.bottom, rect.top + font->LineHeight()) << face;
    EXPECT_GE(left.left, rect.left) << face;
    EXPECT_LE(left.left, rect.left + 3) << face;

    const Ink centred = Draw(font, "Scale", rect, kTextCenter);
    EXPECT_EQ(centred.top, left.top) << face;
    EXPECT_EQ(centred.left - left.left, (rect.Width() - width) / 2) << face;
    EXPECT_NEAR(centred.CentreX2(), rect.left + rect.right, 4) << face;

    const Ink right = Draw(font, "Scale", rect, kTextRight);
    EXPECT_EQ(right.left - left.left, rect.Width() - width) << face;
    EXPECT_LT(right.right, rect.right) << face;

    const Ink bottom = Draw(font, "Scale", rect, kTextBottom);
    EXPECT_EQ(bottom.top - left.top, rect.Height() - font->LineHeight()) << face;
  }
}

TEST_F(TextTest, ClippingKeepsInkInsideTheRectangleUnlessTurnedOff) {
  CachedFont* font = Font("Arial", 17);
  ASSERT_NE(font, nullptr);
  const RasterRect small{30, 20, 60, 28};
  const Ink clipped = Draw(font, "Dominant Seventh", small, 0);
  ASSERT_FALSE(clipped.Empty());
  EXPECT_GE(clipped.left, small.left);
  EXPECT_LT(clipped.right, small.right);
  EXPECT_GE(clipped.top, small.top);
  EXPECT_LT(clipped.bottom, small.bottom);
  const Ink unclipped = Draw(font, "Dominant Seventh", small, kTextNoClip);
  EXPECT_GT(unclipped.right, small.right);
  EXPECT_GE(unclipped.bottom, small.bottom);
  // Off the bitmap and with extreme rectangles nothing breaks.
  EXPECT_TRUE(Draw(font, "x", {-1000, -1000, -900, -900}, kTextNoClip).Empty());
  Draw(font, "wide", {-0x7fffffff, 0, 0x7fffffff, 80}, kTextCenter | kTextNoClip);
  Draw(font, "tall", {0, -0x7fffffff, 240, 0x7fffffff}, kTextVCenter);
}

TEST_F(TextTest, QualityOneDrawsWithoutGreys) {
  // Quality is not part of the cache key: sizes no other test uses.
  CachedFont* mono = Font("Verdana", 21, 0, 1);
  CachedFont* smooth = Font("Verdana", 22, 0, 2);
  ASSERT_NE(mono, nullptr);
  ASSERT_NE(smooth, nullptr);
  const Ink monoInk = Draw(mono, "Chord list", {0, 0, 240, 80}, 0);
  ASSERT_FALSE(monoInk.Empty());
  EXPECT_EQ(monoInk.grey, 0);
  EXPECT_GT(Draw(smooth, "Chord list", {0, 0, 240, 80}, 0).grey, 0);
}

TEST_F(TextTest, ColourAlphaIsUsedOnlyWhenAsked) {
  CachedFont* font = Font("Arial", 23, 0, 1);
  ASSERT_NE(font, nullptr);
  font->SetTextColor(MakePixel(128, 0, 0, 0));
  const Ink opaque = Draw(font, "Root", {0, 0, 240, 80}, 0);
  EXPECT_EQ(opaque.grey, 0);  // alpha ignored: solid black
  const Ink translucent = Draw(font, "Root", {0, 0, 240, 80}, kTextUseColorAlpha);
  EXPECT_EQ(translucent.grey, translucent.count);  // every pixel half way
  EXPECT_EQ(translucent.count, opaque.count);
  font->SetTextColor(0xff000000u);
}

}  // namespace
}  // namespace velmora
