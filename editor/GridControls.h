#pragma once

#include <array>
#include <memory>
#include <string>

#include "editor/ChordListControls.h"
#include "engine/GridHistory.h"

namespace velmora {

// One of the sixteen grid cells: a list row in its grid-cell variant, with
// octave arrows, the octave number and an inversion corner. Presses elsewhere
// play the cell (left) or toggle its lock (right); dragging it onto another
// cell swaps them.
//
// Threads: the editor's thread only.
class GridChordControl : public ListedChordControl {
 public:
  GridChordControl(Velmora* plugin, int paramIdx, const Rect& rect);

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseUp(int x, int y, const MouseMods& mods) override;
  bool Draw(IGraphics& graphics) override;

 private:
  bool InHotSpot(int x, int y) const;
  void DrawNumbers(IGraphics& graphics);
  void DrawArrows(IGraphics& graphics);
  // The host note that plays the cell, small in its corner.
  void DrawTriggerNote(IGraphics& graphics);

  TextStyle mOctaveNormal, mOctaveSounding, mOctaveLocked;
  TextStyle mInvNormal, mInvLocked, mInvNumberNormal, mInvNumberSounding, mInvNumberLocked;
  Rect mLeftArrow, mRightArrow, mOctaveRect, mInversionRect, mInversionSpot;
  TextStyle mTriggerNormal, mTriggerSounding, mTriggerLocked;
  std::string mTriggerNote;
};

// The grid container: creates the sixteen cells and refills them from a copy
// of the grid. It is never added to the editor, so it never draws or is hit.
//
// Threads: the editor's thread only.
class GridOfChordsControl : public IControl {
 public:
  GridOfChordsControl(Velmora* plugin, const Rect& rect);
  ~GridOfChordsControl() override;

  bool Draw(IGraphics&) override { return true; }

  void ShowGridCells(const GridCells& cells);
  GridChordControl* Cell(int i) const { return mCells[static_cast<size_t>(i)]; }
  // Hands cell i to the editor, once; the container keeps reaching it.
  std::unique_ptr<GridChordControl> TakeCell(int i) { return std::move(mUnadded[static_cast<size_t>(i)]); }

 private:
  int mCellParamIdx = 10;
  std::array<GridChordControl*, kGridCellCount> mCells{};
  std::array<std::unique_ptr<GridChordControl>, kGridCellCount> mUnadded;  // until TakeCell
};

}  // namespace velmora
