#include <algorithm>

#include "engine/ChordEngine.h"
#include "engine/StateTextScanner.h"

namespace velmora {
namespace {

using Event = StateTextScanner::Event;

void AppendNumber(std::string& text, int value) {
  text += std::to_string(value);
  text += ' ';
}

template <size_t N>
void AppendSetFlags(std::string& text, const std::array<bool, N>& flags) {
  for (size_t i = 0; i < N; ++i) {
    if (flags[i]) AppendNumber(text, static_cast<int>(i));
  }
}

template <size_t N>
std::string WriteFlagText(const std::array<bool, kPitchClassCount>& roots, const std::array<bool, N>& types) {
  std::string text;
  AppendSetFlags(text, roots);
  text += ',';
  AppendSetFlags(text, types);
  return text;
}

// Numbers naming no flag (a damaged or foreign text) are skipped.
template <size_t N>
void SetFlagIfValid(std::array<bool, N>& flags, int value) {
  if (value >= 0 && static_cast<size_t>(value) < N) flags[static_cast<size_t>(value)] = true;
}

// Missing inversions read as 0; values are kept to those a cell can show.
StateTextResult ReadInversions(const std::string& text, std::array<int, kGridCellCount>& inversions) {
  inversions.fill(0);
  StateTextScanner scanner(text, false);
  for (int count = 0; count < kGridCellCount && scanner.Next() == Event::kToken; ++count) {
    int value = 0;
    const StateTextResult result = ConvertToken(scanner.Token(), value);
    if (result != StateTextResult::kOk) return result;
    inversions[count] = std::clamp(value, 0, kInversionCount - 1);
  }
  return StateTextResult::kOk;
}

struct GroupValues {
  int tokens = 0;
  int root = -1;
  int chordType = -1;
  int octave = 0;
  bool locked = false;
};

StateTextResult TakeGroupToken(std::string_view token, GroupValues& group) {
  if (group.tokens >= 4) return StateTextResult::kOk;  // extra tokens are not even converted
  int value = 0;
  const StateTextResult result = ConvertToken(token, value);
  if (result != StateTextResult::kOk) return result;
  switch (group.tokens++) {
    case 0: group.root = value; break;
    case 1: group.chordType = value; break;
    case 2: group.octave = value; break;
    default: group.locked = value == 1; break;
  }
  return StateTextResult::kOk;
}

// A root of 12 or more still selects the row its index names, as saved texts
// have always been read; only an index outside the table ends the restore.
StateTextResult MakeCell(const GroupValues& group, int index, int inversion, ChordEntry& cell) {
  if (group.root == -1) {
    cell = EmptyEntry();
    return StateTextResult::kOk;
  }
  const long long row = static_cast<long long>(group.chordType) * kPitchClassCount + group.root;
  if (row < 0 || row >= kChordRowCount) return StateTextResult::kOutOfRange;
  cell = EntryFromChordRow(static_cast<int>(row), index);
  cell.octave = std::clamp(group.octave, kMinOctave, kMaxOctave);
  cell.locked = group.locked;
  cell.inversion = inversion;
  return StateTextResult::kOk;
}

}  // namespace

std::string ChordEngine::WriteGridText() const {
  std::string text;
  for (const ChordEntry& cell : ChordGrid) {
    if (cell.IsEmpty()) {
      text += "-1 ,";
      continue;
    }
    AppendNumber(text, cell.root);
    AppendNumber(text, cell.chordType);
    AppendNumber(text, cell.octave);
    text += cell.locked ? "1 ," : "0 ,";
  }
  return text;
}

std::string ChordEngine::WriteHighlightsText() const {
  std::string text;
  for (int note : KeyboardHighlights) AppendNumber(text, note);
  return text;
}

std::string ChordEngine::WriteExclusionsText() const { return WriteFlagText(ExcludedRoots, ExcludedChordTypes); }

std::string ChordEngine::WriteInclusionsText() const { return WriteFlagText(IncludedRoots, IncludedChordTypes); }

std::string ChordEngine::WritePitchClassText() const {
  std::string text;
  AppendSetFlags(text, PitchClassSelection);
  return text;
}

std::string ChordEngine::WriteInversionsText() const {
  std::string text;
  for (const ChordEntry& cell : ChordGrid) AppendNumber(text, cell.inversion);
  return text;
}

StateTextResult ChordEngine::ReadGridText(const std::string& gridText, const std::string& inversionsText) {
  std::array<int, kGridCellCount> inversions{};
  StateTextResult result = ReadInversions(inversionsText, inversions);
  if (result != StateTextResult::kOk) return result;

  StateTextScanner scanner(gridText, true);
  GroupValues group;
  int cellIndex = 0;
  while (cellIndex < kGridCellCount) {
    const Event event = scanner.Next();
    if (event == Event::kEnd) break;
    if (event == Event::kToken) {
      result = TakeGroupToken(scanner.Token(), group);
    } else {
      result = MakeCell(group, cellIndex, inversions[cellIndex], ChordGrid[cellIndex]);
      ++cellIndex;
      group = GroupValues{};
    }
    if (result != StateTextResult::kOk) return result;
  }
  // Undo goes back as far as the grid as it was restored.
  history.Reset(ChordGrid);
  ShowGrid();
  return StateTextResult::kOk;
}

StateTextResult ChordEngine::ReadHighlightsText(const std::string& highlightsText, const std::string& pitchClassText) {
  KeyboardHighlights.clear();
  StateTextScanner highlights(highlightsText, false);
  while (highlights.Next() == Event::kToken) {
    int note = 0;
    const StateTextResult result = ConvertToken(highlights.Token(), note);
    if (result != StateTextResult::kOk) return result;
    // Only real notes, and never more than the keyboard could ever have built.
    if (note >= 0 && note < kNoteCount && KeyboardHighlights.size() < static_cast<size_t>(kMaxKeyboardHighlights)) {
      KeyboardHighlights.push_back(note);
    }
  }
  PitchClassSelection.fill(false);
  StateTextScanner pitchClasses(pitchClassText, false);
  while (pitchClasses.Next() == Event::kToken) {
    int pitchClass = 0;
    const StateTextResult result = ConvertToken(pitchClasses.Token(), pitchClass);
    if (result != StateTextResult::kOk) return result;
    SetFlagIfValid(PitchClassSelection, pitchClass);
  }
  ShowHighlights();
  SetMarkedNotes(KeyboardHighlights);
  return StateTextResult::kOk;
}

StateTextResult ChordEngine::ReadFlagText(const std::string& text, std::array<bool, kPitchClassCount>& roots,
                                          std::array<bool, kChordTypeCount>& types, FilterListView* view) {
  roots.fill(false);
  types.fill(false);
  StateTextScanner scanner(text, true);
  bool afterComma = false;
  for (Event event = scanner.Next(); event != Event::kEnd; event = scanner.Next()) {
    if (event == Event::kComma) {
      afterComma = true;
      continue;
    }
    int value = 0;
    const StateTextResult result = ConvertToken(scanner.Token(), value);
    if (result != StateTextResult::kOk) return result;
    if (afterComma) {
      SetFlagIfValid(types, value);
    } else {
      SetFlagIfValid(roots, value);
    }
  }
  if (view != nullptr) view->MarkForRedraw();
  RebuildChordList();
  return StateTextResult::kOk;
}

// The popup's pending choice belongs to the state being replaced: left in
// place, the parameter pass that follows a restore would add it again.
StateTextResult ChordEngine::ReadExclusionsText(const std::string& exclusionsText) {
  exclusionPopup = ChordPopupChoice{};
  return ReadFlagText(exclusionsText, ExcludedRoots, ExcludedChordTypes, views.exclusions);
}

StateTextResult ChordEngine::ReadInclusionsText(const std::string& inclusionsText) {
  inclusionPopup = ChordPopupChoice{};
  return ReadFlagText(inclusionsText, IncludedRoots, IncludedChordTypes, views.inclusions);
}

}  // namespace velmora
