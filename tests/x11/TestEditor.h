#pragma once

#include "framework/graphics/IGraphics.h"
#include "framework/plugin/IPluginBase.h"

namespace velmora::test {

// The test editor's parameters. The probe's counters tell the tests what
// the editor saw of their input.
enum X11TestParam : int {
  kPower,       // Bool: the switch
  kContact,     // Bool: the contact button
  kKnob,        // Double 0..1: the knob
  kChord,       // Int 0..30: 0 none, else the chosen item of the long menu + 1
  kMode,        // Int 0..6: likewise for the short menu with flags
  kDrag,        // Bool: the drag button
  kDragResult,  // Int 0..2: 0 no drag yet, 1 dropped, 2 not dropped
  kMenus,       // Int: menus closed so far
  kDowns,       // Int: probe presses
  kUps,         // Int: probe releases
  kDoubles,     // Int: probe double clicks
  kDrags,       // Int: probe drag moves
  kWheel,       // Int -1000..1000: probe wheel notches, summed
  kMods,        // Int 0..31: the last probe press's modifiers (1 L, 2 R, 4 shift, 8 control, 16 alt)
  kLastX,       // Int: where the probe was last pressed or dragged
  kLastY,
  kNParams
};

constexpr int kEditorWidth = 964;
constexpr int kEditorHeight = 709;

// Where the tests aim.
const Rect kSwitchRect(100, 100, 110, 110);
const Rect kContactRect(140, 100, 150, 110);
const Rect kKnobRect(180, 100, 192, 112);
const Rect kModeRect(300, 100, 380, 124);
const Rect kDragRect(400, 100, 440, 124);
const Rect kProbeRect(600, 100, 760, 260);
// Where the real editor's inclusion popup is: its 30-item menu must fit.
const Rect kChordRect(491, 468, 609, 501);

constexpr int kChordItems = 30;
// The short menu: "Low", "Mid" (checked), a separator, "High", "Off" (grayed), "More" (a submenu).
constexpr int kModeItems = 6;
constexpr int kModeHigh = 3;
constexpr int kModeOff = 4;

// The file the drag button offers, and the URI list a target receives.
constexpr const char* kDraggedPath = "/tmp/velmora x11/take #1.mid";
constexpr const char* kDraggedUriList = "file:///tmp/velmora%20x11/take%20%231.mid\r\n";

void DefineTestParams(IPluginBase& plugin);
// The controls, in drawing order, on pictures 7101 (background tile), 7102
// (switch, 2 frames) and 7103 (knob, 5 frames).
void BuildTestEditor(IGraphics& graphics, IPluginBase* plugin);

}  // namespace velmora::test
