#include <algorithm>

#include "engine/ChordEngine.h"

namespace velmora {
namespace {

constexpr int kCellSize = 94;
constexpr int kGridLeft = 17;
constexpr int kGridTop = 316;
constexpr int kListRowTop = 7;
constexpr int kListRowPitch = 33;

// First cell, in index order, that contains the point; -1 when none does.
int FirstCellAt(long long x, long long y) {
  for (int i = 0; i < kGridCellCount; ++i) {
    if (GridCellRect(i).Contains(x, y)) return i;
  }
  return -1;
}

bool IsListRowTop(long long rowTop, int rowCount) {
  const long long probe = rowTop + 16;
  for (int r = 0; r < rowCount; ++r) {
    const long long low = kListRowTop + kListRowPitch * r;
    if (probe >= low && probe <= low + kListRowPitch) return true;
  }
  return false;
}

}  // namespace

CellRect GridCellRect(int index) {
  const int left = kGridLeft + (index % 4) * kCellSize;
  const int top = kGridTop + (3 - index / 4) * kCellSize;
  return CellRect{left, top, left + kCellSize, top + kCellSize};
}

void ChordEngine::ShowGrid() {
  if (views.grid != nullptr) views.grid->GridChanged();
}

void ChordEngine::FillRandomCell(int index, std::vector<ChordEntry>& candidates) {
  const int j = mRandom.IndexBelow(static_cast<int>(candidates.size()));
  const ChordEntry& candidate = candidates[static_cast<size_t>(j)];
  ChordEntry cell = EntryFromChordRow(ChordRowIndex(candidate.root, candidate.chordType), index);
  candidates.erase(candidates.begin() + j);
  if (cell.IsEmpty()) {
    ChordGrid[index] = EmptyEntry();
    return;
  }
  cell.octave = std::clamp(ListOctaveShift, kMinOctave, kMaxOctave);
  std::vector<int> allowed;
  const int limit = std::min(static_cast<int>(cell.notes.size()), kInversionCount);
  for (int k = 0; k < limit; ++k) {
    if (EnabledInversions[k]) allowed.push_back(k);
  }
  if (!allowed.empty()) cell.inversion = allowed[static_cast<size_t>(mRandom.IndexBelow(static_cast<int>(allowed.size())))];
  ChordGrid[index] = std::move(cell);
}

void ChordEngine::RandomizeGrid() {
  if (ListHasNoChord()) return;
  std::vector<const ChordNotes*> lockedNotes;
  for (const ChordEntry& cell : ChordGrid) {
    if (!cell.IsEmpty() && cell.locked) lockedNotes.push_back(&cell.notes);
  }
  std::vector<ChordEntry> candidates;
  for (const ChordEntry& entry : ChordList) {
    const bool held = std::any_of(lockedNotes.begin(), lockedNotes.end(),
                                  [&entry](const ChordNotes* notes) { return *notes == entry.notes; });
    if (!held) candidates.push_back(entry);
  }
  for (int i = 0; i < kGridCellCount; ++i) {
    const ChordEntry& cell = ChordGrid[i];
    if (!cell.IsEmpty() && cell.locked) continue;
    if (candidates.empty()) {
      ChordGrid[i] = EmptyEntry();
    } else {
      FillRandomCell(i, candidates);
    }
  }
  PushHistory();
  ShowGrid();
}

void ChordEngine::ClearGrid() {
  ChordGrid.fill(EmptyEntry());
  PushHistory();
  ShowGrid();
}

void ChordEngine::ShiftGridOctave(int delta) {
  for (ChordEntry& cell : ChordGrid) {
    if (cell.IsEmpty() || cell.locked) continue;
    if (delta > 0 && cell.octave < kMaxOctave) ++cell.octave;
    if (delta < 0 && cell.octave > kMinOctave) --cell.octave;
  }
  PushHistory();
  ShowGrid();
}

void ChordEngine::ToggleCellLock(const ChordEntry& entry) {
  for (int i = 0; i < kGridCellCount; ++i) {
    ChordEntry& cell = ChordGrid[i];
    if (!cell.IsEmpty() && cell.root == entry.root && cell.chordType == entry.chordType && i == entry.gridIndex) {
      cell.locked = !cell.locked;
    }
  }
  PushHistory();
}

void ChordEngine::SetCellOctave(const ChordEntry& entry) {
  for (int i = 0; i < kGridCellCount; ++i) {
    ChordEntry& cell = ChordGrid[i];
    if (i == entry.gridIndex && cell.notes == entry.notes) {
      cell.octave = std::clamp(entry.octave, kMinOctave, kMaxOctave);
      break;
    }
  }
  PushHistory();
}

void ChordEngine::SetCellInversion(const ChordEntry& entry) {
  if (entry.gridIndex >= 0 && entry.gridIndex < kGridCellCount) {
    ChordEntry& cell = ChordGrid[entry.gridIndex];
    if (!cell.IsEmpty()) cell.inversion = entry.inversion;
  }
  PushHistory();
}

void ChordEngine::MoveCell(int left, int top, int x, int y) {
  const long long centreX = static_cast<long long>(left) + kCellSize / 2;
  const long long centreY = static_cast<long long>(top) + kCellSize / 2;
  int source = -1;
  int target = -1;
  // Shared borders can match two cells; the later one wins for both roles.
  for (int i = 0; i < kGridCellCount; ++i) {
    const CellRect rect = GridCellRect(i);
    if (rect.Contains(centreX, centreY)) {
      source = i;
    } else if (rect.Contains(x, y)) {
      target = i;
    }
  }
  if (source < 0 || target < 0 || source == target) return;
  std::swap(ChordGrid[source], ChordGrid[target]);
  PushHistory();
  ShowGrid();
}

void ChordEngine::PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y) {
  if (!IsListRowTop(rowTop, ChordListRowCount)) return;
  const int target = FirstCellAt(x, y);
  if (target < 0) return;
  ChordEntry& cell = ChordGrid[target];
  cell.notes = rowChord.notes;
  cell.root = rowChord.root;
  cell.chordType = rowChord.chordType;
  cell.name = rowChord.name;
  cell.octave = std::clamp(rowChord.octave, kMinOctave, kMaxOctave);
  cell.sounding = rowChord.sounding;
  cell.locked = false;
  cell.gridIndex = -1;
  cell.inversion = 0;
  PushHistory();
  ShowGrid();
}

}  // namespace velmora
