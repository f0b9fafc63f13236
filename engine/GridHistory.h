#pragma once

#include <array>
#include <deque>

#include "engine/ChordEntry.h"

namespace velmora {

constexpr int kGridCellCount = 16;
using GridCells = std::array<ChordEntry, kGridCellCount>;

// Equality for history purposes: name, sounding and gridIndex are ignored.
bool SameSnapshot(const GridCells& a, const GridCells& b);
bool IsAllEmpty(const GridCells& cells);

// A linear undo history of whole grids. The cursor never exceeds the capacity,
// so at most capacity + 1 snapshots are kept.
class GridHistory {
 public:
  static constexpr int kCapacity = 128;

  // Starts the history afresh at grid, empty or not, so that the first
  // change after it can be undone like any other.
  void Reset(const GridCells& grid);
  // Records a copy of the grid; false when nothing was recorded.
  bool Push(const GridCells& grid);
  // Step the cursor and copy the snapshot there into grid; false when at an
  // end. Undo first copies the snapshot at the cursor, without moving it,
  // when grid no longer equals it.
  bool Undo(GridCells& grid);
  bool Redo(GridCells& grid);

  // Whether Undo or Redo would change grid.
  bool CanUndo(const GridCells& grid) const {
    return mCursor > 0 || (mCursor == 0 && !SameSnapshot(mSnapshots.front(), grid));
  }
  bool CanRedo() const { return mCursor < mCapacity && mCursor < static_cast<int>(mSnapshots.size()) - 1; }

  const std::deque<GridCells>& Snapshots() const { return mSnapshots; }
  int Cursor() const { return mCursor; }
  int Capacity() const { return mCapacity; }

 private:
  std::deque<GridCells> mSnapshots;
  int mCursor = -1;
  int mCapacity = kCapacity;  // fixed for the object's life
};

}  // namespace velmora
