// Entries the editor's controls call directly on their own thread. Each takes
// the plug-in lock so that it never overlaps block processing or a parameter
// change.
#include "core/Velmora.h"

#include <algorithm>

namespace velmora {

void Velmora::ToggleCellLock(const ChordEntry& entry) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.ToggleCellLock(entry);
}

void Velmora::SetCellOctave(const ChordEntry& entry) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.SetCellOctave(entry);
}

void Velmora::SetCellInversion(const ChordEntry& entry) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.SetCellInversion(entry);
}

void Velmora::MoveCell(int left, int top, int x, int y) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.MoveCell(left, top, x, y);
}

void Velmora::PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.PlaceListChord(rowChord, rowTop, x, y);
}

void Velmora::ToggleKeyboardNote(int key) {
  auto lock = Lock();
  MarkStateEdited();
  mEngine.ToggleKeyboardNote(key);
}

ChordPopupChoice& Velmora::ChoiceOf(FilterBox box) {
  return box == FilterBox::kExclusions ? mEngine.exclusionPopup : mEngine.inclusionPopup;
}

void Velmora::RemoveFilterFlag(bool& flag, FilterBox box) {
  flag = false;
  MarkStateEdited();
  ChoiceOf(box) = ChordPopupChoice{};
  FilterListView* view = box == FilterBox::kExclusions ? mEngine.views.exclusions : mEngine.views.inclusions;
  if (view != nullptr) view->MarkForRedraw();
  mEngine.RebuildChordList();
}

void Velmora::RemoveFilterRoot(FilterBox box, int root) {
  auto lock = Lock();
  if (root < 0 || root >= kPitchClassCount) return;
  auto& roots = box == FilterBox::kExclusions ? mEngine.ExcludedRoots : mEngine.IncludedRoots;
  RemoveFilterFlag(roots[static_cast<size_t>(root)], box);
}

void Velmora::RemoveFilterChordType(FilterBox box, int chordType) {
  auto lock = Lock();
  if (chordType < 0 || chordType >= kChordTypeCount) return;
  auto& types = box == FilterBox::kExclusions ? mEngine.ExcludedChordTypes : mEngine.IncludedChordTypes;
  RemoveFilterFlag(types[static_cast<size_t>(chordType)], box);
}

ScalePopupChoice Velmora::ScaleChoice() const {
  auto lock = Lock();
  return mEngine.scalePopup;
}

void Velmora::SetScaleChoice(int root, int scale) {
  auto lock = Lock();
  ScalePopupChoice& choice = mEngine.scalePopup;
  choice.chosenRoot = root;
  choice.chosenScale = scale;
  choice.noteLabel = root >= 0 ? NoteShortName(root) : "-";
  choice.scaleLabel = scale >= 0 ? ScaleShortName(scale) : "-";
  mChanges.ScaleChoiceChanged();
}

ChordPopupChoice Velmora::ChordChoice(FilterBox box) const {
  auto lock = Lock();
  return box == FilterBox::kExclusions ? mEngine.exclusionPopup : mEngine.inclusionPopup;
}

FilterFlags Velmora::FilterEntries(FilterBox box) const {
  auto lock = Lock();
  const bool excl = box == FilterBox::kExclusions;
  return FilterFlags{excl ? mEngine.ExcludedRoots : mEngine.IncludedRoots,
                     excl ? mEngine.ExcludedChordTypes : mEngine.IncludedChordTypes};
}

void Velmora::SetChordChoice(FilterBox box, int root, int chordType) {
  auto lock = Lock();
  ChoiceOf(box) = ChordPopupChoice{root, chordType};
}

std::vector<ChordEntry> Velmora::ChordListCopy() const {
  auto lock = Lock();
  return mEngine.ChordList;
}

int Velmora::ChordListPage(int first, int count, std::vector<ChordEntry>& page) const {
  auto lock = Lock();
  const std::vector<ChordEntry>& list = mEngine.ChordList;
  const size_t begin = std::min(list.size(), static_cast<size_t>(std::max(first, 0)));
  const size_t end = std::min(list.size(), begin + static_cast<size_t>(std::max(count, 0)));
  page.assign(list.begin() + static_cast<std::ptrdiff_t>(begin), list.begin() + static_cast<std::ptrdiff_t>(end));
  return static_cast<int>(list.size());
}

int Velmora::ListOctaveShift() const {
  auto lock = Lock();
  return mEngine.ListOctaveShift;
}

void Velmora::SetListOctaveShift(int shift) {
  auto lock = Lock();
  mEngine.ListOctaveShift = shift;
}

}  // namespace velmora
