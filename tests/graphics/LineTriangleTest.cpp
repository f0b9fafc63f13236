#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>
#include <vector>

#include "RasterTestUtil.h"
#include "framework/graphics/raster/LineWalk.h"
#include "framework/graphics/raster/PixelOps.h"

namespace velmora {
namespace {

using test::At;
using test::FillAll;
using Points = std::vector<std::pair<int, int>>;

constexpr Pixel kWhite = 0xffffffffu;
constexpr Pixel kInk = 0xff102030u;

Points Walk(int x1, int y1, int x2, int y2) {
  Points out;
  WalkLine(x1, y1, x2, y2, [&](int x, int y) { out.emplace_back(x, y); });
  return out;
}

Points WalkClipped(int x1, int y1, int x2, int y2, int w, int h) {
  Points out;
  WalkLineClipped(x1, y1, x2, y2, w, h, [&](int x, int y) { out.emplace_back(x, y); });
  return out;
}

// Pixels that differ from the background, row by row.
Points Inked(const RasterBitmap& bitmap, Pixel background) {
  Points out;
  for (int y = 0; y < bitmap.Height(); ++y) {
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (At(bitmap, x, y) != background) out.emplace_back(x, y);
    }
  }
  return out;
}

class LineTest : public ::testing::Test {
 protected:
  void SetUp() override { FillAll(bitmap, 0); }
  MemBitmap bitmap{16, 12};
};

TEST_F(LineTest, HorizontalLineCoversBothEnds) {
  DrawLine(bitmap, 5, 3, 2, 3, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(Inked(bitmap, 0), (Points{{2, 3}, {3, 3}, {4, 3}, {5, 3}}));
}

TEST_F(LineTest, VerticalLineCoversBothEnds) {
  DrawLine(bitmap, 2, 5, 2, 1, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(Inked(bitmap, 0), (Points{{2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}}));
}

TEST_F(LineTest, ShallowLinePlotsFromBothEndsInOrder) {
  const Points expected{{0, 0}, {4, 1}, {1, 0}, {3, 1}, {2, 1}};
  EXPECT_EQ(Walk(0, 0, 4, 1), expected);
  EXPECT_EQ(Walk(4, 1, 0, 0), expected);
  EXPECT_EQ(WalkClipped(0, 0, 4, 1, 16, 12), expected);
  DrawLine(bitmap, 0, 0, 4, 1, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(Inked(bitmap, 0), (Points{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}}));
}

TEST_F(LineTest, OddLengthLinesPlotEveryPixelOnce) {
  // n = 3: two rounds, no final plot.
  EXPECT_EQ(Walk(0, 0, 1, 3), (Points{{0, 0}, {1, 3}, {0, 1}, {1, 2}}));
  for (auto [x2, y2] : {std::pair{7, 3}, std::pair{-5, 2}, std::pair{3, -9}, std::pair{6, 6}}) {
    const Points pts = Walk(0, 0, x2, y2);
    const std::set<std::pair<int, int>> unique(pts.begin(), pts.end());
    EXPECT_EQ(unique.size(), pts.size());
    EXPECT_EQ(int(pts.size()), std::max(std::abs(x2), std::abs(y2)) + 1);
  }
}

TEST_F(LineTest, DiagonalLineHasOnePixelPerRow) {
  DrawLine(bitmap, 4, 4, 1, 1, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(Inked(bitmap, 0), (Points{{1, 1}, {2, 2}, {3, 3}, {4, 4}}));
  FillAll(bitmap, 0);
  DrawLine(bitmap, -3, 14, 3, 8, kInk, 1.0f, kBlendCopy, false);  // clipped at both ends
  EXPECT_EQ(Inked(bitmap, 0), (Points{{3, 8}, {2, 9}, {1, 10}, {0, 11}}));
}

TEST_F(LineTest, StraightLinesTakeShortcutsOnlyAtExactOpacities) {
  struct Case {
    float opacity;
    Pixel expected;
  };
  const Case cases[] = {{0.5f, 0xfefefefeu}, {0.25f, 0xfdfdfdfdu}, {0.75f, 0xfdfdfdfdu}, {0.501f, kWhite},
                        {0.2501f, kWhite}};
  for (const Case& c : cases) {
    FillAll(bitmap, kWhite);
    DrawLine(bitmap, 0, 0, 15, 0, kWhite, c.opacity, kBlendCopy, false);
    DrawLine(bitmap, 0, 2, 0, 11, kWhite, c.opacity, kBlendCopy, false);
    EXPECT_EQ(At(bitmap, 7, 0), c.expected) << c.opacity;
    EXPECT_EQ(At(bitmap, 0, 9), c.expected) << c.opacity;
    EXPECT_EQ(At(bitmap, 7, 1), kWhite);
  }
}

TEST_F(LineTest, LineIgnoresTheSourceAlphaBitAndWritesTheColourAlpha) {
  DrawLine(bitmap, 0, 0, 5, 0, MakePixel(3, 9, 9, 9), 1.0f, kBlendCopy | kBlendUseSourceAlpha, false);
  EXPECT_EQ(At(bitmap, 2, 0), MakePixel(3, 9, 9, 9));
}

TEST_F(LineTest, StraightLinesAreClipped) {
  DrawLine(bitmap, -50, 2, 100, 2, kInk, 1.0f, kBlendCopy, false);
  DrawLine(bitmap, 15, -0x7fffffff, 15, 0x7fffffff, kInk, 1.0f, kBlendCopy, false);
  EXPECT_EQ(Inked(bitmap, 0).size(), 16u + 12u - 1u);
  const auto before = test::Snapshot(bitmap);
  DrawLine(bitmap, 0, -1, 15, -1, kWhite, 1.0f, kBlendCopy, false);
  DrawLine(bitmap, 16, 0, 16, 11, kWhite, 1.0f, kBlendCopy, false);
  DrawLine(bitmap, -5, -5, -1, -1, kWhite, 1.0f, kBlendCopy, false);
  DrawLine(bitmap, -10, -3, -1, -1, kWhite, 1.0f, kBlendCopy, false);
  EXPECT_EQ(test::Snapshot(bitmap), before);
}

TEST_F(LineTest, ClippedWalkKeepsTheVisiblePartOfTheWholeLine) {
  std::mt19937 rng(21);
  std::uniform_int_distribution<int> coord(-40, 40);
  for (int i = 0; i < 3000; ++i) {
    const int x1 = coord(rng), y1 = coord(rng), x2 = coord(rng), y2 = coord(rng);
    Points visible;
    for (auto p : Walk(x1, y1, x2, y2)) {
      if (p.first >= 0 && p.first < 16 && p.second >= 0 && p.second < 12) visible.push_back(p);
    }
    ASSERT_EQ(WalkClipped(x1, y1, x2, y2, 16, 12), visible) << x1 << "," << y1 << " " << x2 << "," << y2;
  }
}

TEST_F(LineTest, FarEndPointsKeepTheVisiblePixelsOfTheWholeLine) {
  Points visible;
  for (auto p : Walk(-1000000, -499995, 1000000, 500005)) {
    if (p.first >= 0 && p.first < 16 && p.second >= 0 && p.second < 12) visible.push_back(p);
  }
  ASSERT_FALSE(visible.empty());
  EXPECT_EQ(WalkClipped(-1000000, -499995, 1000000, 500005, 16, 12), visible);
  // The walk of a line billions of pixels long only visits the bitmap's part.
  DrawLine(bitmap, -2000000000, -1000000000, 2000000000, 1000000007, kInk, 1.0f, kBlendCopy, false);
  EXPECT_FALSE(Inked(bitmap, 0).empty());
}

class TriangleTest : public ::testing::Test {
 protected:
  void SetUp() override { FillAll(bitmap, 0); }
  MemBitmap bitmap{8, 8};
};

TEST_F(TriangleTest, RightTriangleCoversItsEdges) {
  FillTriangle(bitmap, 1, 1, 6, 1, 1, 6, kInk, 1.0f, kBlendCopy);
  Points expected;
  for (int y = 1; y <= 6; ++y) {
    for (int x = 1; x <= 7 - y; ++x) expected.emplace_back(x, y);
  }
  EXPECT_EQ(Inked(bitmap, 0), expected);
  EXPECT_EQ(At(bitmap, 1, 1), kInk);
}

TEST_F(TriangleTest, EveryRowIsBlendedOnce) {
  FillAll(bitmap, kWhite);
  FillTriangle(bitmap, 0, 0, 7, 3, 2, 7, kWhite, 0.5f, kBlendCopy);
  const Points inked = Inked(bitmap, kWhite);
  EXPECT_GE(inked.size(), 20u);
  for (auto [x, y] : inked) EXPECT_EQ(At(bitmap, x, y), 0xfefefefeu) << x << "," << y;
  for (auto [x, y] : {std::pair{0, 0}, std::pair{7, 3}, std::pair{2, 7}}) EXPECT_NE(At(bitmap, x, y), kWhite);
}

TEST_F(TriangleTest, FlatTriangleIsOneSpan) {
  FillTriangle(bitmap, 1, 2, 5, 2, 3, 2, kInk, 1.0f, kBlendCopy);
  EXPECT_EQ(Inked(bitmap, 0), (Points{{1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}}));
}

TEST_F(TriangleTest, IsClippedToTheBitmap) {
  FillTriangle(bitmap, -100, -100, 100, -100, 0, 100, kInk, 1.0f, kBlendCopy);
  EXPECT_EQ(At(bitmap, 4, 4), kInk);
  EXPECT_EQ(At(bitmap, 0, 7), kInk);
  FillAll(bitmap, 0);
  FillTriangle(bitmap, 20, 0, 30, 0, 25, 7, kInk, 1.0f, kBlendCopy);
  FillTriangle(bitmap, 0, -10, 7, -10, 3, -1, kInk, 1.0f, kBlendCopy);
  FillTriangle(bitmap, 0, 0, 7, 0, 0x7fffffff, 7, kInk, 1.0f, kBlendCopy);  // beyond the coordinate limit
  EXPECT_TRUE(Inked(bitmap, 0).empty());
}

}  // namespace
}  // namespace velmora
