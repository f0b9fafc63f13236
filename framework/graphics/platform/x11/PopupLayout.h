#pragma once

#include "framework/graphics/GraphicsTypes.h"

namespace velmora::x11 {

// Sizes of the popup menu, in pixels.
struct PopupMetrics {
  static constexpr int kItemHeight = 20;
  static constexpr int kBorder = 3;
  static constexpr int kCheckGutter = 22;
  static constexpr int kArrowGutter = 18;
  static constexpr int kMinColumnWidth = 96;
  static constexpr int kFontSize = 14;
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

  // In window coordinates; empty for an index out of range.
  Rect ItemRect(int index) const;
  // The item whose box holds the window point, or -1.
  int ItemAt(int x, int y) const;
};

// Below the anchor at its left edge, like the Windows menu, moved to stay on
// the screen. A menu taller than maxHeight (and the screen) takes as many
// columns as it needs. anchor and screen are in root coordinates.
PopupLayout LayoutPopup(int items, int widestLabel, const Rect& anchor, const Rect& screen, int maxHeight);

}  // namespace velmora::x11
