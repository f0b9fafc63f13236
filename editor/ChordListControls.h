#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "editor/PositionBar.h"
#include "engine/ChordEntry.h"
#include "framework/graphics/IControl.h"

namespace velmora {

class ListOfChordsControl;
class Velmora;

// One chord of the list: it shows a ChordEntry by name, plays it while the
// left button is held and can be dragged onto the grid, or out of the
// editor's window as a MIDI file (back over the window before the release,
// the drag is the grid's again). Also the base of the
// grid cell, whose variant is laid out by SetChord. A press remembers the
// chord it started: what the row shows may change while the button is held
// (a page turn, a rebuilt list, a refilled grid), and the release stops and
// drops what was pressed. A double click is a press.
//
// Threads: the editor's thread only. It holds a copy of what it shows; the
// editor's sync refills it from the plug-in.
class ListedChordControl : public IControl {
 public:
  ListedChordControl(Velmora* plugin, int paramIdx, const Rect& rect);
  ~ListedChordControl() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseUp(int x, int y, const MouseMods& mods) override;
  void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
  void MouseDoubleClick(int x, int y, const MouseMods& mods) override { MouseDown(x, y, mods); }
  void MouseWheel(int x, int y, const MouseMods& mods, float delta) override;
  // A press that ends any other way than by its release stops its chord and
  // drops nothing.
  void MouseCaptureLost() override;
  bool Draw(IGraphics& graphics) override;
  // Redrawn at every editor refresh...
  bool IsDirty() override { return true; }
  // ...but painted only when what it shows changed.
  bool NeedsRepaint() override;

  // Shows an entry; a grid cell lays itself out as one.
  void SetChord(const ChordEntry& entry, bool gridCell);
  const ChordEntry& Chord() const { return mChord; }
  void SetOctave(int octave) { mChord.octave = octave; }
  void SetLocked(bool locked) { mChord.locked = locked; }
  void SetInversion(int inversion) { mChord.inversion = inversion; }
  void SetSounding(bool sounding) { mChord.sounding = sounding; }
  bool IsGridCell() const { return mGridCell; }
  bool IsDragging() const { return mDragging; }
  // Where the pointer was at the last drag step.
  int DragX() const { return mDragX; }
  int DragY() const { return mDragY; }
  const std::string& Label() const { return mLabel; }
  // What a drag carries: the chord pressed, whatever the row shows since
  // (the list may scroll under the drag).
  const ChordEntry& DraggedChord() const { return mHolding ? mPressed : mChord; }
  // A short text an empty row shows in place of a chord; null for none.
  void SetHint(const char* hint) { mHint = hint; }
  const char* Hint() const { return mHint; }
  // The list whose wheel a list row passes on.
  void SetListControl(ListOfChordsControl* list) { mList = list; }
  // The size a grid cell draws a name in: its own, or the largest smaller
  // one at which the measured name is no wider than room.
  static int CellNameSize(IGraphics& graphics, const std::string& name, int room);
  // A cell's room for its name: the 90 columns inside its outline, less two
  // of air on each side and one more where a glyph may ink past its advance.
  static constexpr int kCellNameRoom = 90 - 2 * (2 + 1);

 protected:
  // The press and release that play the chord, lock a cell and end a drag.
  void RowPress(const MouseMods& mods);
  void RowRelease(int x, int y);
  // Stops the chord the press started, if any.
  void StopPressedChord();
  // The pointer left the window with the chord: the platform's file drag.
  void CarryOut();
  // The row's own drawing; for a grid cell everything before the arrows.
  void DrawRow(IGraphics& graphics);
  // A grid cell's three name styles, at this size.
  void SetCellNameSize(int size);

  TextStyle mNormalStyle;
  TextStyle mSoundingStyle;
  TextStyle mLockedStyle;
  Rect mFull;
  Rect mInner;
  Rect mFill;
  Rect mLabelRect;
  Velmora* mVelmora;
  std::string mLabel;
  bool mGridCell = false;
  bool mDragging = false;
  bool mDragFromGrid = false;
  int mDragX = 0, mDragY = 0;
  std::array<int, 6> mTriangle{};  // x1, y1, x2, y2, x3, y3
  ChordEntry mChord;
  // The chord the left press started, until its release.
  ChordEntry mPressed;
  bool mHolding = false;
  // This press found no way out of the window; it stays an inside drag.
  bool mOutOfReach = false;

 private:
  void DrawPlayTriangle(IGraphics& graphics);

  ListOfChordsControl* mList = nullptr;
  const char* mHint = nullptr;
  TextStyle mHintStyle;
  // What the last Draw showed, to tell whether a repaint is needed.
  const char* mDrawnHint = nullptr;
  ChordEntry mDrawn;
  bool mDrawnGridCell = false;
  bool mEverDrawn = false;
  // The name a grid cell last measured, and the size it fits at.
  std::string mFittedLabel;
  int mFittedSize;
  int mFittedScale = 0;  // the editor's scale the fit was measured at
};

// The chord list: twenty rows of the list, moved a row per wheel notch or
// along the position bar beside them, and the octave selector under them
// that shifts what the rows play.
//
// Threads: the editor's thread only.
class ListOfChordsControl : public IControl {
 public:
  static constexpr int ChordListRowCount = 20;
  static constexpr int kMinOctave = -4;
  static constexpr int kMaxOctave = 4;
  // The position bar: between the rows and the list's edge, rows 0..19;
  // hit from the rows' edge to just past the panel's frame.
  static constexpr int kBarX = 956;
  static constexpr int kBarTop = 9;
  static constexpr int kBarHeight = 33 * ChordListRowCount - 4;
  static constexpr int kBarHitLeft = 955;
  static constexpr int kBarHitRight = 961;

  // Creates its rows, which the editor then owns once added.
  ListOfChordsControl(Velmora* plugin, const Rect& rect);
  ~ListOfChordsControl() override;

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
  void MouseUp(int x, int y, const MouseMods& mods) override;
  void MouseCaptureLost() override;
  void MouseWheel(int x, int y, const MouseMods& mods, float delta) override;
  // The octave row, and the position bar while it shows.
  bool HitTest(int x, int y) override;
  bool Draw(IGraphics& graphics) override;
  bool NeedsRepaint() override;

  // Shows the page of list starting at ScrollOffset.
  void ShowChordPage(const std::vector<ChordEntry>& list);
  // The same from that page alone: page[i] is entry ScrollOffset + i of a
  // list of entryCount entries.
  void ShowPage(const std::vector<ChordEntry>& page, int entryCount);
  // Whether any note is marked, which tells an empty list's hint.
  void SetNotesMarked(bool marked);
  // A rebuilt list starts at its first entry.
  void ResetScroll() { mScrollOffset = 0; }
  void ApplyListOctave();
  static constexpr const char* kPickHint = "Pick a root and a scale below the keyboard";
  static constexpr const char* kNoFitHint = "No chord fits these filters";

  ListedChordControl* Row(int i) const { return mRows[static_cast<size_t>(i)]; }
  // Hands row i to the editor, once; the list keeps reaching it.
  std::unique_ptr<ListedChordControl> TakeRow(int i) { return std::move(mUnadded[static_cast<size_t>(i)]); }
  int ScrollOffset() const { return mScrollOffset; }
  int EntryCount() const { return mEntryCount; }
  int ListOctaveShift() const { return mListOctaveShift; }

 private:
  void ShowHint();
  // Shows the page from entry first on.
  void ScrollTo(int first);

  Velmora* mVelmora;
  int mRowParamIdx = 9;
  int mScrollOffset = 0;
  int mEntryCount = 0;
  Rect mLeftArrow{690, 673, 711, 694};
  Rect mRightArrow{726, 673, 747, 694};
  // Exactly the gap between the arrows' frames: at a cell's octave size "-4"
  // then keeps two columns from each, in the rows of the arrows' triangles.
  Rect mNumberRect{711, 676, 726, 697};
  TextStyle mNumberStyle;
  int mListOctaveShift = 0;
  std::array<ListedChordControl*, ChordListRowCount> mRows{};
  bool mNotesMarked = false;
  // The position bar last drawn: first entry shown and the list's length.
  int mDrawnOffset = -1;
  int mDrawnCount = -1;
  PositionBar mBar{kBarX, kBarTop, kBarHeight, kBarHitLeft, kBarHitRight};
  std::array<std::unique_ptr<ListedChordControl>, ChordListRowCount> mUnadded;  // until TakeRow
  std::vector<ChordEntry> mPage;  // the scrolled page's copy, kept for its room
};

}  // namespace velmora
