#pragma once

#include <vector>

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/platform/x11/X11Session.h"

namespace velmora::x11 {

// Drags the offer (MIME type, bytes) from the editor's window to an XDND
// target and returns when the drop is done or the drag was cancelled
// (Escape, a release where nothing accepts). Runs its own event loop, like
// DoDragDrop; call it while the button that starts the drag is held. The
// pointer shows whether the target under it takes the offer.
// With backInWindow the drag ends as soon as the pointer is over the
// editor's window again; a release there is put back in the window's queue,
// for the window to handle as its own once the loop is gone.
DragOutcome RunXdndDrag(Session& session, const std::vector<DragData>& offer, bool backInWindow = false);

// Answers a selection request that no drag is serving: nothing to give.
void RefuseSelectionRequest(Display* display, const XSelectionRequestEvent& request);

}  // namespace velmora::x11
