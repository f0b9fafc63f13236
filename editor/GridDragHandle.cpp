#include "editor/GridDragHandle.h"

#include "core/Velmora.h"
#include "editor/DragOut.h"
#include "editor/GridControls.h"

namespace velmora {

GridDragHandle::GridDragHandle(Velmora* plugin, const ImageStrip& strip, const GridOfChordsControl& grid)
    : IBitmapControl(plugin, kX, kY, -1, strip), mVelmora(plugin), mGrid(grid) {}

// What the cells show is what the grid holds, as the editor last synced it.
bool GridDragHandle::GridIsEmpty() const {
  for (int i = 0; i < kGridCellCount; ++i) {
    if (!mGrid.Cell(i)->Chord().IsEmpty()) return false;
  }
  return true;
}

void GridDragHandle::MouseDown(int, int, const MouseMods& mods) {
  if (mods.l && GetGUI() != nullptr) DragGridOut(*GetGUI(), *mVelmora);
}

// The frame follows the grid: the first while it holds a chord.
bool GridDragHandle::NeedsRepaint() {
  const double frame = GridIsEmpty() ? 1.0 : 0.0;
  if (frame == mValue) return IsDirty();
  mValue = frame;
  return true;
}

}  // namespace velmora
