// Parameters between plug-in and controls: pushes, attach, threads, prompts.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ParamFlowTest : public ::testing::Test, public EditorFixtureBase {
 protected:
  RecordingControl* gain = Add<RecordingControl>(Rect(0, 0, 10, 10), EditorFakePlugin::kGain);
  RecordingControl* level = Add<RecordingControl>(Rect(10, 10, 30, 20), EditorFakePlugin::kLevel);
  RecordingControl* power = Add<RecordingControl>(Rect(30, 0, 40, 10), EditorFakePlugin::kPower);
  RecordingControl* steps = Add<RecordingControl>(Rect(40, 0, 50, 10), EditorFakePlugin::kSteps);
};

TEST_F(ParamFlowTest, RealValuesAreNormalisedClampedAndReachAuxEntries) {
  gain->AddAuxParam(EditorFakePlugin::kLevel);
  gain->AddAuxParam(EditorFakePlugin::kLevel);
  graphics->SetParamFromPlugin(EditorFakePlugin::kGain, 2.0, false);
  graphics->SetParamFromPlugin(EditorFakePlugin::kLevel, 5.0, false);
  graphics->SetParamFromPlugin(99, 1.0, false);  // no such parameter: ignored
  EXPECT_DOUBLE_EQ(gain->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(gain->GetAuxParam(0)->value, 0.5);
  EXPECT_DOUBLE_EQ(gain->GetAuxParam(1)->value, 0.0) << "only the first matching entry";
}

TEST_F(ParamFlowTest, AttachAndPushSendEveryParameter) {
  plugin.GetParam(EditorFakePlugin::kSteps)->SetClamped(3.0);
  Attach();
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.25);
  EXPECT_DOUBLE_EQ(level->DefaultValue(), 0.25);
  EXPECT_DOUBLE_EQ(steps->GetValue(), 0.75);
  ASSERT_NE(graphics->DrawingSurface(), nullptr);
  EXPECT_EQ(graphics->DrawingSurface()->Width(), 200);
  EXPECT_EQ(graphics->DrawingSurface()->Height(), 150);
  plugin.GetParam(EditorFakePlugin::kLevel)->SetClamped(7.5);
  plugin.PushParamsToEditor();
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.75);
  EXPECT_TRUE(level->IsDirty());
}

TEST_F(ParamFlowTest, ValuesFromOtherThreadsWaitForTheEditorThread) {
  Attach();
  graphics->OnTimerTick();
  std::thread host([&] {
    auto lock = plugin.Lock();
    graphics->SetParamFromPlugin(EditorFakePlugin::kLevel, 10.0, false);
    graphics->SetParamFromPlugin(EditorFakePlugin::kGain, 0.3, true);
    graphics->SetParamFromPlugin(EditorFakePlugin::kGain, 0.4, true);
    graphics->SetParamFromPlugin(EditorFakePlugin::kSteps, 0.5, true);
  });
  host.join();
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.25);
  graphics->SetParamFromPlugin(EditorFakePlugin::kSteps, 1.0, true);  // newer, on the editor's thread
  EXPECT_TRUE(graphics->OnTimerTick());
  EXPECT_DOUBLE_EQ(level->GetValue(), 1.0);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.4) << "the latest value wins";
  EXPECT_DOUBLE_EQ(steps->GetValue(), 1.0) << "a direct value supersedes a pending one";
}

TEST_F(ParamFlowTest, OpeningTheWindowMovesTheEditorThread) {
  Attach();
  int parent = 0;
  std::thread gui([&] { EXPECT_NE(graphics->OpenWindow(&parent), nullptr); });
  gui.join();
  EXPECT_EQ(graphics->Parent(), &parent);
  graphics->SetParamFromPlugin(EditorFakePlugin::kGain, 0.9, true);
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.0);
  graphics->SetOwnerThread(std::this_thread::get_id());
  graphics->OpenWindow(&parent);  // applies what is pending and draws everything
  EXPECT_DOUBLE_EQ(gain->GetValue(), 0.9);
  EXPECT_TRUE(steps->IsDirty());
}

class PromptTest : public ParamFlowTest {
 protected:
  PromptTest() {
    for (RecordingControl* c : {gain, level, power, steps}) c->DisablePrompt(false);
    Attach();
  }
};

TEST_F(PromptTest, BoolParameterPromptsWithCheckedValueTextMenu) {
  plugin.GetParam(EditorFakePlugin::kPower)->SetClamped(1.0);
  plugin.PushParamsToEditor();
  graphics->ScriptPopupChoice(0);
  graphics->ScriptPopupDismiss();
  graphics->OnMouseDown(35, 5, MouseMods(false, true));
  ASSERT_EQ(graphics->ShownMenus().size(), 1u);
  const auto& menu = graphics->ShownMenus()[0];
  EXPECT_THAT(menu.labels, ElementsAre("off", "on"));
  EXPECT_THAT(menu.flags, ElementsAre(0, PopupMenuItem::kChecked));
  EXPECT_EQ(menu.rect, power->GetRect());
  EXPECT_DOUBLE_EQ(power->GetValue(), 0.0);
  // The menu took the release, so the edit ends right after the choice.
  EXPECT_THAT(plugin.log, ElementsAre("begin 1", "set 1 0.000000", "changed 1", "end 1"));
  EXPECT_EQ(graphics->MouseCapture(), -1) << "the menu releases the capture";
  plugin.log.clear();
  power->PromptForValue();  // dismissed
  EXPECT_THAT(plugin.log, IsEmpty());
}

TEST_F(PromptTest, NumberParameterPromptsWithCentredTextField) {
  graphics->ScriptTextEntry("7.5");
  graphics->ScriptTextEntry("3.x9");
  graphics->ScriptTextEntryCancel();
  level->PromptForValue();
  steps->PromptForValue();
  steps->PromptForValue();
  ASSERT_EQ(graphics->ShownTextEntries().size(), 3u);
  EXPECT_EQ(graphics->ShownTextEntries()[0].initialText, "2.5");
  EXPECT_EQ(graphics->ShownTextEntries()[0].rect, Rect(0, 7, 40, 23));  // 40 x 16 around (20, 15)
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kLevel), 7.5);
  EXPECT_DOUBLE_EQ(plugin.Value(EditorFakePlugin::kSteps), 4.0) << "\".\" and letters refused: 39, clamped";
  EXPECT_EQ(graphics->ShownTextEntries()[2].initialText, "4");
}

TEST_F(PromptTest, CommittedTextReadsValueTextsOrNumbers) {
  IGraphics::CommitTextEntry(*power, plugin.GetParam(EditorFakePlugin::kPower), "on");
  EXPECT_DOUBLE_EQ(power->GetValue(), 1.0);
  IGraphics::CommitTextEntry(*power, plugin.GetParam(EditorFakePlugin::kPower), "maybe");
  EXPECT_DOUBLE_EQ(power->GetValue(), 0.0);
  IGraphics::CommitTextEntry(*level, plugin.GetParam(EditorFakePlugin::kLevel), " +5dB");
  EXPECT_DOUBLE_EQ(level->GetValue(), 0.5);
  IGraphics::CommitTextEntry(*gain, nullptr, "hello");
  EXPECT_THAT(gain->log, ElementsAre("text hello"));
}

}  // namespace
}  // namespace velmora::test
