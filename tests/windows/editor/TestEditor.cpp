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
  editor.AddControl(new IBitmapControl(&plugin, 0, 0, -1, editor.LoadImage(kBackgroundId, "bg.png")));
  editor.AddControl(
      new ISwitchControl(&plugin, kSwitchRect.left, kSwitchRect.top, kPower, editor.LoadImage(kSwitchId, "sw.png", 2)));
  auto* knob = new IKnobMultiControl(&plugin, kKnobRect.left, kKnobRect.top, kSteps,
                                     editor.LoadImage(kKnobId, "knob.PNG", 5), IKnobControl::kVertical, 1.0);
  knob->DisablePrompt(false);
  editor.AddControl(knob);
  auto* latch =
      new IBitmapControl(&plugin, kLatchRect.left, kLatchRect.top, kLatch, editor.LoadImage(kSwitchId, "sw.png", 2));
  latch->DisablePrompt(false);
  editor.AddControl(latch);
  const TextStyle white("Arial", 14, Color(255, 255, 255, 255), TextStyle::kNormal, TextStyle::kNear);
  editor.AddControl(new ITextControl(&plugin, kLabelRect, white, "Velmora"));
}

}  // namespace velmora::wintest
