// Control base and stock controls: value arithmetic, dirty flags, pushes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ControlTest : public ::testing::Test, public EditorFixtureBase {};

TEST_F(ControlTest, SwitchPressesStepThroughFramesAndWrap) {
  auto* five = Add<ISwitchControl>(0, 0, EditorFakePlugin::kGain, SizedStrip(10, 50, 5));
  auto* one = Add<ISwitchControl>(0, 0, EditorFakePlugin::kPower, SizedStrip(10, 10, 1));
  std::vector<double> fives, ones;
  for (int i = 0; i < 5; ++i) {
    five->MouseDown(1, 1, MouseMods(true));
    fives.push_back(five->GetValue());
  }
  for (int i = 0; i < 2; ++i) {
    one->MouseDown(1, 1, MouseMods(true));
    ones.push_back(one->GetValue());
  }
  EXPECT_THAT(fives, ElementsAre(0.25, 0.5, 0.75, 1.0, 0.0));
  EXPECT_THAT(ones, ElementsAre(1.0, 0.0));  // 1.0 + 1.0 exceeds 1.001
  EXPECT_EQ(plugin.log.size(), 14u);          // every press pushed
  five->MouseDoubleClick(1, 1, MouseMods(true));
  EXPECT_DOUBLE_EQ(five->GetValue(), 0.25) << "a double click presses";
}

TEST_F(ControlTest, ContactControlSpringsBackOnRelease) {
  auto* contact = Add<IContactControl>(0, 0, EditorFakePlugin::kPower, SizedStrip(10, 20, 2));
  contact->MouseDown(1, 1, MouseMods(true));
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kPower), 1.0);
  contact->MouseUp(1, 1, MouseMods());
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kPower), 0.0);
}

// The frame drawn, read back from the surface: frame i of the 3-frame
// 100-pixel strip starts at row int(100 * (i - 1) / 3 + 0.5), whose red is
// that row. Bitmap and knob controls choose alike.
class DrawnFrameTest : public ControlTest, public ::testing::WithParamInterface<std::pair<double, int>> {};

TEST_P(DrawnFrameTest, BitmapAndKnobDrawTheRoundedFrame) {
  const auto [value, frame] = GetParam();
  const ImageStrip strip = graphics->LoadImage(kFramesId, "frames.png", 3);
  Add<IBitmapControl>(0, 0, -1, strip)->SetValue(value);
  Add<IKnobMultiControl>(10, 0, -1, strip, IKnobControl::kVertical, 1.0)->SetValue(value);
  graphics->CreateSurfaces();
  graphics->DrawArea(Rect(0, 0, 200, 150));
  const int firstRow = int(100.0 * (frame - 1) / 3 + 0.5);
  EXPECT_EQ(PixelRed(At(0, 0)), firstRow);
  EXPECT_EQ(PixelRed(At(10, 32)), firstRow + 32);
}

INSTANTIATE_TEST_SUITE_P(ThreeFrames, DrawnFrameTest,
                         ::testing::Values(std::make_pair(0.24, 1), std::make_pair(0.25, 2),
                                           std::make_pair(0.74, 2), std::make_pair(0.75, 3),
                                           std::make_pair(-0.4, 1), std::make_pair(1.6, 3),
                                           std::make_pair(std::numeric_limits<double>::quiet_NaN(), 1)));

TEST_F(ControlTest, KnobDragAndWheelFollowGearingAndModifiers) {
  // 12 x 12 frames: a drag over the full height moves the value by 1 / gearing.
  auto* knob = Add<IKnobMultiControl>(0, 0, EditorFakePlugin::kGain, SizedStrip(12, 60, 5), IKnobControl::kVertical, 1.0);
  auto* wide = Add<IKnobMultiControl>(0, 0, EditorFakePlugin::kGain, SizedStrip(12, 12, 1), IKnobControl::kHorizontal, 2.0);
  const MouseMods shift(true, false, true), control(false, false, false, true);
  std::vector<double> seen;
  auto step = [&](IKnobControl* k, auto action) {
    action(k);
    seen.push_back(k->GetValue());
  };
  knob->SetValue(0.5);
  wide->SetValue(0.5);
  step(knob, [](IKnobControl* k) { k->MouseDrag(0, 0, 9, -3, MouseMods(true)); });  // up: +0.25
  step(knob, [](IKnobControl* k) { k->MouseDrag(0, 0, 0, 6, MouseMods(true)); });   // down: -0.5
  step(knob, [&](IKnobControl* k) { k->MouseDrag(0, 0, 0, -12, shift); });          // +0.1
  step(knob, [](IKnobControl* k) { k->MouseDrag(0, 0, 0, -60, MouseMods(true)); }); // clamped
  step(knob, [](IKnobControl* k) { k->MouseWheel(0, 0, MouseMods(), -2.0f); });     // -0.02
  step(knob, [&](IKnobControl* k) { k->MouseWheel(0, 0, control, -1.0f); });        // -0.001
  step(wide, [](IKnobControl* k) { k->MouseDrag(0, 0, 6, 50, MouseMods(true)); });  // 6 / 12 / 2
  step(wide, [&](IKnobControl* k) { k->MouseDrag(0, 0, -12, 0, control); });         // -12 / 12 / 20
  const double expected[] = {0.75, 0.25, 0.35, 1.0, 0.98, 0.979, 0.75, 0.70};
  ASSERT_EQ(seen.size(), 8u);
  for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_NEAR(seen[i], expected[i], 1e-12) << "step " << i;
  EXPECT_NEAR(plugin.Value(EditorFakePlugin::kGain), 0.70, 1e-12);
}

TEST_F(ControlTest, MarkDirtyClampsAndPushesOnlyWhenAsked) {
  auto* control = Add<RecordingControl>(Rect(0, 0, 10, 10), EditorFakePlugin::kGain);
  control->MarkClean();
  control->SetValue(1.7);
  control->MarkDirty(false);
  EXPECT_DOUBLE_EQ(control->GetValue(), 1.0);
  EXPECT_TRUE(control->IsDirty());
  EXPECT_THAT(plugin.log, IsEmpty());
  control->SetClampRange(0.1, 0.6);
  control->SetValue(0.9);
  control->MarkDirty(true);
  EXPECT_THAT(plugin.log, ElementsAre("set 0 0.600000", "changed 0"));
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kGain), 0.6);
}

TEST_F(ControlTest, FirstValueFromPluginSetsDefaultWithoutRedraw) {
  auto* control = Add<RecordingControl>(Rect(0, 0, 10, 10), EditorFakePlugin::kGain);
  EXPECT_TRUE(control->IsDirty()) << "every control draws once";
  control->MarkClean();
  control->IControl::MouseDoubleClick(1, 1, MouseMods(true));  // no default yet: nothing
  EXPECT_FALSE(control->IsDirty());
  control->ValueFromPlugin(0.5);
  EXPECT_DOUBLE_EQ(control->DefaultValue(), 0.5);
  EXPECT_FALSE(control->IsDirty());
  control->ValueFromPlugin(0.6);
  EXPECT_TRUE(control->IsDirty());
  control->MarkClean();
  EXPECT_TRUE(control->IsDirty()) << "the requested redraw keeps it dirty one more pass";
  control->MarkClean();
  EXPECT_FALSE(control->IsDirty());
  EXPECT_THAT(plugin.log, IsEmpty());
  control->IControl::MouseDoubleClick(1, 1, MouseMods(true));
  EXPECT_THAT(plugin.log, ElementsAre("set 0 0.500000", "changed 0"));
}

TEST_F(ControlTest, HitTestIncludesLeftTopOnly) {
  auto* control = Add<RecordingControl>(Rect(10, 10, 20, 20));
  EXPECT_TRUE(control->HitTest(10, 10));
  EXPECT_TRUE(control->HitTest(19, 19));
  EXPECT_FALSE(control->HitTest(20, 15));
  EXPECT_FALSE(control->HitTest(15, 20));
  control->SetTargetRect(Rect());
  EXPECT_FALSE(control->HitTest(0, 0));
}

}  // namespace
}  // namespace velmora::test
