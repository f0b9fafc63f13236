// The editor at another scale: the arithmetic between layout and physical
// pixels, where the scale comes from and how a host is asked for it, what
// the hard-edged drawing operations make of a layout pixel, and where the
// mouse lands.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

// --- arithmetic

TEST(EditorScale, FactorsSnapToTheNearestStepAndNonsenseToNone) {
  EXPECT_EQ(SnapScale(1.0), 100);
  EXPECT_EQ(SnapScale(1.3), 125);
  EXPECT_EQ(SnapScale(1.4), 150);
  EXPECT_EQ(SnapScale(1.125), 125);  // halfway goes up
  EXPECT_EQ(SnapScale(2.0), 200);
  EXPECT_EQ(SnapScale(3.0), 200);  // beyond the steps: the nearest one
  EXPECT_EQ(SnapScale(0.5), 100);
  EXPECT_EQ(SnapScale(0.0), 0);
  EXPECT_EQ(SnapScale(-2.0), 0);
  EXPECT_EQ(SnapScale(std::nan("")), 0);
  EXPECT_EQ(SnapScale(std::numeric_limits<double>::infinity()), 0);
}

TEST(EditorScale, LayoutAndPhysicalPixelsMapBothWaysAndRectanglesStayAdjacent) {
  for (int percent : kScaleSteps) {
    SCOPED_TRACE(percent);
    for (int v = -50; v <= 1000; ++v) {
      const int from = ScaleCoordinate(v, percent), to = ScaleCoordinate(v + 1, percent);
      ASSERT_GE(to - from, 1);  // every layout pixel has a block
      for (int q = from; q < to; ++q) ASSERT_EQ(LayoutCoordinate(q, percent), v) << q;
    }
    // Touching rectangles touch when scaled; a covering rectangle covers.
    const Rect a(17, 316, 111, 410), b(111, 316, 205, 410);
    EXPECT_EQ(ScaleRect(a, percent).right, ScaleRect(b, percent).left);
    const Rect physical(7, 9, 31, 40);
    const Rect covering = ScaleRect(LayoutRectCovering(physical, percent), percent);
    EXPECT_EQ(Intersect(covering, physical), physical);
  }
  EXPECT_EQ(ScaleCoordinate(964, 200), 1928);
  EXPECT_EQ(ScaleCoordinate(709, 200), 1418);
  EXPECT_EQ(ScaleCoordinate(std::numeric_limits<int>::max(), 200), std::numeric_limits<int>::max());
}

TEST(EditorScale, TheUserWinsOverTheHostAndTheHostOverTheSystem) {
  ScaleSources sources;
  EXPECT_EQ(sources.Effective(), 100);
  sources.SetSystem(150);
  EXPECT_EQ(sources.Effective(), 150);
  sources.SetHost(200);
  EXPECT_EQ(sources.Effective(), 200);
  sources.SetUser(125);
  EXPECT_EQ(sources.Effective(), 125);
  sources.SetUser(0);  // automatic again
  EXPECT_EQ(sources.Effective(), 200);
  sources.SetHost(130);  // not a step: says nothing
  EXPECT_EQ(sources.Effective(), 150);
}

// --- the size a host sees, and its answer

// A plug-in whose host gives the editor the size it asks for, or refuses it.
class ResizingPlugin : public EditorFakePlugin {
 public:
  void OnEditorSizeChanged(int width, int height) override {
    asked.push_back({width, height});
    if (accepts && Editor() != nullptr && (width != Editor()->Width() || height != Editor()->Height()))
      Editor()->HostResized(width, height);
  }
  bool accepts = true;
  std::vector<std::pair<int, int>> asked;
};

class HostScaleTest : public ::testing::Test {
 protected:
  HostScaleTest() {
    graphics = owned.get();
    plugin.AttachEditor(std::move(owned));
  }
  ResizingPlugin plugin;
  std::unique_ptr<HeadlessGraphics> owned{new HeadlessGraphics(&plugin, 200, 150)};
  HeadlessGraphics* graphics;
  using Size = std::pair<int, int>;
};

TEST_F(HostScaleTest, WithoutAWindowTheSizeHoldsAtOnceAndTheAdapterHearsOfIt) {
  graphics->SetHostScale(1.5);
  EXPECT_EQ(graphics->Width(), 300);
  EXPECT_EQ(graphics->Height(), 225);
  EXPECT_DOUBLE_EQ(graphics->Scale(), 1.5);
  EXPECT_EQ(plugin.asked, (std::vector<Size>{{300, 225}}));
  graphics->SetUserScale(200);  // the user's own choice wins
  EXPECT_EQ(graphics->Width(), 400);
  graphics->SetUserScale(0);
  graphics->SetHostScale(0.0);  // forgotten: the system's, here none
  EXPECT_EQ(graphics->Width(), 200);
  // The window opens on a surface of the size in force.
  graphics->SetHostScale(2.0);
  graphics->OpenWindow(nullptr);
  ASSERT_NE(graphics->DrawingSurface(), nullptr);
  EXPECT_EQ(graphics->DrawingSurface()->Width(), 400);
  EXPECT_EQ(graphics->DrawingSurface()->Height(), 300);
}

TEST_F(HostScaleTest, WithAWindowTheHostIsAskedAndAnAnswerOfTheSizeAskedTakesIt) {
  graphics->Adopt(std::make_unique<RecordingControl>(&plugin, Rect(0, 0, 200, 150)));
  graphics->OpenWindow(nullptr);
  plugin.accepts = false;
  graphics->SetHostScale(2.0);
  EXPECT_EQ(plugin.asked, (std::vector<Size>{{400, 300}}));
  EXPECT_EQ(graphics->Width(), 200);  // refused: the old size and scale
  EXPECT_EQ(graphics->PendingScale(), 200);
  graphics->HostResized(300, 225);  // not what was asked
  EXPECT_EQ(graphics->Width(), 200);
  graphics->HostResized(400, 300);  // a host that answers later
  EXPECT_EQ(graphics->Width(), 400);
  EXPECT_EQ(graphics->PendingScale(), 0);
  // The surface follows at the next tick, and everything is drawn again.
  EXPECT_EQ(graphics->DrawingSurface()->Width(), 200);
  graphics->ClearPaintedRects();
  EXPECT_TRUE(graphics->OnTimerTick());
  EXPECT_EQ(graphics->DrawingSurface()->Width(), 400);
  EXPECT_EQ(graphics->PaintedRects().back(), Rect(0, 0, 400, 300));
  // A host that agrees at once.
  plugin.accepts = true;
  graphics->SetUserScale(125);
  EXPECT_EQ(graphics->Width(), 250);
  EXPECT_EQ(plugin.asked.back(), Size(250, 188));
}

TEST_F(HostScaleTest, ARefusedScaleWaitsForTheWindowToCloseAndThenHolds) {
  graphics->OpenWindow(nullptr);
  plugin.accepts = false;
  graphics->SetUserScale(150);
  EXPECT_EQ(graphics->Width(), 200);
  graphics->CloseWindow();
  // The next opening asks the size anew: the adapter hears of the new one.
  EXPECT_EQ(graphics->Width(), 300);
  EXPECT_EQ(plugin.asked.back(), Size(300, 225));
}

// --- drawing and the mouse at a scale

// A control that draws with a given function and records presses.
class FnControl : public RecordingControl {
 public:
  FnControl(IPluginBase* plugin, const Rect& rect, std::function<void(IGraphics&)> draw)
      : RecordingControl(plugin, rect), mDraw(std::move(draw)) {}
  bool Draw(IGraphics& graphics) override {
    mDraw(graphics);
    return true;
  }

 private:
  std::function<void(IGraphics&)> mDraw;
};

// Every hard-edged operation a control has, in one picture.
void DrawScene(IGraphics& g) {
  g.FillRectangle(Color(255, 20, 30, 40), Rect(0, 0, 60, 40));
  g.FillRectangle(Color(128, 250, 0, 0), Rect(5, 5, 25, 15));  // half see-through
  g.DrawRectangle(Color(255, 255, 255, 0), Rect(30, 3, 50, 20));
  g.DrawLine(Color(255, 0, 200, 255), 2, 30, 40, 30);
  g.DrawLine(Color(255, 0, 200, 255), 55, 2, 55, 35);
  g.DrawLine(Color(255, 200, 100, 0), 3, 18, 10, 25);  // diagonal
  g.DrawLine(Color(255, 90, 255, 90), 12, 20, 27, 26);  // a shallow slope
  g.PlotPoint(Color(255, 1, 2, 3), 45.2f, 33.7f);
  const ImageStrip knob = g.LoadImage(kKnobId, "knob.png", 5);  // a picture without a 2x drawing
  g.DrawImageFrame(knob, Rect(40, 24, 52, 36), 3);
}

class ScaledDrawTest : public ::testing::Test {
 protected:
  // The scene drawn in an editor at percent, and the control that drew it.
  std::unique_ptr<HeadlessGraphics> Render(int percent, FnControl** control = nullptr) {
    auto g = std::make_unique<HeadlessGraphics>(&plugin, 60, 40);
    g->SetUserScale(percent);
    g->CreateSurfaces();
    FnControl* c = g->Adopt(std::make_unique<FnControl>(&plugin, Rect(0, 0, 60, 40), DrawScene));
    if (control) *control = c;
    g->OpenWindow(nullptr);
    g->OnTimerTick();
    return g;
  }
  EditorFakePlugin plugin;
};

TEST_F(ScaledDrawTest, EveryLayoutPixelBecomesItsBlockOfPhysicalPixels) {
  const auto one = Render(100);
  const SysBitmap& flat = *one->DrawingSurface();
  ASSERT_EQ(flat.Row(1)[1], MakePixel(255, 20, 30, 40));  // the scene is there
  ASSERT_EQ(flat.Row(30)[20], MakePixel(255, 0, 200, 255));
  ASSERT_EQ(PixelBlue(flat.Row(30)[46]), 150);  // the knob's third frame
  for (int percent : {125, 150, 200}) {
    SCOPED_TRACE(percent);
    const auto scaled = Render(percent);
    const SysBitmap& s = *scaled->DrawingSurface();
    ASSERT_EQ(s.Width(), ScaleCoordinate(60, percent));
    for (int y = 0; y < s.Height(); ++y) {
      for (int x = 0; x < s.Width(); ++x) {
        const int lx = LayoutCoordinate(x, percent), ly = LayoutCoordinate(y, percent);
        ASSERT_EQ(s.Row(y)[x], flat.Row(ly)[lx]) << x << ", " << y;
      }
    }
  }
}

TEST_F(ScaledDrawTest, TrianglesAndTextKeepTheirExtentAndMenusAndFieldsTheirPlace) {
  const Rect box(10, 8, 21, 19);
  auto draw = [&](IGraphics& g) {
    g.FillRectangle(Color(255, 0, 0, 0), Rect(0, 0, 60, 40));
    g.FillTriangle(Color(255, 255, 255, 255), box.left, box.top, box.left, box.bottom - 1, box.right - 1,
                   (box.top + box.bottom) / 2);
  };
  HeadlessGraphics g(&plugin, 60, 40);
  g.SetUserScale(200);
  g.CreateSurfaces();
  g.Adopt(std::make_unique<FnControl>(&plugin, Rect(0, 0, 60, 40), draw));
  g.OpenWindow(nullptr);
  g.OnTimerTick();
  Rect lit;
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 120; ++x) {
      if (g.DrawingSurface()->Row(y)[x] == 0xffffffffu) lit = Union(lit, Rect(x, y, x + 1, y + 1));
    }
  }
  EXPECT_EQ(lit, ScaleRect(box, 200));  // the blocks of its extreme pixels
  // Text is measured at the scale drawn and answered in layout pixels.
  Rect measured;
  ASSERT_TRUE(g.MeasureText(TextStyle("Arial", 14, Color()), "Cmaj7", measured));
  HeadlessGraphics flat(&plugin, 60, 40);
  Rect flatMeasured;
  ASSERT_TRUE(flat.MeasureText(TextStyle("Arial", 14, Color()), "Cmaj7", flatMeasured));
  EXPECT_NEAR(double(measured.W()), double(flatMeasured.W()), 2.0);
  // Menus and text fields open where the control is on the window.
  PopupMenu menu;
  g.ShowPopupMenu(menu, Rect(5, 6, 15, 16));
  EXPECT_EQ(g.ShownMenus().back().rect, Rect(10, 12, 30, 32));
}

TEST_F(ScaledDrawTest, TheMouseArrivesInLayoutPixels) {
  FnControl* control = nullptr;
  const auto g = Render(200, &control);
  g->OnMouseDown(21, 41, MouseMods(true));  // the block of layout pixel (10, 20)
  g->OnMouseDrag(27, 41, MouseMods(true));
  g->OnMouseDrag(26, 41, MouseMods(true));  // still layout pixel 13: no move
  g->OnMouseUp(119, 79, MouseMods());
  EXPECT_EQ(control->log, (std::vector<std::string>{"down 10,20", "drag 13,20 d3,0", "up 59,39"}));
  EXPECT_EQ(g->LastPressed(), 0);
}

}  // namespace
}  // namespace velmora::test
