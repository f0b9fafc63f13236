#include "editor/FilterControls.h"

#include <algorithm>

#include "editor/EditorStyle.h"
#include "editor/PopupMenus.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

template <size_t N>
int CountSet(const std::array<bool, N>& flags) {
  return static_cast<int>(std::count(flags.begin(), flags.end(), true));
}

}  // namespace

FilterListControl::FilterListControl(Velmora* plugin, int paramIdx, const Rect& rect, FilterBox box,
                                     const IPopupMenuChords* names)
    : IControl(plugin, rect, paramIdx),
      mMarkColour(style::kLabelGrey),
      mEntryStyle(style::Text(style::kFilterEntrySize, style::kLabelGrey, TextStyle::kNormal, TextStyle::kNear)),
      mListArea(rect.left + 6, rect.top + 8, rect.right, rect.bottom),
      mVelmora(plugin),
      mSplit(rect.left + (rect.right - rect.left) / 2 + 8),
      mHitSplit(mSplit - 5),
      // Each bar three columns clear of its marks (which end at s - 14 and
      // right - 6), hit from the second column past them to where the next
      // column's presses begin, or for the right one over the box's frame.
      mLeftBar(mSplit - 10, mListArea.top, kRowHeight * kVisibleRows, mSplit - 12, mHitSplit),
      mRightBar(rect.right - 2, mListArea.top, kRowHeight * kVisibleRows, rect.right - 4, rect.right + 3),
      mBox(box),
      mNames(names) {
  // Two quick clicks remove two entries, as two slow ones do.
  SetDoubleClickAsPress(true);
  // For the right bar's hit columns over the frame.
  SetTargetRect(Rect(rect.left, rect.top, rect.right + 3, rect.bottom));
}

void FilterListControl::SetFlags(const std::array<bool, kPitchClassCount>& roots,
                                 const std::array<bool, kChordTypeCount>& types) {
  mFlags.roots = roots;
  mFlags.types = types;
}

void FilterListControl::ResetScrollPositions() { mLeftScroll = mRightScroll = 0; }

bool FilterListControl::NeedsRepaint() {
  Shown now = mFlags;
  now.leftScroll = mLeftScroll;
  now.rightScroll = mRightScroll;
  return mDirty || !mEverDrawn || !(now == mDrawn);
}

template <size_t N>
void FilterListControl::DrawColumn(IGraphics& graphics, const std::array<bool, N>& flags, int offset, int textLeft,
                                   int textRight, int markLeft, bool roots) {
  const int y0 = mListArea.top;
  int y1 = y0 + 4, y2 = y0 + 10;
  int skipped = 0, shown = 0;
  for (int k = 0; k < static_cast<int>(N) && shown < kVisibleRows; ++k) {
    if (!flags[static_cast<size_t>(k)]) continue;
    if (skipped < offset) {
      ++skipped;
      continue;
    }
    const int y = y0 + kRowHeight * shown;
    const char* name = roots ? mNames->NoteName(k) : mNames->TypeName(k);
    graphics.DrawText(mEntryStyle, name, Rect(textLeft, y, textRight, y + kRowHeight));
    // The x-shaped mark, seven pixels square.
    graphics.DrawLine(mMarkColour, markLeft, y1, markLeft + 6, y2);
    graphics.DrawLine(mMarkColour, markLeft, y2, markLeft + 6, y1);
    y1 += kRowHeight;
    y2 += kRowHeight;
    ++shown;
  }
}

bool FilterListControl::Draw(IGraphics& graphics) {
  mDrawn = mFlags;
  mDrawn.leftScroll = mLeftScroll;
  mDrawn.rightScroll = mRightScroll;
  mEverDrawn = true;
  DrawColumn(graphics, mFlags.roots, mLeftScroll, mRect.left + 6, mSplit, mSplit - 20, true);
  DrawColumn(graphics, mFlags.types, mRightScroll, mSplit, mRect.right, mRect.right - 12, false);
  mLeftBar.Draw(graphics, mLeftScroll, kVisibleRows, CountSet(mFlags.roots));
  mRightBar.Draw(graphics, mRightScroll, kVisibleRows, CountSet(mFlags.types));
  return true;
}

void FilterListControl::Remove(bool root, int index) {
  (root ? mFlags.roots[static_cast<size_t>(index)] : mFlags.types[static_cast<size_t>(index)]) = false;
  if (root) {
    mVelmora->RemoveFilterRoot(mBox, index);
  } else {
    mVelmora->RemoveFilterChordType(mBox, index);
  }
  MarkDirty(true);
}

template <size_t N>
int FilterListControl::PressColumn(std::array<bool, N>& flags, int offset, int x, int y, int left, int right,
                                   bool roots) {
  const int y0 = mListArea.top;
  int count = 0, skipped = 0, row = 0;
  for (int j = 0; j < static_cast<int>(N); ++j) {
    if (!flags[static_cast<size_t>(j)]) continue;
    ++count;
    if (skipped < offset) {
      ++skipped;
      continue;
    }
    if (x >= left && x < right && y >= y0 + kRowHeight * row && y < y0 + kRowHeight * row + kRowHeight)
      Remove(roots, j);
    ++row;
  }
  return count;
}

bool FilterListControl::PressBar(int x, int y) {
  const int roots = CountSet(mFlags.roots), types = CountSet(mFlags.types);
  if (mLeftBar.Hits(x, y, kVisibleRows, roots)) {
    mLeftScroll = mLeftBar.Press(y, mLeftScroll, kVisibleRows, roots);
  } else if (mRightBar.Hits(x, y, kVisibleRows, types)) {
    mRightScroll = mRightBar.Press(y, mRightScroll, kVisibleRows, types);
  } else {
    return false;
  }
  return true;
}

void FilterListControl::MouseDrag(int, int y, int, int, const MouseMods&) {
  if (mLeftBar.IsHeld()) mLeftScroll = mLeftBar.Drag(y, mLeftScroll, kVisibleRows, CountSet(mFlags.roots));
  if (mRightBar.IsHeld()) mRightScroll = mRightBar.Drag(y, mRightScroll, kVisibleRows, CountSet(mFlags.types));
}

void FilterListControl::MouseUp(int, int, const MouseMods&) {
  mLeftBar.Release();
  mRightBar.Release();
}

void FilterListControl::MouseCaptureLost() {
  mLeftBar.Release();
  mRightBar.Release();
}

void FilterListControl::MouseDown(int x, int y, const MouseMods& mods) {
  if (!mods.l || PressBar(x, y)) return;
  const int leftCount = PressColumn(mFlags.roots, mLeftScroll, x, y, mRect.left + 6, mHitSplit, true);
  // Every left press in the left half moves a scrolled column up by one.
  if (x <= mHitSplit && leftCount >= kVisibleRows && mLeftScroll > 0) --mLeftScroll;
  const int rightCount = PressColumn(mFlags.types, mRightScroll, x, y, mHitSplit, mRect.right, false);
  if (x > mHitSplit && rightCount >= kVisibleRows && mRightScroll > 0) --mRightScroll;
}

void FilterListControl::MouseWheel(int x, int, const MouseMods&, float delta) {
  const bool right = x > mHitSplit;
  const int n = right ? CountSet(mFlags.types) : CountSet(mFlags.roots);
  if (n < kVisibleRows) return;
  int& offset = right ? mRightScroll : mLeftScroll;
  const int m = offset - static_cast<int>(delta);
  if (m < 0 || m > n - kVisibleRows) return;
  offset = m;
}

}  // namespace velmora
