// Entries the editor's controls call directly on their own thread. Each takes
// the plug-in lock so that it never overlaps block processing or a parameter
// change.
#include "core/Velmora.h"

namespace velmora {

void Velmora::ToggleCellLock(const ChordEntry& entry) {
  auto lock = Lock();
  mEngine.ToggleCellLock(entry);
}

void Velmora::SetCellOctave(const ChordEntry& entry) {
  auto lock = Lock();
  mEngine.SetCellOctave(entry);
}

void Velmora::SetCellInversion(const ChordEntry& entry) {
  auto lock = Lock();
  mEngine.SetCellInversion(entry);
}

void Velmora::MoveCell(int left, int top, int x, int y) {
  auto lock = Lock();
  mEngine.MoveCell(left, top, x, y);
}

void Velmora::PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y) {
  auto lock = Lock();
  mEngine.PlaceListChord(rowChord, rowTop, x, y);
}

void Velmora::ToggleKeyboardNote(int key) {
  auto lock = Lock();
  mEngine.ToggleKeyboardNote(key);
}

void Velmora::RemoveFilterFlag(bool& flag, ChordPopupChoice& popup, FilterListView* view) {
  flag = false;
  popup = ChordPopupChoice{};
  if (view != nullptr) view->MarkForRedraw();
  mEngine.RebuildChordList();
}

void Velmora::RemoveExcludedRoot(int root) {
  auto lock = Lock();
  if (root < 0 || root >= kPitchClassCount) return;
  RemoveFilterFlag(mEngine.ExcludedRoots[root], mEngine.ExclusionPopup, mEngine.views.exclusions);
}

void Velmora::RemoveExcludedChordType(int chordType) {
  auto lock = Lock();
  if (chordType < 0 || chordType >= kChordTypeCount) return;
  RemoveFilterFlag(mEngine.ExcludedChordTypes[chordType], mEngine.ExclusionPopup, mEngine.views.exclusions);
}

void Velmora::RemoveIncludedRoot(int root) {
  auto lock = Lock();
  if (root < 0 || root >= kPitchClassCount) return;
  RemoveFilterFlag(mEngine.IncludedRoots[root], mEngine.InclusionPopup, mEngine.views.inclusions);
}

void Velmora::RemoveIncludedChordType(int chordType) {
  auto lock = Lock();
  if (chordType < 0 || chordType >= kChordTypeCount) return;
  RemoveFilterFlag(mEngine.IncludedChordTypes[chordType], mEngine.InclusionPopup, mEngine.views.inclusions);
}

std::vector<ChordEntry> Velmora::ChordListCopy() const {
  auto lock = Lock();
  return mEngine.ChordList;
}

void Velmora::SetListOctaveShift(int shift) {
  auto lock = Lock();
  mEngine.ListOctaveShift = shift;
}

}  // namespace velmora
