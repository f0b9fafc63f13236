#pragma once

// The plug-in's real editor, built by its constructor, driven without a
// window: presses, drags, wheels and ticks as the window would deliver them.
#include <gtest/gtest.h>

#include "editor/ChordListControls.h"
#include "editor/FilterControls.h"
#include "editor/GridControls.h"
#include "editor/KeyboardControls.h"
#include "editor/PopupMenus.h"
#include "editor/VelmoraEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"
#include "tests/core/CoreTestSupport.h"

namespace velmora::test {

const MouseMods kLeft(true);
const MouseMods kRight(false, true);

class EditorTest : public ::testing::Test {
 protected:
  EditorTest() : ui(static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(host.EditorParts()).Graphics())) {
    ui.OpenWindow(nullptr);
    Tick();
  }
  ~EditorTest() override { ui.CloseWindow(); }

  const EditorControls& Controls() const { return static_cast<VelmoraEditor&>(host.EditorParts()).Controls(); }
  GridChordControl& Cell(int i) const { return *Controls().grid->Cell(i); }
  ListedChordControl& Row(int i) const { return *Controls().chordList->Row(i); }
  ChordEngine& engine() { return host.Engine(); }

  void Tick() { ui.OnTimerTick(); }
  void Click(int x, int y, const MouseMods& mods = kLeft) {
    ui.OnMouseDown(x, y, mods);
    ui.OnMouseUp(x, y, MouseMods());
  }
  void Drag(int x0, int y0, int x1, int y1) {
    ui.OnMouseDown(x0, y0, kLeft);
    ui.OnMouseDrag((x0 + x1) / 2, (y0 + y1) / 2, kLeft);
    ui.OnMouseDrag(x1, y1, kLeft);
    ui.OnMouseUp(x1, y1, MouseMods());
  }
  // Major, then C, in the scale popup; it redraws in two passes before a
  // press pushes again.
  void ChooseCMajor() {
    ui.ScriptPopupChoice(0);
    Click(300, 200);
    Tick();
    Tick();
    ui.ScriptPopupChoice(0);
    Click(255, 200);
    Tick();
  }
  // A parameter change as a host makes it, with the lock.
  void Host(int index, double value) {
    auto lock = host.Lock();
    host.SetParam(index, value);
  }
  Pixel At(int x, int y) const { return ui.DrawingSurface()->Row(y)[x] | 0xff000000u; }
  static Pixel Rgb(int r, int g, int b) { return MakePixel(255, r, g, b); }
  // The centre of grid cell i.
  static std::pair<int, int> CellCentre(int i) {
    const CellRect r = GridCellRect(i);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static int RowY(int i) { return 7 + 33 * i + 16; }

  DataHome home;
  HostedVelmora host;
  HeadlessGraphics& ui;
};

}  // namespace velmora::test
