#pragma once

#include "framework/graphics/Controls.h"

namespace velmora {

class GridOfChordsControl;
class Velmora;

// The grid's handle, beside its caption: a press drags every filled cell
// out of the editor as one MIDI file, in trigger order, as the Drag button
// drags the take. Dimmed (its second frame) while the grid is empty, when a
// press offers nothing.
//
// Threads: the editor's thread only; the drag loop runs on it.
class GridDragHandle : public IBitmapControl {
 public:
  static constexpr int kX = 204;
  static constexpr int kY = 289;

  GridDragHandle(Velmora* plugin, const ImageStrip& strip, const GridOfChordsControl& grid);

  void MouseDown(int x, int y, const MouseMods& mods) override;
  bool NeedsRepaint() override;

 private:
  bool GridIsEmpty() const;

  Velmora* mVelmora;
  const GridOfChordsControl& mGrid;
};

}  // namespace velmora
