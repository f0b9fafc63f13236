#include "editor/DragOut.h"

#include <string>

#include "core/DragFiles.h"
#include "core/Velmora.h"
#include "editor/FileDrag.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

DragOutcome Offer(IGraphics& graphics, const std::string& path, bool backInWindow) {
  if (path.empty()) return DragOutcome::kNotStarted;
  const DragOutcome outcome = graphics.StartDragOut(FileOffer(path), backInWindow);
  // A target that took the file keeps it; no one else ever saw it.
  if (outcome != DragOutcome::kDropped) RemoveDragFile(path);
  return outcome;
}

}  // namespace

DragOutcome DragChordOut(IGraphics& graphics, Velmora& plugin, const ChordEntry& chord, int cell) {
  return Offer(graphics, plugin.WriteChordDragFile(chord, cell), true);
}

DragOutcome DragGridOut(IGraphics& graphics, Velmora& plugin) {
  return Offer(graphics, plugin.WriteGridDragFile(), false);
}

}  // namespace velmora
