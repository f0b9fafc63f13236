#pragma once

#include "framework/graphics/GraphicsTypes.h"

struct HWND__;

namespace velmora::win {

// Shows the menu as a native popup menu under anchor (owner's client
// coordinates) and runs until an item is chosen or the menu is dismissed.
// The menu in which the item was chosen comes back with its chosen item
// set; null when dismissed. The owner is repainted where the menu was.
// Submenus nested too deep or in a cycle are left out. [editor]
PopupMenu* RunPopupMenu(HWND__* owner, PopupMenu& menu, const Rect& anchor);

}  // namespace velmora::win
