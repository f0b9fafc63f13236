// Redraw protocol and drawing operations on the surface.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

using ::testing::ElementsAre;

// A control that draws with a given function.
class FnControl : public IControl {
 public:
  FnControl(IPluginBase* plugin, const Rect& rect, std::function<void(IGraphics&)> draw)
      : IControl(plugin, rect), mDraw(std::move(draw)) {}
  bool Draw(IGraphics& graphics) override {
    mDraw(graphics);
    return true;
  }

 private:
  std::function<void(IGraphics&)> mDraw;
};

class DrawTest : public ::testing::Test, public EditorFixtureBase {
 protected:
  DrawTest() { graphics->CreateSurfaces(); }

  void FillSurface(Pixel p) {
    for (int y = 0; y < 150; ++y) std::fill_n(graphics->DrawingSurface()->Row(y), 200, p);
  }
  // Runs draw inside a pass over area, as a control would.
  void DrawIn(const Rect& area, std::function<void(IGraphics&)> draw) {
    Add<FnControl>(area, std::move(draw));
    graphics->DrawArea(area);
  }
};

TEST_F(DrawTest, StrictDrawingIncludesAreaRightAndBottomEdgesOnly) {
  const Rect area(20, 20, 40, 40);
  auto* atRight = Add<RecordingControl>(Rect(40, 25, 50, 30));   // left == area.right: drawn
  auto* atLeft = Add<RecordingControl>(Rect(10, 25, 20, 30));    // right == area.left: not drawn
  auto* atBottom = Add<RecordingControl>(Rect(25, 40, 30, 50));  // top == area.bottom: drawn
  auto* atTop = Add<RecordingControl>(Rect(25, 10, 30, 20));     // bottom == area.top: not drawn
  auto* hidden = Add<RecordingControl>(Rect(25, 25, 30, 30));
  hidden->SetHidden(true);
  EXPECT_TRUE(graphics->DrawArea(area));
  EXPECT_EQ(atRight->draws + atBottom->draws, 2);
  EXPECT_EQ(atLeft->draws + atTop->draws + hidden->draws, 0);
  for (auto* c : {atRight, atLeft, atBottom, atTop}) EXPECT_FALSE(c->IsDirty());
  EXPECT_THAT(graphics->PaintedRects(), ElementsAre(area));
}

TEST_F(DrawTest, TimerTickDrawsDirtyUnionAndRequestedRedrawTwice) {
  auto* a = Add<RecordingControl>(Rect(10, 10, 20, 20), EditorFakePlugin::kGain);
  Add<RecordingControl>(Rect(50, 5, 60, 15))->SetTargetRect(Rect(0, 0, 200, 150));
  EXPECT_TRUE(graphics->OnTimerTick());
  EXPECT_THAT(graphics->PaintedRects(), ElementsAre(Rect(10, 5, 60, 20)));
  EXPECT_FALSE(graphics->OnTimerTick());
  a->ValueFromPlugin(0.2);  // first value: no redraw
  EXPECT_FALSE(graphics->OnTimerTick());
  a->ValueFromPlugin(0.3);
  EXPECT_TRUE(graphics->OnTimerTick());
  EXPECT_TRUE(graphics->OnTimerTick());
  EXPECT_FALSE(graphics->OnTimerTick());
  EXPECT_EQ(a->draws, 3);
}

TEST_F(DrawTest, DrawImageFrameOffsetsAlongFrameAxisAndClipsToArea) {
  const ImageStrip strip = graphics->LoadImage(kFramesId, "frames.png", 5);
  ASSERT_NE(strip.bitmap, nullptr);
  DrawIn(Rect(5, 0, 25, 10), [&](IGraphics& g) {
    for (int frame = 1; frame <= 5; ++frame) g.DrawImageFrame(strip, Rect(frame * 5, 0, frame * 5 + 4, 20), frame);
  });
  EXPECT_EQ(PixelRed(At(10, 0)), 20);
  EXPECT_EQ(PixelRed(At(15, 0)), 40);  // frame 3 of 5: int(100 * 2 / 5 + 0.5)
  EXPECT_EQ(PixelRed(At(15, 9)), 49);
  EXPECT_EQ(At(15, 10), 0u) << "clipped to the drawing area";
  EXPECT_EQ(At(25, 0), 0u);
}

TEST_F(DrawTest, UndecodablePictureGivesEmptyStripThatDrawsNothing) {
  const ImageStrip bad = graphics->LoadImage(kNotPngId, "bad.png", 3);
  EXPECT_EQ(bad.bitmap, nullptr);
  EXPECT_EQ(bad.w, 0);
  EXPECT_EQ(graphics->LoadBitmapResource(kBackgroundId, "background.jpg"), nullptr);
  EXPECT_EQ(Add<IBitmapControl>(3, 3, -1, bad)->GetRect(), Rect(3, 3, 3, 3));
  graphics->DrawArea(Rect(0, 0, 200, 150));
  EXPECT_EQ(At(3, 3), 0u);
  const ImageStrip good = graphics->LoadImage(kBackgroundId, "background.PNG");
  EXPECT_EQ(graphics->LoadImage(kBackgroundId, "other.png").bitmap, good.bitmap) << "cached by id";
}

TEST_F(DrawTest, GrayedPictureBlendsAtAQuarter) {
  auto* control = Add<IBitmapControl>(0, 0, -1, graphics->LoadImage(kSwitchId, "switch.png", 2));
  control->SetGrayed(true);
  FillSurface(MakePixel(255, 0, 0, 0));
  graphics->DrawArea(control->GetRect());
  EXPECT_EQ(At(0, 0), MakePixel(255, 64, 0, 0));  // k = 64: 255 - 255 * 192 / 256
}

TEST_F(DrawTest, ShapesUseColourAlphaAndCoverTheirEdges) {
  FillSurface(MakePixel(255, 0, 100, 200));
  const ChannelBlend half(ChannelBlend::kNone, 0.5f);
  DrawIn(Rect(0, 0, 40, 40), [&](IGraphics& g) {
    g.FillRectangle(Color(128, 0, 0, 0), Rect(1, 1, 3, 3));
    g.DrawRectangle(Color(255, 255, 0, 0), Rect(10, 10, 14, 13));
    g.PlotPoint(Color(10, 1, 2, 3), 20.4f, 20.6f);
    g.FillTriangle(Color(255, 200, 0, 0), 30, 30, 39, 30, 30, 39, &half);
  });
  EXPECT_EQ(At(2, 2), MakePixel(191, 0, 50, 100));
  EXPECT_EQ(At(3, 3), MakePixel(255, 0, 100, 200));
  const std::pair<int, int> outline[] = {{14, 10}, {14, 13}, {10, 13}, {12, 13}};
  for (auto [x, y] : outline) EXPECT_EQ(At(x, y), 0xffff0000u);
  EXPECT_EQ(At(12, 11), MakePixel(255, 0, 100, 200));
  EXPECT_EQ(At(20, 21), MakePixel(10, 1, 2, 3));
  EXPECT_EQ(PixelRed(At(31, 31)), 100);
}

TEST_F(DrawTest, ChannelBlendMapsToRasterModes) {
  const ChannelBlend copy(ChannelBlend::kCopy, 0.5f), add(ChannelBlend::kAdd, 1.0f), dodge(ChannelBlend::kDodge, 1.0f),
      odd(42, 0.25f);
  EXPECT_EQ(RasterMode(nullptr), kBlendCopy | kBlendUseSourceAlpha);
  EXPECT_EQ(RasterMode(&copy), kBlendCopy);
  EXPECT_EQ(RasterMode(&add), kBlendAdd | kBlendUseSourceAlpha);
  EXPECT_EQ(RasterMode(&dodge), kBlendDodge | kBlendUseSourceAlpha);
  EXPECT_EQ(RasterMode(&odd), kBlendCopy | kBlendUseSourceAlpha);
  EXPECT_FLOAT_EQ(RasterOpacity(&odd), 0.25f);
  EXPECT_EQ(ToPixel(Color(300, -4, 256, 17)), 0xff00ff11u);
}

TEST_F(DrawTest, TextStartsAtRectangleTopInStyleColour) {
  FillSurface(MakePixel(255, 255, 255, 255));
  TextStyle style("Arial", 16, Color(255, 0, 0, 0), TextStyle::kNormal, TextStyle::kNear);
  const Rect box(10, 30, 150, 60);
  DrawIn(box, [&](IGraphics& g) { EXPECT_TRUE(g.DrawText(style, "Hello", box)); });
  EXPECT_NE(style.cached, nullptr);
  int inside = 0, outside = 0, top = 0;
  for (int y = 0; y < 150; ++y) {
    for (int x = 0; x < 200; ++x) {
      if (PixelRed(At(x, y)) >= 128) continue;
      (box.Contains(x, y) ? inside : outside)++;
      top += y < 38;
    }
  }
  EXPECT_GT(inside, 20);
  EXPECT_EQ(outside, 0);
  EXPECT_GT(top, 0) << "no vertical centring";
  EXPECT_FALSE(graphics->DrawText(TextStyle("Arial", 0, Color()), "x", box)) << "no font of size 0";
  EXPECT_TRUE(graphics->DrawText(TextStyle("Arial", 0, Color()), "", box));
}

}  // namespace
}  // namespace velmora::test
