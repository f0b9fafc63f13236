// A small editor rendered through the headless context, saved as PNG and
// read back.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "GraphicsTestUtil.h"
#include "framework/graphics/raster/PngCodec.h"

namespace velmora::test {
namespace {

class EditorRenderTest : public ::testing::Test {
 protected:
  EditorRenderTest() {
    graphics->AddControl(std::make_unique<IBitmapControl>(&plugin, 0, 0, -1, graphics->LoadImage(kBackgroundId, "bg.png")));
    graphics->AddControl(std::make_unique<ISwitchControl>(&plugin, 5, 5, EditorFakePlugin::kPower, graphics->LoadImage(kSwitchId, "sw.png", 2)));
    graphics->AddControl(std::make_unique<IKnobMultiControl>(&plugin, 30, 5, EditorFakePlugin::kSteps,
                                               graphics->LoadImage(kKnobId, "knob.png", 5), IKnobControl::kVertical, 1.0));
    const TextStyle white("Arial", 14, Color(255, 255, 255, 255), TextStyle::kNormal, TextStyle::kNear);
    graphics->AddControl(std::make_unique<ITextControl>(&plugin, Rect(0, 40, 80, 60), white, "Velmora"));
    plugin.AttachEditor(std::unique_ptr<IEditorLink>(graphics));
    graphics->OpenWindow(nullptr);
  }

  std::unique_ptr<MemBitmap> Screenshot(const std::string& name) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(graphics->SaveSurfacePng(path));
    std::ifstream file(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return DecodePng(bytes.data(), bytes.size());
  }
  static Pixel Background(int x, int y) { return MakePixel(255, 3 * x, 4 * y, 100); }

  EditorFakePlugin plugin;
  HeadlessGraphics* graphics = new HeadlessGraphics(&plugin, 80, 60);  // the plug-in owns it
};

TEST_F(EditorRenderTest, EditorDrawsEveryControlIntoThePicture) {
  graphics->SetParamFromPlugin(EditorFakePlugin::kSteps, 2.0, false);  // 0.5: frame 3
  ASSERT_TRUE(graphics->OnTimerTick());
  EXPECT_EQ(graphics->PaintedRects().back(), Rect(0, 0, 80, 60));
  const std::unique_ptr<MemBitmap> shot = Screenshot("velmora_editor_render.png");
  ASSERT_NE(shot, nullptr);
  ASSERT_EQ(shot->Width(), 80);
  auto at = [&](int x, int y) { return shot->Row(y)[x]; };
  EXPECT_EQ(at(70, 30), Background(70, 30));
  EXPECT_EQ(at(14, 14), MakePixel(255, 255, 0, 0));  // switch off: red frame
  EXPECT_EQ(at(15, 14), Background(15, 14));
  EXPECT_EQ(at(31, 6), MakePixel(255, 0, 0, 150));   // knob frame 3
  EXPECT_EQ(at(30, 5), Background(30, 5));           // its transparent corner
  int ink = 0, strayAbove = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 80; ++x) {
      const bool onControl = (x >= 5 && x < 15 && y >= 5 && y < 15) || (x >= 30 && x < 42 && y >= 5 && y < 17);
      if (!onControl && at(x, y) != Background(x, y)) (y >= 40 ? ink : strayAbove)++;
    }
  }
  EXPECT_GT(ink, 20) << "the label's white text";
  EXPECT_EQ(strayAbove, 0);
}

TEST_F(EditorRenderTest, PressAndDragRedrawOnlyTheirControls) {
  graphics->OnTimerTick();
  graphics->ClearPaintedRects();
  graphics->OnMouseDown(7, 7, MouseMods(true));
  graphics->OnMouseUp(7, 7, MouseMods());
  ASSERT_TRUE(graphics->OnTimerTick());
  EXPECT_FALSE(graphics->OnTimerTick());
  graphics->OnMouseDown(35, 10, MouseMods(true));
  graphics->OnMouseDrag(35, 4, MouseMods(true));  // up half the frame height: +0.5
  graphics->OnMouseUp(35, 4, MouseMods());
  graphics->OnTimerTick();
  EXPECT_THAT(graphics->PaintedRects(), ::testing::ElementsAre(Rect(5, 5, 15, 15), Rect(30, 5, 42, 17)));
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kPower), 1.0);
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kSteps), 2.0);
  const std::unique_ptr<MemBitmap> shot = Screenshot("velmora_editor_press.png");
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->Row(10)[10], MakePixel(255, 0, 255, 0));  // switch on: green frame
  EXPECT_EQ(shot->Row(10)[35], MakePixel(255, 0, 0, 150));  // knob frame 3
}

}  // namespace
}  // namespace velmora::test
