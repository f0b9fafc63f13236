#include "framework/graphics/platform/x11/PopupLayout.h"

#include <algorithm>
#include <cstdint>

#include "framework/graphics/EditorScale.h"

namespace velmora::x11 {

using M = PopupMetrics;

ScaledPopupMetrics ScaledPopupMetrics::At(int percent) {
  ScaledPopupMetrics m;
  m.percent = IsScaleStep(percent) ? percent : 100;
  m.itemHeight = m.Scaled(M::kItemHeight);
  m.border = m.Scaled(M::kBorder);
  m.checkGutter = m.Scaled(M::kCheckGutter);
  m.arrowGutter = m.Scaled(M::kArrowGutter);
  m.minColumnWidth = m.Scaled(M::kMinColumnWidth);
  m.fontSize = m.Scaled(M::kFontSize);
  return m;
}

int ScaledPopupMetrics::Scaled(int length) const { return ScaleCoordinate(length, percent); }

Rect PopupLayout::ItemRect(int index) const {
  if (index < 0 || index >= items || rows <= 0) return Rect();
  const int column = index / rows;
  const int row = index % rows;
  const int left = metrics.border + column * columnWidth;
  const int top = metrics.border + row * metrics.itemHeight;
  return Rect(left, top, left + columnWidth, top + metrics.itemHeight);
}

int PopupLayout::ItemAt(int px, int py) const {
  const int cx = px - metrics.border;
  const int cy = py - metrics.border;
  if (cx < 0 || cy < 0 || rows <= 0 || columnWidth <= 0) return -1;
  const int column = cx / columnWidth;
  const int row = cy / metrics.itemHeight;
  if (column >= columns || row >= rows) return -1;
  const int index = column * rows + row;
  return index < items ? index : -1;
}

namespace {

// The columns, rows and size of a menu whose height may not pass tallest.
PopupLayout Measure(int items, int widestLabel, int tallest, int percent) {
  PopupLayout layout;
  layout.metrics = ScaledPopupMetrics::At(percent);
  const ScaledPopupMetrics& m = layout.metrics;
  layout.items = std::max(items, 0);
  const int rowsThatFit = std::max(1, (tallest - 2 * m.border) / m.itemHeight);
  layout.columns = std::max(1, (layout.items + rowsThatFit - 1) / rowsThatFit);
  // Balanced columns: the last one is never much shorter than the others.
  layout.rows = std::max(1, (layout.items + layout.columns - 1) / layout.columns);
  layout.columnWidth = std::max(m.minColumnWidth, widestLabel + m.checkGutter + m.arrowGutter);
  layout.width = layout.columns * layout.columnWidth + 2 * m.border;
  layout.height = layout.rows * m.itemHeight + 2 * m.border;
  return layout;
}

}  // namespace

PopupLayout LayoutPopup(int items, int widestLabel, const Rect& anchor, const Rect& screen, int maxHeight,
                        int percent) {
  const int screenHeight = int(std::max<int64_t>(screen.H(), 0));
  PopupLayout layout =
      Measure(items, widestLabel, std::min(maxHeight > 0 ? maxHeight : screenHeight, screenHeight), percent);
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

PopupLayout LayoutSubmenu(int items, int widestLabel, const Rect& item, const PopupLayout& parent,
                          const Rect& screen, int percent) {
  PopupLayout layout = Measure(items, widestLabel, int(std::max<int64_t>(screen.H(), 0)), percent);
  layout.x = parent.x + parent.width;
  if (layout.x + layout.width > screen.right) layout.x = parent.x - layout.width;
  layout.x = std::max(layout.x, screen.left);
  layout.y = item.top - layout.metrics.border;
  if (layout.y + layout.height > screen.bottom) layout.y = screen.bottom - layout.height;
  layout.y = std::max(layout.y, screen.top);
  return layout;
}

}  // namespace velmora::x11
