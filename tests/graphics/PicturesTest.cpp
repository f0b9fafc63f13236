// The editor's pictures as the module embeds them (resources/img/Pictures.cmake):
// sizes, frames and colour types, and the places where the background must
// meet what the controls draw over it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "framework/graphics/raster/ImageLoader.h"
#include "framework/graphics/raster/Resources.h"

namespace velmora {
namespace {

struct ExpectedPicture {
  int id;
  const char* name;
  int width, height, frames;
  bool alpha;
};

constexpr ExpectedPicture kPictures[] = {
    {102, "resources/img/bg.png", 964, 709, 1, false},
    {104, "resources/img/KEY_WHITE.png", 21, 534, 6, true},
    {105, "resources/img/KEY_BLACK.png", 21, 44, 1, true},
    {119, "resources/img/NEW_MELODY.png", 78, 630, 2, true},
    {124, "resources/img/Left.png", 57, 116, 2, true},
    {125, "resources/img/Right.png", 57, 116, 2, true},
    {130, "resources/img/Clear_Notes.png", 84, 118, 2, true},
    {131, "resources/img/Loose_Matches.png", 100, 515, 5, true},
    {132, "resources/img/Clear_Grid.png", 78, 96, 2, true},
    {133, "resources/img/Grid_Oct_Up.png", 29, 58, 2, true},
    {134, "resources/img/Grid_Oct_Down.png", 29, 58, 2, true},
    {135, "resources/img/inversion_control_0.png", 20, 40, 2, false},
    {136, "resources/img/inversion_control_1.png", 21, 40, 2, false},
    {137, "resources/img/inversion_control_2.png", 21, 40, 2, false},
    {138, "resources/img/inversion_control_3.png", 20, 40, 2, false},
    {139, "resources/img/inversion_control_4.png", 20, 40, 2, false},
    {140, "resources/img/inversion_control_5.png", 22, 40, 2, false},
    {141, "resources/img/RECORD.png", 22, 40, 2, true},
    {142, "resources/img/DRAG.png", 36, 17, 1, true},
    {143, "resources/img/DRAG_DIM.png", 36, 17, 1, true},
    {144, "resources/img/GRID_DRAG.png", 20, 40, 2, true},
};

constexpr Pixel kEmptyDark = MakePixel(255, 34, 34, 30);

std::uint32_t BigEndian(const unsigned char* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::unique_ptr<MemBitmap> Picture(int id) {
  for (const ExpectedPicture& p : kPictures) {
    if (p.id == id) return LoadBitmapResource(id, p.name);
  }
  return nullptr;
}

Pixel At(const RasterBitmap& b, int x, int y) { return b.Row(y)[x]; }
bool IsLight(Pixel p) { return PixelRed(p) > 200 && PixelGreen(p) > 200 && PixelBlue(p) > 200; }
bool IsBlue(Pixel p) { return PixelAlpha(p) == 255 && PixelBlue(p) > 190 && PixelRed(p) < 110; }

class Background : public ::testing::Test {
 protected:
  void SetUp() override {
    bg_ = Picture(102);
    ASSERT_NE(bg_, nullptr);
    ASSERT_EQ(bg_->Width(), 964);
  }
  Pixel At(int x, int y) const { return bg_->Row(y)[x]; }
  // Every pixel of the inclusive box (x0..x1, y0..y1) that is not the empty
  // dark lies inside the inclusive box of the arrow the control draws there.
  void ExpectDarkBesideArrow(int x0, int y0, int x1, int y1, int ax0, int ay0, int ax1, int ay1) const {
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        if (x >= ax0 && x <= ax1 && y >= ay0 && y <= ay1) continue;
        ASSERT_EQ(At(x, y), kEmptyDark) << "at " << x << ", " << y;
      }
    }
  }
  std::unique_ptr<MemBitmap> bg_;
};

TEST(Pictures, EveryPictureHasTheSizeFramesAndColourTypeOfTheTable) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a};
  for (const ExpectedPicture& p : kPictures) {
    SCOPED_TRACE(p.name);
    const ResourceBytes bytes = FindResource(p.id);
    ASSERT_FALSE(bytes.Empty());
    EXPECT_STREQ(bytes.name, p.name);
    ASSERT_GT(bytes.size, 33u);
    ASSERT_EQ(std::memcmp(bytes.data, kSignature, 8), 0);
    ASSERT_EQ(std::memcmp(bytes.data + 12, "IHDR", 4), 0);
    EXPECT_EQ(BigEndian(bytes.data + 16), std::uint32_t(p.width));
    EXPECT_EQ(BigEndian(bytes.data + 20), std::uint32_t(p.height));
    EXPECT_EQ(bytes.data[24], 8);                // bit depth
    EXPECT_EQ(bytes.data[25], p.alpha ? 6 : 2);  // RGBA or RGB
    EXPECT_EQ(p.height % p.frames, 0);
    // And the editor's loader takes it.
    const std::unique_ptr<MemBitmap> image = LoadBitmapResource(p.id, p.name);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), p.width);
    EXPECT_EQ(image->Height(), p.height);
  }
}

// Each picture is drawn at 2x too, under its id + 2000, frame for frame
// twice as large, so that the editor shows it sharp at 200 % and shrinks it
// for the scales between.
TEST(Pictures, EveryPictureHasADrawingAtTwiceItsSize) {
  for (const ExpectedPicture& p : kPictures) {
    SCOPED_TRACE(p.name);
    const std::string file = std::string(p.name).substr(std::string("resources/img/").size());
    const ResourceBytes bytes = FindResource(ScaledPictureId(p.id, 200));
    ASSERT_FALSE(bytes.Empty());
    EXPECT_EQ(std::string(bytes.name), "resources/img/2x/" + file);
    ASSERT_GT(bytes.size, 33u);
    EXPECT_EQ(BigEndian(bytes.data + 16), std::uint32_t(2 * p.width));
    EXPECT_EQ(BigEndian(bytes.data + 20), std::uint32_t(2 * p.height));
    EXPECT_EQ(bytes.data[25], p.alpha ? 6 : 2);
    EXPECT_NE(LoadBitmapResource(ScaledPictureId(p.id, 200), "x.png"), nullptr);
  }
}

// An empty row paints its inner rectangle (625..953, T + 2..T + 31) in the
// empty dark; the background's play triangle must sit inside the triangle a
// sounding row draws (931..942, T + 11..T + 22) so that both cover it.
TEST_F(Background, ListRowsAreEmptyDarkAroundThePlayTriangle) {
  for (int i = 0; i < 20; ++i) {
    SCOPED_TRACE(i);
    const int t = 7 + 33 * i;
    ExpectDarkBesideArrow(625, t + 2, 953, t + 31, 931, t + 11, 942, t + 22);
    EXPECT_TRUE(IsLight(At(934, t + 16))) << std::hex << At(934, t + 16);
    EXPECT_TRUE(IsLight(At(934, t + 17)));
  }
}

// An empty cell fills its two arrow rectangles with the empty dark; the
// arrows must lie inside the triangles a locked or sounding cell draws.
TEST_F(Background, GridCellArrowAreasAreEmptyDarkAroundTheArrows) {
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE(i);
    const int l = 17 + (i % 4) * 94, t = 316 + (3 - i / 4) * 94;
    ExpectDarkBesideArrow(l + 18, t + 54, l + 38, t + 74, l + 23, t + 59, l + 34, t + 70);
    ExpectDarkBesideArrow(l + 54, t + 54, l + 74, t + 74, l + 59, t + 59, l + 70, t + 70);
    EXPECT_TRUE(IsLight(At(l + 31, t + 64)));
    EXPECT_TRUE(IsLight(At(l + 62, t + 65)));
  }
}

// The marked-key blocks land at x = 86 + 21w (white, rows 119..162) and at
// the black-key offsets (rows 74..117): the keys must be right there, drawn
// as a piano: white keys down both rows, black bodies in the rings' holes.
TEST_F(Background, KeysSitUnderTheHighlightBlocks) {
  auto isPlate = [](Pixel p) { return PixelRed(p) < 40; };
  for (int w = 3; w <= 16; ++w) {
    SCOPED_TRACE(w);
    const int x = 86 + 21 * w;
    EXPECT_GT(PixelRed(At(x + 10, 140)), 170);
    EXPECT_GT(PixelRed(At(x + 10, 120)), 170);
    EXPECT_GT(PixelRed(At(x + 10, 161)), 120);
    EXPECT_TRUE(isPlate(At(x + 20, 140)));
    EXPECT_TRUE(isPlate(At(x + 10, 164)));
  }
  for (int x : {159, 180, 201, 243, 265, 306, 327, 348, 390, 412}) {
    SCOPED_TRACE(x);
    EXPECT_LT(PixelRed(At(x + 10, 96)), 60);  // the black body
    EXPECT_LT(PixelRed(At(x + 10, 75)), 60);
    EXPECT_GT(PixelRed(At(x + 1, 96)), 170);  // white keys beside it
    EXPECT_GT(PixelRed(At(x + 18, 96)), 170);
    EXPECT_TRUE(isPlate(At(x + 10, 72)));
  }
  // No black key between E and F or B and C.
  EXPECT_GT(PixelRed(At(228, 96)), 170);
  EXPECT_GT(PixelRed(At(375, 96)), 170);
}

TEST_F(Background, ListOctaveArrowsAreInTheirRectangles) {
  EXPECT_TRUE(IsLight(At(701, 683)));
  EXPECT_TRUE(IsLight(At(736, 683)));
  // The number between them is the control's.
  for (int y = 676; y < 697; ++y) {
    for (int x = 714; x < 726; ++x) EXPECT_FALSE(IsLight(At(x, y))) << x << ", " << y;
  }
}

// Opaque switches replace their whole rectangle: their edges must be the
// background's own pixels, or every switch would show a frame.
TEST_F(Background, InversionSwitchesBlendIntoTheBackground) {
  const int lefts[6] = {469, 489, 510, 531, 551, 572};
  for (int i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const std::unique_ptr<MemBitmap> sw = Picture(135 + i);
    ASSERT_NE(sw, nullptr);
    const int w = sw->Width();
    for (int f = 0; f < 2; ++f) {
      for (int x = 0; x < w; ++x) {
        EXPECT_EQ(velmora::At(*sw, x, f * 20), At(lefts[i] + x, 223));
        EXPECT_EQ(velmora::At(*sw, x, f * 20 + 19), At(lefts[i] + x, 242));
      }
      for (int y = 0; y < 20; ++y) {
        EXPECT_EQ(velmora::At(*sw, 0, f * 20 + y), At(lefts[i], 223 + y));
        EXPECT_EQ(velmora::At(*sw, w - 1, f * 20 + y), At(lefts[i] + w - 1, 223 + y));
      }
    }
    EXPECT_FALSE(IsBlue(velmora::At(*sw, w / 2, 10)));
    EXPECT_TRUE(IsBlue(velmora::At(*sw, w / 2, 30)));
  }
}

// KEY_WHITE frames are drawn over the whole key height: the upper 45 rows
// must stay clear, the block fill the lower 44 in columns 0..19.
TEST(KeyPictures, WhiteFramesAreClearAboveAndBlueBelow) {
  const std::unique_ptr<MemBitmap> white = Picture(104);
  ASSERT_NE(white, nullptr);
  for (int f = 0; f < 6; ++f) {
    SCOPED_TRACE(f);
    const int top = f * 89;
    for (int y = 0; y < 45; ++y) {
      for (int x = 0; x < 21; ++x) ASSERT_EQ(PixelAlpha(At(*white, x, top + y)), 0) << x << ", " << y;
    }
    for (int y = 45; y < 89; ++y) {
      EXPECT_EQ(PixelAlpha(At(*white, 20, top + y)), 0);
      EXPECT_TRUE(IsBlue(At(*white, 10, top + y))) << y;
    }
    for (int x = 0; x < 20; ++x) EXPECT_TRUE(IsBlue(At(*white, x, top + 67))) << x;
    EXPECT_LT(PixelAlpha(At(*white, 0, top + 45)), 255);  // rounded corner
  }
}

TEST(KeyPictures, BlackBlockCoversTheBlackBody) {
  const std::unique_ptr<MemBitmap> black = Picture(105);
  ASSERT_NE(black, nullptr);
  for (int y = 0; y < 44; ++y) {
    EXPECT_EQ(PixelAlpha(At(*black, 1, y)), 0);
    EXPECT_EQ(PixelAlpha(At(*black, 19, y)), 0);
    EXPECT_EQ(PixelAlpha(At(*black, 10, y)), 255) << y;
  }
  for (int x = 5; x < 15; ++x) EXPECT_GT(PixelBlue(At(*black, x, 22)), PixelRed(At(*black, x, 22)) + 60) << x;
}

// Frame 2 is what a press or a switched-on state shows; it must differ.
TEST(SwitchPictures, SecondFramesShowTheOtherState) {
  const std::unique_ptr<MemBitmap> record = Picture(141);
  ASSERT_NE(record, nullptr);
  const Pixel off = At(*record, 11, 10), on = At(*record, 11, 30);
  EXPECT_GT(PixelRed(on), 200);
  EXPECT_LT(PixelRed(off), 150);
  EXPECT_GT(PixelRed(off), 2 * PixelGreen(off));

  for (int id : {133, 134}) {
    const std::unique_ptr<MemBitmap> sign = Picture(id);
    ASSERT_NE(sign, nullptr);
    EXPECT_TRUE(IsLight(At(*sign, 14, 14)));
    EXPECT_EQ(PixelAlpha(At(*sign, 14, 14)), 255);
    EXPECT_LT(PixelAlpha(At(*sign, 14, 43)), 160);
  }

  const std::unique_ptr<MemBitmap> drag = Picture(142), dim = Picture(143);
  ASSERT_NE(drag, nullptr);
  ASSERT_NE(dim, nullptr);
  int brightest = 0, brightestDim = 0;
  for (int y = 0; y < 17; ++y) {
    for (int x = 0; x < 36; ++x) {
      if (PixelAlpha(At(*drag, x, y)) == 255) brightest = std::max(brightest, PixelRed(At(*drag, x, y)));
      if (PixelAlpha(At(*dim, x, y)) == 255) brightestDim = std::max(brightestDim, PixelRed(At(*dim, x, y)));
    }
  }
  EXPECT_GT(brightest, 180);
  EXPECT_LT(brightestDim, 130);
}

}  // namespace
}  // namespace velmora
