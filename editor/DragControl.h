#pragma once

#include "framework/graphics/Controls.h"

namespace velmora {

class Velmora;

// The Drag button: a press tells the host that "Drag" went to 1 and then
// offers the exported take to drop targets until the drop or the cancel;
// the release springs back. It starts hidden, and the first take shows it.
//
// Threads: the editor's thread only; the drag loop runs on it.
class IContactDragControl : public IContactControl {
 public:
  IContactDragControl(Velmora* plugin, int x, int y, int paramIdx, const ImageStrip& strip);
  ~IContactDragControl() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;

 private:
  Velmora* mVelmora;
};

}  // namespace velmora
