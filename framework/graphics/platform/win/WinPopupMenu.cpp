// Native popup menus: the editor's PopupMenu tree as nested Win32 menus,
// tracked by TrackPopupMenu.
#include "framework/graphics/platform/win/WinPopupMenu.h"

#include <algorithm>
#include <string>
#include <vector>

#include <windows.h>

namespace velmora::win {

namespace {

// The native menu for menu, its items numbered the way PopupMenu numbers
// them; submenus nested too deep or in a cycle are left out.
HMENU BuildMenu(PopupMenu& root, PopupMenu& menu, std::vector<const PopupMenu*>& path) {
  HMENU native = CreatePopupMenu();
  if (!native) return nullptr;
  path.push_back(&menu);
  for (int i = 0; i < menu.NItems(); ++i) {
    const PopupMenuItem* item = menu.Item(i);
    const std::string label = menu.ItemLabel(i);
    if (item->IsSeparator()) {
      AppendMenuA(native, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    UINT flags = MF_STRING;
    if (item->flags & PopupMenuItem::kGrayed) flags |= MF_GRAYED;
    if (item->flags & PopupMenuItem::kDisabled) flags |= MF_DISABLED;
    if (item->flags & PopupMenuItem::kChecked) flags |= MF_CHECKED;
    if (item->submenu) {
      const bool nested = int(path.size()) <= PopupMenu::kMaxDepth &&
                          std::find(path.begin(), path.end(), item->submenu) == path.end();
      if (!nested) continue;
      HMENU sub = BuildMenu(root, *item->submenu, path);
      if (sub) AppendMenuA(native, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), label.c_str());
      continue;
    }
    const int id = PopupMenu::ItemId(root, menu, i);
    if (id >= 0 && id <= 0xffff) AppendMenuA(native, flags, UINT_PTR(id), label.c_str());
  }
  path.pop_back();
  return native;
}

}  // namespace

PopupMenu* RunPopupMenu(HWND owner, PopupMenu& menu, const Rect& anchor) {
  std::vector<const PopupMenu*> path;
  HMENU native = BuildMenu(menu, menu, path);
  if (!native) return nullptr;
  POINT at{anchor.left, anchor.bottom};
  ClientToScreen(owner, &at);
  PopupMenu* chosen = nullptr;
  if (TrackPopupMenu(native, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, owner, nullptr)) {
    // The choice arrives as the menu command that TrackPopupMenu posted.
    MSG command{};
    if (PeekMessageA(&command, owner, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
      chosen = PopupMenu::ChooseById(menu, int(LOWORD(command.wParam)));
    }
  }
  DestroyMenu(native);
  InvalidateRect(owner, nullptr, FALSE);
  return chosen;
}

}  // namespace velmora::win
