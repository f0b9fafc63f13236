#pragma once

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/platform/x11/X11Session.h"

namespace velmora::x11 {

// Shows the menu under anchor (editor coordinates) as an override-redirect
// window and runs until an item is chosen (a button released on it, or
// Return) or the menu is dismissed (a press outside it, Escape). The menu
// in which the item was chosen comes back with its chosen item set; null
// when dismissed. Items with a submenu are shown but cannot be chosen.
PopupMenu* RunPopupMenu(Session& session, PopupMenu& menu, const Rect& anchor, int maxHeight);

}  // namespace velmora::x11
