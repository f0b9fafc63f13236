#include "TestEditor.h"

#include "framework/graphics/Controls.h"
#include "framework/graphics/IGraphics.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora::wintest {

void DefineTestParams(IPluginBase& plugin) {
  plugin.GetParam(kPower)->DefineBool("Power", false);
  plugin.GetParam(kSteps)->DefineInt("Steps", 0, 0, 4);
  plugin.GetParam(kLatch)->DefineBool("Latch", false);
}

void BuildTestEditor(IGraphics& editor, IPluginBase& plugin) {
  editor.AddControl(std::make_unique<IBitmapControl>(&plugin, 0, 0, -1, editor.LoadImage(kBackgroundId, "bg.png")));
  editor.AddControl(std::make_unique<ISwitchControl>(&plugin, kSwitchRect.left, kSwitchRect.top, kPower, editor.LoadImage(kSwitchId, "sw.png", 2)));
  auto* knob = editor.Adopt(std::make_unique<IKnobMultiControl>(
      &plugin, kKnobRect.left, kKnobRect.top, kSteps, editor.LoadImage(kKnobId, "knob.PNG", 5), IKnobControl::kVertical,
      1.0));
  knob->DisablePrompt(false);
  auto* latch = editor.Adopt(std::make_unique<IBitmapControl>(&plugin, kLatchRect.left, kLatchRect.top, kLatch,
                                                              editor.LoadImage(kSwitchId, "sw.png", 2)));
  latch->DisablePrompt(false);
  const TextStyle white("Arial", 14, Color(255, 255, 255, 255), TextStyle::kNormal, TextStyle::kNear);
  editor.AddControl(std::make_unique<ITextControl>(&plugin, kLabelRect, white, "Velmora"));
}

}  // namespace velmora::wintest
