#include "editor/DragControl.h"

#include "core/Velmora.h"

namespace velmora {

IContactDragControl::IContactDragControl(Velmora* plugin, int x, int y, int paramIdx, const ImageStrip& strip)
    : IContactControl(plugin, x, y, paramIdx, strip), mVelmora(plugin) {}

IContactDragControl::~IContactDragControl() = default;

void IContactDragControl::MouseDown(int, int, const MouseMods&) {
  // One frame: the value goes to 1 (and past 1.001 back to 0), as a switch's.
  mValue += mBitmap.n < 2 ? 1.0 : 1.0 / (mBitmap.n - 1);
  if (mValue > 1.001) mValue = 0.0;
  MarkDirty(true);
  mVelmora->StartFileDrag();
  // The drag loop took the release: spring back here, so that the next press
  // goes to 1 again.
  if (mValue != 0.0) {
    mValue = 0.0;
    MarkDirty(true);
  }
}

}  // namespace velmora
