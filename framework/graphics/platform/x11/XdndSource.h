#pragma once

#include <vector>

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/platform/x11/X11Session.h"

namespace velmora::x11 {

// Drags the offer (MIME type, bytes) from the editor's window to an XDND
// target and returns when the drop is done (true) or the drag was cancelled
// (Escape, a release where nothing accepts: false). Runs its own event loop,
// like DoDragDrop; call it while the button that starts the drag is held.
bool RunXdndDrag(Session& session, const std::vector<DragData>& offer);

// Answers a selection request that no drag is serving: nothing to give.
void RefuseSelectionRequest(Display* display, const XSelectionRequestEvent& request);

}  // namespace velmora::x11
