#pragma once

#include "framework/graphics/GraphicsTypes.h"
#include "framework/graphics/platform/x11/X11Session.h"

namespace velmora::x11 {

// Shows the menu under anchor (the editor window's pixels) as an
// override-redirect window, drawn at the editor's scale (percent), and runs
// until an item is chosen (a button released on it, or Return) or the menu
// is dismissed (a press outside every open menu, Escape). An item with a
// submenu opens it beside itself when the pointer rests on it, it is
// clicked, or Right or Return is pressed; Left, Escape or the pointer back
// on the menu below closes it again. The menu in which the item was chosen
// comes back with its chosen item set; null when dismissed.
PopupMenu* RunPopupMenu(Session& session, PopupMenu& menu, const Rect& anchor, int maxHeight, int percent = 100);

}  // namespace velmora::x11
