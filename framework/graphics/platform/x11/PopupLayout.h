#pragma once

#include "framework/graphics/GraphicsTypes.h"

namespace velmora::x11 {

// Sizes of the popup menu at 100 %, in pixels.
struct PopupMetrics {
  static constexpr int kItemHeight = 20;
  static constexpr int kBorder = 3;
  static constexpr int kCheckGutter = 22;
  static constexpr int kArrowGutter = 18;
  static constexpr int kMinColumnWidth = 96;
  static constexpr int kFontSize = 14;
};

// The same at the editor's scale (a percent step), in physical pixels.
struct ScaledPopupMetrics {
  int itemHeight = PopupMetrics::kItemHeight;
  int border = PopupMetrics::kBorder;
  int checkGutter = PopupMetrics::kCheckGutter;
  int arrowGutter = PopupMetrics::kArrowGutter;
  int minColumnWidth = PopupMetrics::kMinColumnWidth;
  int fontSize = PopupMetrics::kFontSize;
  int percent = 100;

  static ScaledPopupMetrics At(int percent);
  // A length of the 100 % menu at this scale.
  int Scaled(int length) const;
};

// The panel's colours.
struct PopupPalette {
  static inline const Color kGround{255, 38, 39, 43};
  static inline const Color kFrame{255, 92, 94, 102};
  static inline const Color kText{255, 204, 204, 204};
  static inline const Color kGrayText{255, 112, 113, 118};
  static inline const Color kHighlight{255, 74, 78, 88};
  static inline const Color kHighlightText{255, 255, 255, 255};
  static inline const Color kSeparator{255, 70, 72, 78};
};

// Where a popup menu goes and where its items lie. Items run down the
// first column, then the next.
struct PopupLayout {
  int x = 0, y = 0, width = 0, height = 0;  // the window, in root coordinates
  int items = 0, rows = 0, columns = 0, columnWidth = 0;
  ScaledPopupMetrics metrics;

  // In window coordinates; empty for an index out of range.
  Rect ItemRect(int index) const;
  // The item whose box holds the window point, or -1.
  int ItemAt(int x, int y) const;
  bool Contains(int rootX, int rootY) const {
    return rootX >= x && rootX < x + width && rootY >= y && rootY < y + height;
  }
};

// Below the anchor at its left edge, like the Windows menu, moved to stay on
// the screen. A menu taller than maxHeight (and the screen) takes as many
// columns as it needs. anchor and screen are in root coordinates, the
// widest label in pixels at the scale (percent) the menu is drawn at.
PopupLayout LayoutPopup(int items, int widestLabel, const Rect& anchor, const Rect& screen, int maxHeight,
                        int percent = 100);

// A submenu beside the item that opens it (root coordinates): right of the
// parent menu, its first item level with the item, else left of the parent.
PopupLayout LayoutSubmenu(int items, int widestLabel, const Rect& item, const PopupLayout& parent,
                          const Rect& screen, int percent = 100);

}  // namespace velmora::x11
