#include "framework/graphics/platform/x11/PopupLayout.h"

#include <algorithm>

namespace velmora::x11 {

using M = PopupMetrics;

Rect PopupLayout::ItemRect(int index) const {
  if (index < 0 || index >= items || rows <= 0) return Rect();
  const int column = index / rows;
  const int row = index % rows;
  const int left = M::kBorder + column * columnWidth;
  const int top = M::kBorder + row * M::kItemHeight;
  return Rect(left, top, left + columnWidth, top + M::kItemHeight);
}

int PopupLayout::ItemAt(int px, int py) const {
  const int cx = px - M::kBorder;
  const int cy = py - M::kBorder;
  if (cx < 0 || cy < 0 || rows <= 0 || columnWidth <= 0) return -1;
  const int column = cx / columnWidth;
  const int row = cy / M::kItemHeight;
  if (column >= columns || row >= rows) return -1;
  const int index = column * rows + row;
  return index < items ? index : -1;
}

PopupLayout LayoutPopup(int items, int widestLabel, const Rect& anchor, const Rect& screen, int maxHeight) {
  PopupLayout layout;
  layout.items = std::max(items, 0);
  const int screenHeight = int(std::max<int64_t>(screen.H(), 0));
  const int tallest = std::min(maxHeight > 0 ? maxHeight : screenHeight, screenHeight);
  const int rowsThatFit = std::max(1, (tallest - 2 * M::kBorder) / M::kItemHeight);
  layout.columns = std::max(1, (layout.items + rowsThatFit - 1) / rowsThatFit);
  // Balanced columns: the last one is never much shorter than the others.
  layout.rows = std::max(1, (layout.items + layout.columns - 1) / layout.columns);
  layout.columnWidth = std::max(M::kMinColumnWidth, widestLabel + M::kCheckGutter + M::kArrowGutter);
  layout.width = layout.columns * layout.columnWidth + 2 * M::kBorder;
  layout.height = layout.rows * M::kItemHeight + 2 * M::kBorder;

  if (anchor.bottom + layout.height <= screen.bottom) {
    layout.y = anchor.bottom;
  } else if (anchor.top - layout.height >= screen.top) {
    layout.y = anchor.top - layout.height;
  } else {
    layout.y = std::max(screen.top, screen.bottom - layout.height);
  }
  layout.x = anchor.left;
  if (layout.x + layout.width > screen.right) layout.x = screen.right - layout.width;
  layout.x = std::max(layout.x, screen.left);
  return layout;
}

}  // namespace velmora::x11
