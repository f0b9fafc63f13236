#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "RasterTestUtil.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora {
namespace {

using test::At;
using test::FillAll;

constexpr int kSourceAlphaCopy = kBlendCopy | kBlendUseSourceAlpha;

// The blending rules written out channel by channel.
int Channel(Pixel p, int shift) { return int((p >> shift) & 0xff); }

Pixel ReferenceCopy(Pixel old, Pixel src, int a) {
  Pixel out = 0;
  for (int shift : {0, 8, 16, 24}) {
    const int o = Channel(old, shift), s = Channel(src, shift);
    out |= Pixel((o - s) * (256 - a) / 256 + s) << shift;
  }
  return out;
}

Pixel ReferenceSourceAlpha(Pixel old, Pixel src, int a) {
  const int s = Channel(src, 24);
  if (s == 0) return old;
  if (a == 256 && s == 255) return src | 0xff000000u;
  const int k = a == 256 ? s : a * (s + 1) / 256;
  const int weight = a == 256 ? 255 - s : 256 - k;
  Pixel out = Pixel(std::min(Channel(old, 24) + k, 255)) << 24;
  for (int shift : {0, 8, 16}) {
    const int o = Channel(old, shift), c = Channel(src, shift);
    out |= Pixel(c + (o - c) * weight / 256) << shift;
  }
  return out;
}

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

TEST_F(BlendTest, FillAtOtherOpacitiesUsesTheCopyFormula) {
  std::mt19937 rng(5);
  for (float opacity : {0.1f, 0.3f, 0.6f, 0.9f, 0.999f}) {
    const Pixel old = rng(), colour = rng();
    FillAll(dest, old);
    FillRect(dest, 2, 2, 3, 3, colour, opacity, kBlendCopy);
    EXPECT_EQ(At(dest, 3, 3), ReferenceCopy(old, colour, int(opacity * 256))) << opacity;
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

TEST_F(BlendTest, SourceAlphaBlitMatchesTheRulesAtEveryOpacity) {
  std::mt19937 rng(11);
  for (float opacity : {1.0f, 0.25f, 0.5f, 0.1f, 0.77f}) {
    test::FillPattern(dest, rng());
    test::FillPattern(src, rng());
    src.Row(0)[0] &= 0x00ffffffu;  // alpha 0
    src.Row(0)[1] |= 0xff000000u;  // alpha 255
    const auto before = test::Snapshot(dest);
    Blit(dest, src, 0, 0, 0, 0, 8, 6, opacity, kSourceAlphaCopy);
    for (int i = 0; i < 48; ++i) {
      const int x = i % 8, y = i / 8;
      EXPECT_EQ(At(dest, x, y), ReferenceSourceAlpha(before[i], At(src, x, y), OpacityToAlpha(opacity)))
          << opacity << " at " << x << "," << y;
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
  test::FillPattern(dest, rng());
  const auto before = test::Snapshot(dest);
  Blit(dest, src, 0, 0, 0, 0, 8, 6, 0.3f, kBlendCopy);
  EXPECT_EQ(At(dest, 5, 5), ReferenceCopy(before[45], At(src, 5, 5), int(0.3f * 256)));
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
