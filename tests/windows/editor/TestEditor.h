#pragma once

// A small editor of stock controls over the editor test pictures, built the
// same way into the test plug-in's Win32 window and into a windowless
// context, so that the two can be compared.
#include "framework/graphics/GraphicsTypes.h"

namespace velmora {
class IGraphics;
class IPluginBase;
}  // namespace velmora

namespace velmora::wintest {

enum TestParam : int { kPower = 0, kSteps = 1, kLatch = 2, kParamCount = 3 };
enum TestPicture : int { kBackgroundId = 7101, kSwitchId = 7102, kKnobId = 7103 };
constexpr int kEditorWidth = 80;
constexpr int kEditorHeight = 60;

// Where the controls are: a switch on Power (a click toggles it), a knob
// on Steps (a right click opens the text field), and a picture on Latch (a
// right click opens the menu of its value texts "off", "on").
const Rect kSwitchRect(5, 5, 15, 15);
const Rect kKnobRect(30, 5, 42, 17);
const Rect kLatchRect(55, 5, 65, 15);
const Rect kLabelRect(0, 40, 80, 60);

void DefineTestParams(IPluginBase& plugin);
void BuildTestEditor(IGraphics& editor, IPluginBase& plugin);

}  // namespace velmora::wintest
