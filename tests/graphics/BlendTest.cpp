#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

#include "RasterTestUtil.h"
#include "framework/graphics/raster/PixelOps.h"
#include "framework/graphics/raster/SourceAlphaRow.h"

namespace velmora {
namespace {

using test::At;
using test::FillAll;

constexpr int kSourceAlphaCopy = kBlendCopy | kBlendUseSourceAlpha;

int Channel(Pixel p, int shift) { return int((p >> shift) & 0xff); }

class BlendTest : public ::testing::Test {
 protected:
  MemBitmap dest{8, 6};
  MemBitmap src{8, 6};
};

TEST_F(BlendTest, FillWithHalfAlphaColourHalvesEveryByte) {
  FillAll(dest, MakePixel(255, 0, 100, 200));
  FillRect(dest, 0, 0, 8, 6, MakePixel(128, 0, 0, 0), 1.0f, kSourceAlphaCopy);
  const Pixel p = At(dest, 3, 2);
  EXPECT_EQ(PixelBlue(p), 100);
  EXPECT_EQ(PixelGreen(p), 50);
  EXPECT_EQ(PixelRed(p), 0);
  EXPECT_EQ(PixelAlpha(p), 191);
}

TEST_F(BlendTest, FillTakesTheQuarterShortcuts) {
  const Pixel old = MakePixel(255, 255, 3, 201);
  const Pixel colour64 = MakePixel(64, 255, 255, 7);    // a = int(64 / 255 * 256) = 64
  const Pixel colour192 = MakePixel(192, 10, 255, 7);   // a = 192
  FillAll(dest, old);
  FillRect(dest, 0, 0, 1, 1, colour64, 1.0f, kSourceAlphaCopy);
  FillRect(dest, 1, 0, 1, 1, colour192, 1.0f, kSourceAlphaCopy);
  FillRect(dest, 2, 0, 1, 1, colour192, 0.75f, kBlendCopy);
  auto quarter = [](int o, int s) { return o / 2 + o / 4 + s / 4; };
  auto threeQuarters = [](int o, int s) { return s / 2 + s / 4 + o / 4; };
  for (int shift : {0, 8, 16, 24}) {
    EXPECT_EQ(Channel(At(dest, 0, 0), shift), quarter(Channel(old, shift), Channel(colour64, shift)));
    EXPECT_EQ(Channel(At(dest, 1, 0), shift), threeQuarters(Channel(old, shift), Channel(colour192, shift)));
    EXPECT_EQ(Channel(At(dest, 2, 0), shift), threeQuarters(Channel(old, shift), Channel(colour192, shift)));
  }
}

// new = (old - src) * (256 - a) / 256 + src per byte, truncated toward zero;
// the expected bytes are worked out by hand.
TEST_F(BlendTest, FillAtOtherOpacitiesUsesTheCopyFormula) {
  const Pixel old = MakePixel(200, 10, 250, 0), colour = MakePixel(50, 255, 0, 128);
  for (auto [opacity, expected] : {std::pair{0.3f, MakePixel(155, 83, 175, 38)},  // a = 76
                                   std::pair{0.9f, MakePixel(65, 231, 25, 115)}}) {  // a = 230
    FillAll(dest, old);
    FillRect(dest, 2, 2, 3, 3, colour, opacity, kBlendCopy);
    EXPECT_EQ(At(dest, 3, 3), expected) << opacity;
    EXPECT_EQ(At(dest, 1, 3), old);
  }
}

TEST_F(BlendTest, OpaqueFillStoresTheColourWithItsAlpha) {
  FillAll(dest, 0);
  FillRect(dest, 0, 0, 8, 6, MakePixel(7, 1, 2, 3), 1.0f, kBlendCopy);
  EXPECT_EQ(At(dest, 7, 5), MakePixel(7, 1, 2, 3));
}

TEST_F(BlendTest, FillIsClippedAndNothingDrawsAtZeroOpacity) {
  FillAll(dest, 0);
  FillRect(dest, -2, -1, 4, 3, 0xffffffffu, 1.0f, kBlendCopy);
  EXPECT_EQ(At(dest, 1, 1), 0xffffffffu);
  EXPECT_EQ(At(dest, 2, 1), 0u);
  EXPECT_EQ(At(dest, 1, 2), 0u);
  FillRect(dest, 8, 0, 5, 5, 0xffffffffu, 1.0f, kBlendCopy);
  FillRect(dest, 0, 0, 8, 6, 0xffffffffu, 0.0f, kBlendCopy);
  FillRect(dest, 0, 0, 8, 6, 0xffffffffu, std::nanf(""), kBlendCopy);
  FillRect(dest, 0, 0, 8, 6, 0x00ffffffu, 1.0f, kSourceAlphaCopy);
  FillRect(dest, 0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff, 0xffffffffu, 1.0f, kBlendCopy);
  EXPECT_EQ(At(dest, 3, 3), 0u);
  EXPECT_EQ(At(dest, 7, 5), 0u);
}

TEST_F(BlendTest, SourceAlphaBlitSkipsTransparentAndReplacesOpaquePixels) {
  FillAll(dest, MakePixel(10, 1, 2, 3));
  src.Row(0)[0] = MakePixel(0, 200, 200, 200);
  src.Row(0)[1] = MakePixel(255, 40, 50, 60);
  Blit(dest, src, 0, 0, 0, 0, 2, 1, 1.0f, kSourceAlphaCopy);
  EXPECT_EQ(At(dest, 0, 0), MakePixel(10, 1, 2, 3));
  EXPECT_EQ(At(dest, 1, 0), MakePixel(255, 40, 50, 60));
}

TEST_F(BlendTest, QuarterOpacityBlitOfOpaquePixelAddsSixtyFourAlpha) {
  FillAll(dest, MakePixel(100, 0, 100, 200));
  FillAll(src, MakePixel(255, 255, 255, 0));
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 0.25f, kSourceAlphaCopy);
  const Pixel p = At(dest, 4, 4);
  EXPECT_EQ(PixelAlpha(p), 164);
  EXPECT_EQ(PixelRed(p), 255 + (0 - 255) * 192 / 256);
  EXPECT_EQ(PixelGreen(p), 255 + (100 - 255) * 192 / 256);
  EXPECT_EQ(PixelBlue(p), 0 + 200 * 192 / 256);
  FillAll(dest, MakePixel(230, 0, 0, 0));
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 0.25f, kSourceAlphaCopy);
  EXPECT_EQ(PixelAlpha(At(dest, 0, 0)), 255);
}

// Partly transparent source pixels, worked out by hand: at full opacity
// k = s and the colours move by (255 - s) / 256; otherwise k = a * (s + 1) / 256
// and they move by (256 - k) / 256. Every pixel of a row gets the same, so
// runs of any length and their ends are covered.
TEST_F(BlendTest, SourceAlphaBlitOfPartlyTransparentPixels) {
  const Pixel old = MakePixel(40, 200, 10, 90);
  const struct {
    float opacity;
    Pixel source, expected;
  } cases[] = {
      {1.0f, MakePixel(100, 20, 240, 90), MakePixel(140, 128, 101, 90)},
      {0.77f, MakePixel(100, 20, 240, 90), MakePixel(117, 145, 80, 90)},  // a = 197, k = 77
      {0.25f, MakePixel(255, 20, 240, 90), MakePixel(104, 155, 68, 90)},  // k = 64
  };
  for (const auto& c : cases) {
    FillAll(dest, old);
    FillAll(src, c.source);
    Blit(dest, src, 0, 0, 0, 0, 8, 6, c.opacity, kSourceAlphaCopy);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) ASSERT_EQ(At(dest, x, y), c.expected) << c.opacity << " at " << x << "," << y;
    }
  }
  FillAll(dest, MakePixel(250, 200, 10, 90));
  FillAll(src, MakePixel(1, 20, 240, 90));
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 1.0f, kSourceAlphaCopy);
  EXPECT_EQ(At(dest, 7, 5), MakePixel(251, 198, 12, 90));
}

// The wide path takes four pixels at a time; it must give every pixel the
// one-by-one rule gives, whatever the row length and the mix of alphas.
TEST(SourceAlphaRowTest, WidePathEqualsThePixelRule) {
  std::mt19937 rng(21);
  for (float opacity : {1.0f, 0.25f, 0.5f, 0.77f, 0.004f}) {
    const int a = OpacityToAlpha(opacity);
    for (int n = 0; n < 14; ++n) {
      std::vector<Pixel> source(static_cast<size_t>(n)), wide(source), narrow(source);
      for (int i = 0; i < n; ++i) {
        const Pixel alpha = std::array<Pixel, 4>{0u, 255u, Pixel(rng() & 0xff), 1u}[rng() % 4];
        source[size_t(i)] = (Pixel(rng()) & 0x00ffffffu) | alpha << 24;
        wide[size_t(i)] = narrow[size_t(i)] = Pixel(rng());
      }
      SourceAlphaRow(wide.data(), source.data(), n, a);
      for (int i = 0; i < n; ++i) narrow[size_t(i)] = SourceAlphaPixel(narrow[size_t(i)], source[size_t(i)], a);
      ASSERT_EQ(wide, narrow) << opacity << " n=" << n;
    }
  }
}

TEST_F(BlendTest, PlainBlitCopiesHalvesOrMixes) {
  FillAll(dest, 0xffffffffu);
  FillAll(src, 0xffffffffu);
  Blit(dest, src, 0, 0, 0, 0, 4, 6, 0.5f, kBlendCopy);     // per byte old/2 + src/2
  Blit(dest, src, 4, 0, 4, 0, 4, 6, 0.501f, kBlendCopy);   // a = 128 but the formula
  EXPECT_EQ(At(dest, 0, 0), 0xfefefefeu);
  EXPECT_EQ(At(dest, 4, 0), 0xffffffffu);
  std::mt19937 rng(3);
  test::FillPattern(src, rng());
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 1.0f, kBlendCopy);
  EXPECT_EQ(test::Snapshot(dest), test::Snapshot(src));
  FillAll(dest, MakePixel(200, 10, 250, 0));
  FillAll(src, MakePixel(50, 255, 0, 128));
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 0.3f, kBlendCopy);
  EXPECT_EQ(At(dest, 5, 5), MakePixel(155, 83, 175, 38));  // as the fill at a = 76
}

TEST_F(BlendTest, BlitClipsBothRectangles) {
  test::FillPattern(src, 9);
  FillAll(dest, 0);
  // Destination above and left of the bitmap: the source start shifts.
  Blit(dest, src, -2, -1, 0, 0, 8, 6, 1.0f, kBlendCopy);
  EXPECT_EQ(At(dest, 0, 0), At(src, 2, 1));
  EXPECT_EQ(At(dest, 5, 4), At(src, 7, 5));
  EXPECT_EQ(At(dest, 6, 4), 0u);
  EXPECT_EQ(At(dest, 5, 5), 0u);
  // Source rect starting outside the source keeps the mapping.
  FillAll(dest, 0);
  Blit(dest, src, 3, 3, -1, -1, 3, 3, 1.0f, kBlendCopy);
  EXPECT_EQ(At(dest, 3, 3), 0u);
  EXPECT_EQ(At(dest, 4, 4), At(src, 0, 0));
  EXPECT_EQ(At(dest, 5, 5), At(src, 1, 1));
  // Entirely outside, extreme values, empty source.
  FillAll(dest, 0);
  Blit(dest, src, 8, 0, 0, 0, 8, 6, 1.0f, kBlendCopy);
  Blit(dest, src, 0, 0, 8, 0, 8, 6, 1.0f, kBlendCopy);
  Blit(dest, src, -0x7fffffff, 0x7fffffff, 0x7fffffff, -0x7fffffff, 0x7fffffff, 0x7fffffff, 1.0f, kBlendCopy);
  MemBitmap empty;
  Blit(dest, empty, 0, 0, 0, 0, 8, 6, 1.0f, kBlendCopy);
  EXPECT_EQ(test::Snapshot(dest), std::vector<Pixel>(48, 0u));
}

TEST_F(BlendTest, BlitOntoItselfReadsTheOriginalPixels) {
  test::FillPattern(dest, 4);
  MemBitmap original(8, 6);
  Blit(original, dest, 0, 0, 0, 0, 8, 6, 1.0f, kBlendCopy);
  Blit(dest, dest, 1, 1, 0, 0, 7, 5, 1.0f, kBlendCopy);
  for (int y = 1; y < 6; ++y) {
    for (int x = 1; x < 8; ++x) EXPECT_EQ(At(dest, x, y), At(original, x - 1, y - 1));
  }
}

TEST_F(BlendTest, PutPixelIgnoresOutsidePointsAndTheSourceAlphaBit) {
  FillAll(dest, MakePixel(255, 200, 200, 200));
  PutPixel(dest, 1, 1, MakePixel(0, 10, 20, 30), 1.0f, kSourceAlphaCopy);
  EXPECT_EQ(At(dest, 1, 1), MakePixel(0, 10, 20, 30));
  PutPixel(dest, 2, 1, MakePixel(255, 0, 0, 0), 0.5f, kBlendCopy);
  EXPECT_EQ(At(dest, 2, 1), MakePixel(254, 100, 100, 100));  // the halving shortcut
  const auto before = test::Snapshot(dest);
  for (auto [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{8, 0}, std::pair{0, 6}}) {
    PutPixel(dest, x, y, 0u, 1.0f, kBlendCopy);
  }
  EXPECT_EQ(test::Snapshot(dest), before);
}

TEST_F(BlendTest, AddSaturatesAndDodgeBrightens) {
  FillAll(dest, MakePixel(255, 200, 100, 0));
  FillRect(dest, 0, 0, 1, 1, MakePixel(255, 100, 100, 100), 1.0f, kBlendAdd);
  EXPECT_EQ(At(dest, 0, 0), MakePixel(255, 255, 200, 100));
  FillRect(dest, 1, 0, 1, 1, MakePixel(255, 128, 0, 255), 1.0f, kBlendDodge);
  EXPECT_EQ(At(dest, 1, 0), MakePixel(255, 255, 100, 0));
}

}  // namespace
}  // namespace velmora
