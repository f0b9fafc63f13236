#include "editor/DragFeedback.h"

#include <algorithm>

#include "editor/ChordListControls.h"
#include "editor/EditorStyle.h"
#include "engine/ChordEngine.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

bool InGridArea(int x, int y) { return x >= 17 && x <= 414 && y >= 316 && y <= 713; }

// The cell a drop at (x, y) changes, as the grid decides it: a list chord
// fills the first cell under the pointer, a cell swaps with the last one
// that is not itself; -1 for none.
int DropTarget(const ListedChordControl& source, int x, int y) {
  if (!InGridArea(x, y)) return -1;
  const Rect& from = source.GetTargetRect();
  const int cx = from.left + (from.right - from.left) / 2, cy = from.top + (from.bottom - from.top) / 2;
  int target = -1;
  for (int i = 0; i < kGridCellCount; ++i) {
    const CellRect r = GridCellRect(i);
    if (!r.Contains(x, y)) continue;
    if (!source.IsGridCell()) return i;
    if (!r.Contains(cx, cy)) target = i;
  }
  return target;
}

}  // namespace

DragFeedbackControl::DragFeedbackControl(IPluginBase* plugin)
    : IControl(plugin, Rect()),
      mTextStyle(style::Text(style::kHintSize, style::kDragLabelText, TextStyle::kBold, TextStyle::kNear)) {}

DragFeedbackControl::Shown DragFeedbackControl::Current() {
  IGraphics* graphics = GetGUI();
  if (graphics == nullptr || graphics->MouseCapture() < 0) return Shown();
  const auto* source = dynamic_cast<const ListedChordControl*>(graphics->GetControl(graphics->MouseCapture()));
  if (source == nullptr || !source->IsDragging() || source->DraggedChord().IsEmpty()) return Shown();
  const int x = source->DragX(), y = source->DragY();
  // Outside the window the platform's drag shows what is carried.
  if (x < 0 || y < 0 || x >= graphics->LayoutWidth() || y >= graphics->LayoutHeight()) return Shown();
  Shown now;
  now.text = source->DraggedChord().name;
  Rect text;
  graphics->MeasureText(mTextStyle, now.text.c_str(), text);
  const int w = text.right - text.left + 12, h = mTextStyle.size + 8;
  // Below and right of the pointer, or left of it near the editor's edge.
  const int left = x + 14 + w <= graphics->LayoutWidth() ? x + 14 : x - 8 - w;
  const int top = std::clamp(y + 12, 0, graphics->LayoutHeight() - h);
  now.label = Rect(std::max(left, 0), top, std::max(left, 0) + w, top + h);
  const int cell = DropTarget(*source, x, y);
  if (cell >= 0) {
    const CellRect r = GridCellRect(cell);
    now.target = Rect(r.left, r.top, r.right, r.bottom);
  }
  return now;
}

bool DragFeedbackControl::NeedsRepaint() {
  const Shown now = Current();
  if (now == mShown) return false;
  // The area to redraw clears what was shown and takes what is new.
  mRect = Union(Union(mShown.label, mShown.target), Union(now.label, now.target));
  mShown = now;
  return true;
}

bool DragFeedbackControl::Draw(IGraphics& graphics) {
  const Rect& t = mShown.target;
  if (!t.Empty()) {
    graphics.DrawRectangle(style::kDropOutline, Rect(t.left + 1, t.top + 1, t.right - 2, t.bottom - 2));
    graphics.DrawRectangle(style::kDropOutline, Rect(t.left + 2, t.top + 2, t.right - 3, t.bottom - 3));
  }
  const Rect& l = mShown.label;
  if (!l.Empty()) {
    graphics.FillRectangle(style::kDragLabel, l);
    graphics.DrawText(mTextStyle, mShown.text.c_str(), Rect(l.left + 6, l.top + 4, l.right, l.bottom));
  }
  if (l.Empty() && t.Empty()) mRect = Rect();
  return true;
}

}  // namespace velmora
