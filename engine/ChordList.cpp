#include <algorithm>
#include <cmath>

#include "engine/ChordEngine.h"

namespace velmora {
namespace {

template <size_t N>
bool AnySet(const std::array<bool, N>& flags) {
  return std::any_of(flags.begin(), flags.end(), [](bool f) { return f; });
}

// Lowest enabled inversion, or -1 when every switch is off.
int LowestEnabledInversion(const std::array<bool, kInversionCount>& enabled) {
  for (int k = 0; k < kInversionCount; ++k) {
    if (enabled[k]) return k;
  }
  return -1;
}

bool ContainsPitchClasses(const ChordNotes& notes, const std::array<bool, kPitchClassCount>& required) {
  for (int p = 0; p < kPitchClassCount; ++p) {
    if (!required[p]) continue;
    bool found = std::any_of(notes.begin(), notes.end(), [p](int n) { return n % 12 == p; });
    if (!found) return false;
  }
  return true;
}

// A note counts as marked when any of six octaves around it is marked. Chord
// rows lie in 60..92, so every probe is a note; computed once per rebuild.
std::array<bool, kNoteCount> MarkedAcrossOctaves(const std::array<bool, kNoteCount>& marks) {
  std::array<bool, kNoteCount> marked{};
  for (int note = 0; note < kNoteCount; ++note) {
    for (int shift = -36; shift <= 24 && !marked[note]; shift += 12) {
      const int probe = note + shift;
      marked[note] = probe >= 0 && probe < kNoteCount && marks[probe];
    }
  }
  return marked;
}

bool PassesLooseTest(const ChordNotes& notes, const std::array<bool, kNoteCount>& marked, int limit) {
  int unmarked = 0;
  for (int n : notes) {
    if (n >= 0 && n < kNoteCount && marked[n]) continue;
    if (unmarked >= limit) return false;
    ++unmarked;
  }
  return true;
}

// Refills a list slot from a chord row; names fit the string's own buffer, so
// a rebuild does not allocate once the list has its room.
void AssignChordRow(ChordEntry& entry, const ChordTableEntry& chord) {
  entry.notes = chord.notes;
  entry.root = chord.root;
  entry.chordType = chord.chordType;
  entry.locked = false;
  entry.name = chord.name;
  entry.octave = 0;
  entry.sounding = false;
  entry.gridIndex = -1;
  entry.inversion = 0;
}

}  // namespace

ChordEngine::ChordEngine() {
  ChordList.reserve(kChordRowCount);
  KeyboardHighlights.reserve(2 * kMaxKeyboardHighlights);
  history.Reset(ChordGrid);
}

void ChordEngine::RebuildChordList() {
  const bool anyRootIncluded = AnySet(IncludedRoots);
  const bool anyTypeIncluded = AnySet(IncludedChordTypes);
  const int lowestInversion = LowestEnabledInversion(EnabledInversions);
  const std::array<bool, kNoteCount> marked = MarkedAcrossOctaves(NoteMarks);
  // Slots of the previous list are refilled in place, so a rebuild rarely allocates.
  size_t count = 0;
  for (const ChordTableEntry& chord : ChordTable()) {
    const int r = chord.root;
    const int t = chord.chordType;
    if (ExcludedRoots[r] || ExcludedChordTypes[t]) continue;
    if (anyRootIncluded && !IncludedRoots[r]) continue;
    if (anyTypeIncluded && !IncludedChordTypes[t]) continue;
    if (lowestInversion < 0 || lowestInversion >= static_cast<int>(chord.notes.size())) continue;
    if (!ContainsPitchClasses(chord.notes, PitchClassSelection)) continue;
    if (!PassesLooseTest(chord.notes, marked, LooseMatchLimit)) continue;
    if (count == ChordList.size()) ChordList.emplace_back();
    AssignChordRow(ChordList[count++], chord);
  }
  ChordList.resize(count);
  if (views.chordList != nullptr) views.chordList->ChordListRebuilt();
}

bool ChordEngine::ListHasNoChord() const {
  return std::all_of(ChordList.begin(), ChordList.end(), [](const ChordEntry& e) { return e.IsEmpty(); });
}

void ChordEngine::ApplyChordChoice(const ChordPopupChoice& choice, std::array<bool, kPitchClassCount>& roots,
                                   std::array<bool, kChordTypeCount>& types, FilterListView* view) {
  // Root and type are added as two separate flags, each with its own rebuild.
  if (choice.chosenRoot >= 0 && choice.chosenRoot < kPitchClassCount) {
    roots[choice.chosenRoot] = true;
    if (view != nullptr) view->MarkForRedraw();
    RebuildChordList();
  }
  if (choice.chosenType >= 0 && choice.chosenType < kChordTypeCount) {
    types[choice.chosenType] = true;
    if (view != nullptr) view->MarkForRedraw();
    RebuildChordList();
  }
}

void ChordEngine::ApplyExclusionChoice() {
  ApplyChordChoice(exclusionPopup, ExcludedRoots, ExcludedChordTypes, views.exclusions);
}

void ChordEngine::ApplyInclusionChoice() {
  ApplyChordChoice(inclusionPopup, IncludedRoots, IncludedChordTypes, views.inclusions);
}

void ChordEngine::ClearChordFilters(std::array<bool, kPitchClassCount>& roots,
                                    std::array<bool, kChordTypeCount>& types, FilterListView* view,
                                    ChordPopupChoice& popup) {
  roots.fill(false);
  types.fill(false);
  if (view != nullptr) {
    view->ResetScrollPositions();
    view->MarkForRedraw();
  }
  popup = ChordPopupChoice{};
  RebuildChordList();
}

void ChordEngine::ClearExclusions() {
  ClearChordFilters(ExcludedRoots, ExcludedChordTypes, views.exclusions, exclusionPopup);
}

void ChordEngine::ClearInclusions() {
  ClearChordFilters(IncludedRoots, IncludedChordTypes, views.inclusions, inclusionPopup);
}

void ChordEngine::SetLooseMatchLimit(double value) {
  // Compared before truncation, so 2.5 against 2 still counts as a change.
  if (value == static_cast<double>(LooseMatchLimit)) return;
  // The parameter's range is 0..4; NaN or anything outside cannot become a bad int.
  double bounded = std::isnan(value) ? 0.0 : std::clamp(value, 0.0, 4.0);
  LooseMatchLimit = static_cast<int>(std::trunc(bounded));
  RebuildChordList();
}

void ChordEngine::SetInversionEnabled(int k, bool on) {
  if (k < 0 || k >= kInversionCount) return;
  EnabledInversions[k] = on;
  RebuildChordList();
}

}  // namespace velmora
