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

bool GridHistory::Push(const GridCells& grid) {
  // Compared with the newest snapshot, not the one at the cursor.
  if (!snapshots_.empty() && SameSnapshot(snapshots_.back(), grid)) return false;
  if (IsAllEmpty(grid)) return false;
  while (static_cast<int>(snapshots_.size()) > cursor_ + 1) snapshots_.pop_back();
  if (cursor_ < capacity_) {
    ++cursor_;
  } else {
    snapshots_.pop_front();
  }
  snapshots_.push_back(grid);
  return true;
}

bool GridHistory::Undo(GridCells& grid) {
  if (cursor_ < 0) return false;
  // A grid that left the snapshot at the cursor unrecorded (a clear records
  // nothing) gets that snapshot back first: what was just lost comes first.
  const GridCells& atCursor = snapshots_[static_cast<size_t>(cursor_)];
  if (!SameSnapshot(atCursor, grid)) {
    grid = atCursor;
    return true;
  }
  if (cursor_ == 0) return false;
  --cursor_;
  grid = snapshots_[static_cast<size_t>(cursor_)];
  return true;
}

bool GridHistory::Redo(GridCells& grid) {
  if (!CanRedo()) return false;
  ++cursor_;
  grid = snapshots_[static_cast<size_t>(cursor_)];
  return true;
}

void ChordEngine::PushHistory() { History.Push(ChordGrid); }

void ChordEngine::UndoGrid() {
  if (History.Undo(ChordGrid)) ShowGrid();
}

void ChordEngine::RedoGrid() {
  if (History.Redo(ChordGrid)) ShowGrid();
}

}  // namespace velmora
