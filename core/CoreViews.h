#pragma once

#include <string>

namespace velmora {

// The core reaches the editor's controls only through these interfaces.
// Calls are made with the plug-in lock held, on any thread (the processing
// thread included), so implementations only record what changed; the
// editor applies it on its own thread. The pointers in CoreViews are
// non-owning and may be null; the core then skips the call.

// The sixteen grid cell controls.
class GridCellsView {
 public:
  virtual ~GridCellsView() = default;
  virtual void SetCellSounding(int cell, bool sounding) = 0;
};

// The drag button, hidden until the first take.
class DragButtonView {
 public:
  virtual ~DragButtonView() = default;
  virtual bool IsHidden() const = 0;
  virtual void SetHidden(bool hidden) = 0;
};

// A two-state switch whose shown value the core resets.
class SwitchView {
 public:
  virtual ~SwitchView() = default;
  virtual void ValueFromPlugin(double normalized) = 0;
};

// The platform's drag source for one file. DragFile runs the platform's drag
// loop and returns when the drop or the cancel is done.
//
// Threads: [editor], without the plug-in lock.
class FileDragSource {
 public:
  virtual ~FileDragSource() = default;
  virtual bool DragFile(const std::string& path) = 0;
};

struct CoreViews {
  GridCellsView* gridCells = nullptr;
  DragButtonView* dragButton = nullptr;
  SwitchView* octaveUp = nullptr;
  SwitchView* octaveDown = nullptr;
  FileDragSource* drag = nullptr;
};

}  // namespace velmora
