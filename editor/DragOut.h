#pragma once

#include "engine/ChordEntry.h"
#include "framework/graphics/GraphicsTypes.h"

namespace velmora {

class IGraphics;
class Velmora;

// Drags out of the editor's window as MIDI files: a chord that a list row
// or a grid cell carries past the window's edge, and the grid from its
// handle. Each drag writes a file of its own first; one that no drop target
// took is removed again.
//
// Threads: the editor's thread only; the platform's drag loop runs on it.

// A chord of a list row (cell -1) or of grid cell `cell` whose drag left the
// window, with the button held. kBackInWindow: the pointer came back first,
// and the drag goes on inside; any other end took the release and ended the
// press. kNotStarted: nothing to offer, or no drag on this platform.
DragOutcome DragChordOut(IGraphics& graphics, Velmora& plugin, const ChordEntry& chord, int cell);

// The grid, from a press on its handle; kNotStarted when it is empty.
DragOutcome DragGridOut(IGraphics& graphics, Velmora& plugin);

}  // namespace velmora
