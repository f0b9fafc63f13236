#include "editor/ChordListControls.h"

#include <algorithm>
#include <string>

#include "core/Velmora.h"
#include "editor/DragOut.h"
#include "editor/EditorStyle.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {
namespace {

// Where a dragged row or cell may be dropped.
bool InGridArea(int x, int y) { return x >= 17 && x <= 414 && y >= 316 && y <= 713; }

bool SameShown(const ChordEntry& a, const ChordEntry& b) {
  return a.notes == b.notes && a.root == b.root && a.chordType == b.chordType && a.locked == b.locked &&
         a.name == b.name && a.octave == b.octave && a.sounding == b.sounding && a.gridIndex == b.gridIndex &&
         a.inversion == b.inversion;
}

}  // namespace

// --- ListedChordControl

ListedChordControl::ListedChordControl(Velmora* plugin, int paramIdx, const Rect& rect)
    : IControl(plugin, rect, paramIdx),
      mNormalStyle(style::Text(style::kListNameSize, style::kLabelGrey, TextStyle::kBold, TextStyle::kNear)),
      mSoundingStyle(style::Text(style::kListNameSize, style::kSoundingGreen, TextStyle::kBold, TextStyle::kNear)),
      mLockedStyle(style::Text(style::kListNameSize, style::kLockedText, TextStyle::kBold, TextStyle::kCenter)),
      mFull(rect),
      mInner(rect.left - 1, rect.top + 2, rect.right - 2, rect.bottom - 2),
      mFill(mInner),
      mLabelRect(rect.left + 10, rect.top + 10, rect.right, rect.bottom),
      mVelmora(plugin),
      mHintStyle(style::Text(style::kHintSize, style::kHintText, TextStyle::kNormal, TextStyle::kCenter)),
      mFittedSize(style::kCellNameSize) {
  // The play triangle belongs to the list row's layout; a cell never draws it.
  mTriangle = {mInner.right - 22, mInner.top + 9, mInner.right - 22, mInner.bottom - 9, mInner.right - 11,
               mInner.top + 14};
  // A row's outline reaches one pixel left of where it is hit.
  mRect = Rect(rect.left - 1, rect.top, rect.right, rect.bottom);
  // The second click of a quick pair plays and holds like the first, and its
  // release and drag come back here.
  SetDoubleClickAsPress(true);
}

ListedChordControl::~ListedChordControl() = default;

void ListedChordControl::SetChord(const ChordEntry& entry, bool gridCell) {
  mLabel = entry.name;
  mChord = entry;
  mGridCell = gridCell;
  if (!gridCell) return;
  const Rect& r = mFull;
  mRect = r;
  mLabelRect = Rect(r.left, r.top + 22, r.right, r.bottom);
  mInner = Rect(r.left + 1, r.top + 1, r.right - 2, r.bottom - 2);
  mFill = Rect(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2);
  SetCellNameSize(mLabel == mFittedLabel ? mFittedSize : style::kCellNameSize);
}

void ListedChordControl::SetCellNameSize(int size) {
  mNormalStyle = style::Text(size, style::kLabelGrey, TextStyle::kBold, TextStyle::kCenter);
  mSoundingStyle = style::Text(size, style::kSoundingGreen, TextStyle::kBold, TextStyle::kCenter);
  mLockedStyle = style::Text(size, style::kLockedText, TextStyle::kBold, TextStyle::kCenter);
}

// Measured, not assumed: the platform's face may be wider than the one the
// cell was laid out with.
int ListedChordControl::CellNameSize(IGraphics& graphics, const std::string& name, int room) {
  int size = style::kCellNameSize;
  for (; size > style::kSmallPrintSize; --size) {
    Rect measured(0, 0, room, 0);
    if (!graphics.MeasureText(style::Text(size, style::kLabelGrey, TextStyle::kBold, TextStyle::kCenter), name.c_str(),
                              measured) ||
        measured.right - measured.left <= room) {
      break;
    }
  }
  return size;
}

void ListedChordControl::RowPress(const MouseMods& mods) {
  if (mods.l && !mChord.IsEmpty()) {
    mPressed = mChord;
    mPressed.sounding = false;
    mHolding = true;
    mOutOfReach = false;
    mVelmora->StartChord(mPressed.notes, mPressed.octave, mPressed.inversion, 100);
    mChord.sounding = true;
  } else if (mods.r && mGridCell && !mChord.IsEmpty()) {
    mVelmora->ToggleCellLock(mChord);
    mChord.locked = !mChord.locked;
  }
}

void ListedChordControl::MouseDown(int, int, const MouseMods& mods) { RowPress(mods); }

void ListedChordControl::MouseDrag(int x, int y, int, int, const MouseMods& mods) {
  if (!mods.l) return;
  mDragX = x;
  mDragY = y;
  mDragging = true;
  mDragFromGrid = mGridCell;
  const IGraphics* graphics = GetGUI();
  // x and y are layout pixels, whatever the scale.
  const bool outside =
      graphics != nullptr && (x < 0 || y < 0 || x >= graphics->LayoutWidth() || y >= graphics->LayoutHeight());
  if (outside && mHolding && !mOutOfReach) CarryOut();
}

// The chord as the press started it, octave and inversion included. Unless
// the pointer comes back first, the drag loop took the release and the
// editor ended the press (MouseCaptureLost).
void ListedChordControl::CarryOut() {
  const ChordEntry chord = mPressed;
  const int cell = mGridCell ? chord.gridIndex : -1;
  if (DragChordOut(*GetGUI(), *mVelmora, chord, cell) == DragOutcome::kNotStarted) mOutOfReach = true;
}

// A cell that a host note holds keeps showing it: only the press's own chord stops.
void ListedChordControl::StopPressedChord() {
  if (!mHolding) return;
  mVelmora->StopChord(mPressed.notes, mPressed.octave, mPressed.inversion);
  mHolding = false;
  mChord.sounding = false;
}

void ListedChordControl::RowRelease(int x, int y) {
  const bool held = mHolding;
  StopPressedChord();
  const bool dragged = mDragging;
  mDragging = false;
  if (!dragged || !InGridArea(x, y)) return;
  if (mDragFromGrid) {
    // A cell moves whatever it holds by now.
    if (held || !mChord.IsEmpty()) mVelmora->MoveCell(mRect.left, mRect.top, x, y);
  } else if (held) {
    mVelmora->PlaceListChord(mPressed, mRect.top, x, y);
  }
}

void ListedChordControl::MouseUp(int x, int y, const MouseMods&) { RowRelease(x, y); }

void ListedChordControl::MouseCaptureLost() {
  StopPressedChord();
  mDragging = false;
}

void ListedChordControl::MouseWheel(int x, int y, const MouseMods& mods, float delta) {
  if (!mGridCell && mList != nullptr) mList->MouseWheel(x, y, mods, delta);
}

bool ListedChordControl::NeedsRepaint() {
  return mDirty || !mEverDrawn || mDrawnGridCell != mGridCell || mDrawnHint != mHint || !SameShown(mDrawn, mChord);
}

void ListedChordControl::DrawPlayTriangle(IGraphics& graphics) {
  const auto& t = mTriangle;
  graphics.FillTriangle(style::kSoundingGreen, t[0], t[1], t[2], t[3], t[4], t[5], &mBlend);
  style::SmoothRightTriangle(graphics, t[0], t[1], style::kEdgeGreenLight, style::kEdgeGreenDark);
}

void ListedChordControl::DrawRow(IGraphics& graphics) {
  mDrawn = mChord;
  mDrawnGridCell = mGridCell;
  mDrawnHint = mHint;
  mEverDrawn = true;
  if (mChord.IsEmpty()) {
    // An empty row hides the background's play triangle; a cell draws its own.
    if (!mGridCell) {
      graphics.FillRectangle(style::kEmptyDark, mInner);
      graphics.DrawRectangle(style::kEmptyDark, mInner);
      if (mHint != nullptr) graphics.DrawText(mHintStyle, mHint, Rect(mInner.left, mInner.top + 7, mInner.right, mInner.bottom));
    }
    return;
  }
  if (mGridCell && (mLabel != mFittedLabel || mFittedScale != graphics.DrawScale())) {
    mFittedLabel = mLabel;
    mFittedScale = graphics.DrawScale();
    mFittedSize = CellNameSize(graphics, mLabel, kCellNameRoom);
    SetCellNameSize(mFittedSize);
  }
  if (mChord.locked) graphics.FillRectangle(style::kLockedBlue, mFill);
  if (mChord.sounding) {
    graphics.DrawText(mSoundingStyle, mLabel.c_str(), mLabelRect);
    graphics.DrawRectangle(style::kSoundingGreen, mInner);
    if (!mGridCell) DrawPlayTriangle(graphics);
    return;
  }
  graphics.DrawText(mChord.locked ? mLockedStyle : mNormalStyle, mLabel.c_str(), mLabelRect);
}

bool ListedChordControl::Draw(IGraphics& graphics) {
  DrawRow(graphics);
  return true;
}

// --- ListOfChordsControl

ListOfChordsControl::ListOfChordsControl(Velmora* plugin, const Rect& rect)
    : IControl(plugin, rect, 7),
      mVelmora(plugin),
      mNumberStyle(style::Text(style::kCellOctaveSize, style::kCaptionGrey, TextStyle::kNormal, TextStyle::kCenter)) {
  // Quick clicks on an arrow each count.
  SetDoubleClickAsPress(true);
  for (int i = 0; i < ChordListRowCount; ++i) {
    auto row = std::make_unique<ListedChordControl>(plugin, mRowParamIdx, Rect(626, 7 + 33 * i, 955, 40 + 33 * i));
    row->SetListControl(this);
    mRows[static_cast<size_t>(i)] = row.get();
    mUnadded[static_cast<size_t>(i)] = std::move(row);
  }
  // It draws the list's position bar too, right of the rows; it is hit on
  // its octave row and beside the rows (HitTest).
  mRect = Rect(rect.left, kBarTop, kBarX + PositionBar::kWidth, rect.bottom);
}

// The rows belong to the editor.
ListOfChordsControl::~ListOfChordsControl() = default;

void ListOfChordsControl::ShowChordPage(const std::vector<ChordEntry>& list) {
  const size_t first = std::min(list.size(), static_cast<size_t>(mScrollOffset));
  const size_t last = std::min(list.size(), first + ChordListRowCount);
  ShowPage(std::vector<ChordEntry>(list.begin() + static_cast<std::ptrdiff_t>(first),
                                   list.begin() + static_cast<std::ptrdiff_t>(last)),
           static_cast<int>(list.size()));
}

void ListOfChordsControl::ShowPage(const std::vector<ChordEntry>& page, int entryCount) {
  mEntryCount = entryCount;
  for (int i = 0; i < ChordListRowCount; ++i) {
    ListedChordControl* row = Row(i);
    const size_t at = static_cast<size_t>(i);
    if (i >= mEntryCount || at >= page.size()) {
      row->SetChord(ChordEntry{}, false);
      continue;
    }
    row->SetChord(ShownEntry(page[at], i), false);
    row->SetOctave(mListOctaveShift);
  }
  ShowHint();
}

void ListOfChordsControl::SetNotesMarked(bool marked) {
  mNotesMarked = marked;
  ShowHint();
}

// An empty list says why: nothing marked yet, or filters that leave nothing.
void ListOfChordsControl::ShowHint() {
  const char* hint = mEntryCount > 0 ? nullptr : mNotesMarked ? kNoFitHint : kPickHint;
  for (int i = 0; i < ChordListRowCount; ++i) Row(i)->SetHint(i == 0 ? hint : nullptr);
}

void ListOfChordsControl::ApplyListOctave() {
  for (ListedChordControl* row : mRows) row->SetOctave(mListOctaveShift);
}

void ListOfChordsControl::ScrollTo(int first) {
  if (first == mScrollOffset) return;
  mScrollOffset = first;
  // Only the page is copied, so the plug-in's lock is held for no longer.
  const int count = mVelmora->ChordListPage(mScrollOffset, ChordListRowCount, mPage);
  ShowPage(mPage, count);
}

// A row per notch: fine enough to stop on any chord; the bar covers distance.
void ListOfChordsControl::MouseWheel(int, int, const MouseMods&, float delta) {
  if (mEntryCount < ChordListRowCount) return;
  // Whole notches; a turn past either end does nothing at all.
  const int n = mScrollOffset - static_cast<int>(delta);
  if (n < 0 || n > mEntryCount - ChordListRowCount) return;
  ScrollTo(n);
}

bool ListOfChordsControl::HitTest(int x, int y) {
  return IControl::HitTest(x, y) || mBar.Hits(x, y, ChordListRowCount, mEntryCount);
}

void ListOfChordsControl::MouseDrag(int, int y, int, int, const MouseMods&) {
  if (mBar.IsHeld()) ScrollTo(mBar.Drag(y, mScrollOffset, ChordListRowCount, mEntryCount));
}

void ListOfChordsControl::MouseUp(int, int, const MouseMods&) { mBar.Release(); }

void ListOfChordsControl::MouseCaptureLost() { mBar.Release(); }

void ListOfChordsControl::MouseDown(int x, int y, const MouseMods& mods) {
  if (mBar.Hits(x, y, ChordListRowCount, mEntryCount)) {
    if (mods.l) ScrollTo(mBar.Press(y, mScrollOffset, ChordListRowCount, mEntryCount));
    return;
  }
  if (mLeftArrow.Contains(x, y)) {
    if (mListOctaveShift <= kMinOctave) return;
    --mListOctaveShift;
  } else if (mRightArrow.Contains(x, y)) {
    if (mListOctaveShift >= kMaxOctave) return;
    ++mListOctaveShift;
  } else {
    return;
  }
  mVelmora->SetListOctaveShift(mListOctaveShift);
  ApplyListOctave();
  MarkDirty(false);
}

bool ListOfChordsControl::NeedsRepaint() {
  return IsDirty() || mDrawnOffset != mScrollOffset || mDrawnCount != mEntryCount;
}

bool ListOfChordsControl::Draw(IGraphics& graphics) {
  mDrawnOffset = mScrollOffset;
  mDrawnCount = mEntryCount;
  graphics.DrawText(mNumberStyle, std::to_string(mListOctaveShift).c_str(), mNumberRect);
  mBar.Draw(graphics, mScrollOffset, ChordListRowCount, mEntryCount);
  return true;
}

}  // namespace velmora
