// Host threads writing parameters under the plug-in lock while the editor's
// thread redraws and edits: must be free of data races (run under TSAN) and
// end with the controls showing the last values.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GraphicsTestUtil.h"

namespace velmora::test {
namespace {

TEST(GraphicsStress, HostWritesWhileEditorRedraws) {
  EditorFakePlugin plugin;
  auto owned = std::make_unique<HeadlessGraphics>(&plugin, 120, 40);
  HeadlessGraphics* editor = owned.get();
  editor->AddControl(std::make_unique<IBitmapControl>(&plugin, 0, 0, -1, editor->LoadImage(kBackgroundId, "bg.png")));
  auto* gain = editor->Adopt(std::make_unique<IKnobMultiControl>(
      &plugin, 0, 0, EditorFakePlugin::kGain, editor->LoadImage(kKnobId, "knob.png", 5), IKnobControl::kVertical, 1.0));
  editor->AddControl(std::make_unique<ITextControl>(&plugin, Rect(20, 0, 120, 20), TextStyle("Arial", 12, Color()), "level"));
  auto* steps = editor->Adopt(
      std::make_unique<ISwitchControl>(&plugin, 60, 20, EditorFakePlugin::kSteps, editor->LoadImage(kSwitchId, "sw.png", 2)));
  plugin.AttachEditor(std::move(owned));

  constexpr int kWrites = 4037;
  std::atomic<bool> opened{false}, hostDone{false};
  std::atomic<int> passes{0};

  std::thread gui([&] {
    editor->OpenWindow(nullptr);
    opened = true;
    int i = 0;
    while (!hostDone.load()) {
      editor->OnTimerTick();
      // The user edits another parameter meanwhile.
      editor->OnMouseDown(65, 25, MouseMods(true));
      editor->OnMouseUp(65, 25, MouseMods());
      if (++i % 8 == 0) editor->ClearPaintedRects();
      ++passes;
    }
    editor->OnTimerTick();
  });
  while (!opened.load()) std::this_thread::yield();

  std::thread host([&] {
    for (int i = 1; i <= kWrites; ++i) {
      auto lock = plugin.Lock();
      plugin.GetParam(EditorFakePlugin::kGain)->SetClamped(double(i % 100) / 100.0);
      editor->SetParamFromPlugin(EditorFakePlugin::kGain, plugin.GetParam(EditorFakePlugin::kGain)->Value(), false);
      if (i % 50 == 0) plugin.PushParamsToEditor();
    }
  });
  host.join();
  while (passes.load() < 3) std::this_thread::yield();
  hostDone = true;
  gui.join();

  EXPECT_DOUBLE_EQ(gain->GetValue(), double(kWrites % 100) / 100.0);
  // Every press toggled the switch and its parameter together.
  const double toggled = passes.load() % 2 == 0 ? 0.0 : 1.0;
  EXPECT_EQ(steps->GetValue(), toggled);
  EXPECT_EQ(plugin.GetParam(EditorFakePlugin::kSteps)->ToNormalized(), toggled);
}

}  // namespace
}  // namespace velmora::test
