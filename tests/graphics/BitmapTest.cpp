#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "framework/graphics/EditorScale.h"
#include "framework/graphics/raster/ImageScale.h"
#include "framework/graphics/raster/MemBitmap.h"
#include "framework/graphics/raster/SysBitmap.h"

namespace velmora {
namespace {

bool Aligned64(const void* p) { return (reinterpret_cast<std::uintptr_t>(p) & 63u) == 0; }

TEST(MemBitmap, RowsAreRoundedToFourPixelsAndBitsTo64Bytes) {
  const int widths[] = {1, 3, 4, 5, 8, 9, 963, 964};
  const int spans[] = {4, 4, 4, 8, 8, 12, 964, 964};
  for (int i = 0; i < 8; ++i) {
    MemBitmap bitmap(widths[i], 3);
    EXPECT_EQ(bitmap.RowSpan(), spans[i]) << widths[i];
    EXPECT_TRUE(Aligned64(bitmap.Bits())) << widths[i];
    EXPECT_EQ(bitmap.Row(2), bitmap.Bits() + 2 * spans[i]);
  }
}

TEST(MemBitmap, GrowsWithHeadroomAndNeverShrinks) {
  MemBitmap bitmap;
  EXPECT_EQ(bitmap.Bits(), nullptr);
  EXPECT_TRUE(bitmap.Resize(10, 10));  // 12 * 10 * 4 = 480 bytes needed
  EXPECT_EQ(bitmap.AllocatedBytes(), 480u * 5 / 4);
  EXPECT_FALSE(bitmap.Resize(10, 10));
  EXPECT_TRUE(bitmap.Resize(12, 12));  // 576 bytes fit in 600
  EXPECT_EQ(bitmap.AllocatedBytes(), 600u);
  EXPECT_TRUE(bitmap.Resize(2, 2));
  EXPECT_EQ(bitmap.AllocatedBytes(), 600u);
  EXPECT_EQ(bitmap.Width(), 2);
  EXPECT_TRUE(bitmap.Resize(20, 20));
  EXPECT_EQ(bitmap.AllocatedBytes(), 1600u * 5 / 4);
  EXPECT_TRUE(Aligned64(bitmap.Bits()));
}

TEST(MemBitmap, ZeroOrNegativeSideFreesTheBuffer) {
  for (auto [w, h] : {std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4}, std::pair{4, -1}}) {
    MemBitmap bitmap(8, 8);
    EXPECT_TRUE(bitmap.Resize(w, h));
    EXPECT_EQ(bitmap.Width(), 0);
    EXPECT_EQ(bitmap.Height(), 0);
    EXPECT_EQ(bitmap.Bits(), nullptr);
    EXPECT_EQ(bitmap.AllocatedBytes(), 0u);
  }
}

TEST(MemBitmap, ImpossibleSizeLeavesAnEmptyBitmap) {
  MemBitmap bitmap(4, 4);
  EXPECT_TRUE(bitmap.Resize(0x7fffffff, 0x7fffffff));
  EXPECT_EQ(bitmap.Width(), 0);
  EXPECT_EQ(bitmap.Height(), 0);
  EXPECT_EQ(bitmap.Bits(), nullptr);
  MemBitmap empty;
  EXPECT_FALSE(empty.Resize(100000, 100000));  // 40 GB: refused, still 0 x 0
  EXPECT_EQ(empty.Width(), 0);
}

TEST(SysBitmap, ShrinkingKeepsTheAllocatedRowSpan) {
  SysBitmap surface(964, 709);
  EXPECT_EQ(surface.RowSpan(), 964);
  EXPECT_TRUE(Aligned64(surface.Bits()));
  Pixel* bits = surface.Bits();
  EXPECT_TRUE(surface.Resize(500, 300));
  EXPECT_EQ(surface.Bits(), bits);
  EXPECT_EQ(surface.Width(), 500);
  EXPECT_EQ(surface.RowSpan(), 964);
  EXPECT_FALSE(surface.Resize(500, 300));
}

TEST(SysBitmap, GrowingReallocatesWithTheWidthRoundedUp) {
  SysBitmap surface(10, 10);
  EXPECT_EQ(surface.AllocatedWidth(), 12);
  EXPECT_TRUE(surface.Resize(13, 5));
  EXPECT_EQ(surface.AllocatedWidth(), 16);
  EXPECT_EQ(surface.AllocatedHeight(), 5);
  EXPECT_EQ(surface.RowSpan(), 16);
  EXPECT_NE(surface.Bits(), nullptr);
  EXPECT_EQ(surface.DeviceContext(), nullptr);
}

TEST(SysBitmap, EmptyOrImpossibleSizeHasNoBits) {
  SysBitmap surface(8, 8);
  EXPECT_TRUE(surface.Resize(0, 8));
  EXPECT_EQ(surface.Bits(), nullptr);
  EXPECT_EQ(surface.Width(), 0);
  EXPECT_FALSE(surface.Resize(0x7fffffff, 0x7fffffff));
  EXPECT_EQ(surface.Bits(), nullptr);
  EXPECT_EQ(surface.Height(), 0);
}

}  // namespace
}  // namespace velmora

namespace velmora {
namespace {

// Two frames of 4 x 2: frame 0 opaque red on its left half and clear on its
// right, frame 1 opaque blue.
std::unique_ptr<MemBitmap> TwoFrames() {
  auto b = std::make_unique<MemBitmap>(4, 4);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) b->Row(y)[x] = y >= 2 ? MakePixel(255, 0, 0, 255) : x < 2 ? MakePixel(255, 255, 0, 0) : 0;
  }
  return b;
}

TEST(FrameResampling, ShrinkingAveragesByAlphaAndKeepsFramesApart) {
  const std::unique_ptr<MemBitmap> frames = TwoFrames();
  const MemBitmap& source = *frames;
  const std::unique_ptr<MemBitmap> out = ShrinkFrames(source, 2, 2, 1);
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->Width(), 2);
  ASSERT_EQ(out->Height(), 2);
  EXPECT_EQ(out->Row(0)[0], MakePixel(255, 255, 0, 0));
  EXPECT_EQ(out->Row(0)[1], 0u);  // clear stays clear, not dark
  EXPECT_EQ(out->Row(1)[0], MakePixel(255, 0, 0, 255));  // no red from the frame above
  // Half covered: half the alpha, the colour of what covers it.
  const std::unique_ptr<MemBitmap> one = ShrinkFrames(source, 2, 1, 1);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->Row(0)[0], MakePixel(128, 255, 0, 0));
  EXPECT_EQ(ShrinkFrames(source, 3, 2, 1), nullptr);  // 4 rows are not 3 frames
  EXPECT_EQ(ShrinkFrames(source, 2, 0, 1), nullptr);
}

TEST(FrameResampling, NearestMakesEachPixelItsBlockAsTheEditorScales) {
  const std::unique_ptr<MemBitmap> frames = TwoFrames();
  const MemBitmap& source = *frames;
  const std::unique_ptr<MemBitmap> out = NearestFrames(source, 2, 150);
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->Width(), ScaleCoordinate(4, 150));
  ASSERT_EQ(out->Height(), 2 * ScaleCoordinate(2, 150));
  for (int y = 0; y < out->Height(); ++y) {
    const int frame = y / ScaleCoordinate(2, 150);
    const int sy = frame * 2 + LayoutCoordinate(y - frame * ScaleCoordinate(2, 150), 150);
    for (int x = 0; x < out->Width(); ++x) EXPECT_EQ(out->Row(y)[x], source.Row(sy)[LayoutCoordinate(x, 150)]);
  }
}

}  // namespace
}  // namespace velmora
