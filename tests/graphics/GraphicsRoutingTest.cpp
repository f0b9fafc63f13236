// Hit testing, mouse capture and the routing of mouse, wheel and key events.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class RoutingTest : public ::testing::Test, public EditorFixtureBase {
 protected:
  RecordingControl* background = Add<RecordingControl>(Rect(0, 0, 200, 150));
  RecordingControl* lower = Add<RecordingControl>(Rect(10, 10, 60, 60), EditorFakePlugin::kGain);
  RecordingControl* upper = Add<RecordingControl>(Rect(40, 40, 90, 90));
  const MouseMods left{true};
};

TEST_F(RoutingTest, LaterControlWinsAndHiddenOrGrayedPassBelow) {
  EXPECT_EQ(graphics->ControlAt(45, 45), 2);
  EXPECT_EQ(graphics->ControlAt(5, 5), 0);
  EXPECT_EQ(graphics->ControlAt(500, 5), -1);
  upper->SetHidden(true);
  EXPECT_EQ(graphics->ControlAt(45, 45), 1);
  upper->SetHidden(false);
  upper->SetGrayed(true);
  EXPECT_EQ(graphics->ControlAt(45, 45), 1);
  upper->SetMouseOverWhenGrayed(true);
  EXPECT_EQ(graphics->ControlAt(45, 45, true), 2);
  graphics->OnMouseDown(45, 45, left);
  EXPECT_THAT(lower->log, ElementsAre("down 45,45"));
}

TEST_F(RoutingTest, PressAndReleaseOfBoundControlBracketItsEdit) {
  Add<ISwitchControl>(100, 100, EditorFakePlugin::kPower, SizedStrip(10, 20, 2));
  graphics->OnMouseDown(105, 105, left);
  EXPECT_EQ(graphics->MouseCapture(), 3);
  graphics->OnMouseUp(105, 105, MouseMods());
  EXPECT_EQ(graphics->MouseCapture(), -1);
  EXPECT_THAT(plugin.log, ElementsAre("begin 1", "set 1 1.000000", "changed 1", "end 1"));
  plugin.log.clear();
  graphics->OnMouseDown(80, 80, left);  // unbound: no brackets
  graphics->OnMouseUp(80, 80, left);
  EXPECT_THAT(plugin.log, IsEmpty());
}

// A control whose press runs a modal loop (a menu) that takes the release, then pushes the choice.
class ModalOnPress : public IControl {
 public:
  using IControl::IControl;
  void MouseDown(int, int, const MouseMods&) override {
    GetGUI()->ModalLoopTookRelease();
    mValue = 1.0;
    MarkDirty(true);
  }
  bool Draw(IGraphics&) override { return true; }
};

TEST_F(RoutingTest, EveryBegunEditEndsOnceWhateverTookTheRelease) {
  Add<ModalOnPress>(Rect(100, 100, 120, 120), EditorFakePlugin::kPower);
  graphics->OnMouseDown(110, 110, left);
  EXPECT_THAT(plugin.log, ElementsAre("begin 1", "set 1 1.000000", "changed 1", "end 1"));
  graphics->OnMouseUp(110, 110, MouseMods());  // a stray release after the menu: no second end
  EXPECT_THAT(plugin.log, ElementsAre("begin 1", "set 1 1.000000", "changed 1", "end 1"));
  plugin.log.clear();
  // A knob drag whose window goes away: the edit ends with it, and only then.
  graphics->OnMouseDown(20, 20, left);
  graphics->OnMouseDrag(25, 25, left);
  EXPECT_EQ(graphics->OpenEditParam(), EditorFakePlugin::kGain);
  graphics->AbandonPress();
  graphics->AbandonPress();
  graphics->OnMouseUp(25, 25, MouseMods());
  EXPECT_THAT(plugin.log, ElementsAre("begin 0", "end 0"));
  EXPECT_EQ(graphics->MouseCapture(), -1);
}

TEST_F(RoutingTest, CapturedControlGetsDragWheelKeyAndRelease) {
  graphics->OnMouseDrag(20, 20, left);  // no capture: nothing
  graphics->OnMouseDown(20, 20, left);
  graphics->OnMouseDrag(20, 20, left);  // no movement: nothing
  graphics->OnMouseDrag(85, 25, left);
  graphics->OnMouseDrag(80, 30, left);
  graphics->OnMouseWheel(80, 80, left, -2.0f);
  EXPECT_TRUE(graphics->OnKeyDown(80, 80, 2));
  graphics->OnMouseUp(80, 80, MouseMods());
  graphics->OnMouseDrag(90, 30, left);
  EXPECT_THAT(lower->log, ElementsAre("down 20,20", "drag 85,25 d65,5", "drag 80,30 d-5,5", "wheel 80,80 -2",
                                      "key 80,80 2", "up 80,80"));
  EXPECT_THAT(upper->log, IsEmpty());
  EXPECT_THAT(plugin.log, ElementsAre("begin 0", "end 0"));
  graphics->OnMouseUp(80, 80, MouseMods());  // no capture: the control under the pointer
  graphics->OnMouseWheel(80, 80, MouseMods(), 1.0f);
  EXPECT_THAT(upper->log, ElementsAre("up 80,80", "wheel 80,80 1"));
}

TEST_F(RoutingTest, WheelOverNothingDoesNothing) {
  graphics->OnMouseWheel(500, 500, MouseMods(), 1.0f);
  for (auto* c : {background, lower, upper}) EXPECT_THAT(c->log, IsEmpty());
}

TEST_F(RoutingTest, KeyOverBackgroundGoesToKeyCatcherOrAnswersFalse) {
  EXPECT_FALSE(graphics->OnKeyDown(5, 5, 15));
  EXPECT_FALSE(graphics->OnKeyDown(500, 500, 15));
  EXPECT_THAT(background->log, IsEmpty());
  auto owned = std::make_unique<RecordingControl>(&plugin, Rect());
  RecordingControl* catcher = owned.get();
  graphics->SetKeyCatcher(std::move(owned));
  EXPECT_TRUE(graphics->OnKeyDown(5, 5, 16));
  EXPECT_TRUE(graphics->OnKeyDown(80, 80, 1));
  EXPECT_THAT(catcher->log, ElementsAre("key 5,5 16"));
  EXPECT_THAT(upper->log, ElementsAre("key 80,80 1"));
}

TEST_F(RoutingTest, DoubleClickCallsHandlerOrActsAsPress) {
  EXPECT_FALSE(graphics->OnMouseDoubleClick(80, 80, left));
  EXPECT_EQ(graphics->MouseCapture(), -1);
  upper->SetDoubleClickAsPress(true);
  EXPECT_TRUE(graphics->OnMouseDoubleClick(81, 81, left));
  EXPECT_EQ(graphics->MouseCapture(), 2);
  EXPECT_THAT(upper->log, ElementsAre("double 80,80", "down 81,81"));
  EXPECT_FALSE(graphics->OnMouseDoubleClick(500, 500, left));
  EXPECT_EQ(graphics->MouseCapture(), -1);
  // The release after a double click ends an edit, so the double click begins one.
  graphics->OnMouseDoubleClick(20, 20, left);
  graphics->OnMouseUp(20, 20, MouseMods());
  EXPECT_THAT(plugin.log, ElementsAre("begin 0", "end 0"));
}

}  // namespace
}  // namespace velmora::test
