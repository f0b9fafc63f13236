#include "engine/GridHistory.h"

#include "engine/ChordEngine.h"

namespace velmora {

bool SameSnapshot(const GridCells& a, const GridCells& b) {
  for (int i = 0; i < kGridCellCount; ++i) {
    const ChordEntry& x = a[i];
    const ChordEntry& y = b[i];
    if (x.root != y.root || x.chordType != y.chordType || x.locked != y.locked ||
        x.octave != y.octave || x.inversion != y.inversion || x.notes != y.notes) {
      return false;
    }
  }
  return true;
}

bool IsAllEmpty(const GridCells& cells) {
  for (const ChordEntry& cell : cells) {
    if (!cell.IsEmpty()) return false;
  }
  return true;
}

void GridHistory::Reset(const GridCells& grid) {
  mSnapshots.assign(1, grid);
  mCursor = 0;
}

bool GridHistory::Push(const GridCells& grid) {
  // Compared with the newest snapshot, not the one at the cursor.
  if (!mSnapshots.empty() && SameSnapshot(mSnapshots.back(), grid)) return false;
  if (IsAllEmpty(grid)) return false;
  while (static_cast<int>(mSnapshots.size()) > mCursor + 1) mSnapshots.pop_back();
  if (mCursor < mCapacity) {
    ++mCursor;
  } else {
    mSnapshots.pop_front();
  }
  mSnapshots.push_back(grid);
  return true;
}

bool GridHistory::Undo(GridCells& grid) {
  if (mCursor < 0) return false;
  // A grid that left the snapshot at the cursor unrecorded (a clear records
  // nothing) gets that snapshot back first: what was just lost comes first.
  const GridCells& atCursor = mSnapshots[static_cast<size_t>(mCursor)];
  if (!SameSnapshot(atCursor, grid)) {
    grid = atCursor;
    return true;
  }
  if (mCursor == 0) return false;
  --mCursor;
  grid = mSnapshots[static_cast<size_t>(mCursor)];
  return true;
}

bool GridHistory::Redo(GridCells& grid) {
  if (!CanRedo()) return false;
  ++mCursor;
  grid = mSnapshots[static_cast<size_t>(mCursor)];
  return true;
}

void ChordEngine::PushHistory() { history.Push(ChordGrid); }

void ChordEngine::UndoGrid() {
  if (history.Undo(ChordGrid)) ShowGrid();
}

void ChordEngine::RedoGrid() {
  if (history.Redo(ChordGrid)) ShowGrid();
}

}  // namespace velmora
