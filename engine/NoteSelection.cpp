#include "engine/ChordEngine.h"

namespace velmora {
namespace {

void Mark(std::array<bool, kNoteCount>& marks, int note) {
  if (note >= 0 && note < kNoteCount) marks[note] = true;
}

}  // namespace

int OctavePartner(int note) { return note <= 52 ? note + 12 : note - 12; }

void ChordEngine::ShowHighlights() {
  if (views.keyboard != nullptr) views.keyboard->HighlightsChanged();
}

void ChordEngine::ResetScalePopup() {
  scalePopup = ScalePopupChoice{};
  if (views.scalePopup != nullptr) views.scalePopup->ScaleChoiceChanged();
}

void ChordEngine::ScaleHighlights(int row, std::vector<int>& out) const {
  out.clear();
  if (row < 0 || row >= kScaleRowCount) return;
  const ScaleTableEntry& scale = ScaleTable()[static_cast<size_t>(row)];
  const int lower = (scale.root == 5 || scale.root == 6) ? 12 : 0;
  for (size_t i = 0; i + 1 < scale.notes.size(); ++i) {
    const int n = scale.notes[i] - lower;
    if (n < 0 || n >= kNoteCount) continue;
    out.push_back(n - 12);
    out.push_back(n - 12 > 52 ? n - 24 : n);
  }
}

void ChordEngine::SelectScale(int row) {
  // The "ScalesDropdown" range reaches 228, which names no row: ignore it
  // rather than clear the marks and leave them cleared.
  if (row < 0 || row >= kScaleRowCount) return;
  NoteMarks.fill(false);
  PitchClassSelection.fill(false);
  ScaleHighlights(row, KeyboardHighlights);
  // Each mark lies one octave above its highlight.
  for (int h : KeyboardHighlights) Mark(NoteMarks, h + 12);
  ShowHighlights();
  RebuildChordList();
}

void ChordEngine::SetMarkedNotes(const std::vector<int>& notes) {
  // Hand-marked notes no longer describe the chosen scale.
  if (scalePopup.chosenRoot != -1 && scalePopup.chosenScale != -1) ResetScalePopup();
  NoteMarks.fill(false);
  for (int n : notes) Mark(NoteMarks, n);
  RebuildChordList();
}

void ChordEngine::ToggleKeyboardNote(int key) {
  const int n = key + KeyboardBaseNote;
  if (key < 0 || n >= kNoteCount) return;  // the keyboard only sends keys 5..28
  const int p = key % 12;
  PitchClassSelection[p] = !PitchClassSelection[p];
  if (PitchClassSelection[p] && !NoteMarks[n]) {
    NoteMarks[n] = true;
    KeyboardHighlights.push_back(n);
    const int partner = OctavePartner(n);
    KeyboardHighlights.push_back(partner);
    Mark(NoteMarks, partner);
  }
  ShowHighlights();
  RebuildChordList();
}

void ChordEngine::ToggleHighlightedKey(int note) {
  if (note < 0 || note >= kNoteCount) return;  // only keyboard notes 41..64 arrive here
  const int partner = OctavePartner(note);
  bool found = false;
  for (size_t i = KeyboardHighlights.size(); i-- > 0;) {
    const int entry = KeyboardHighlights[i];
    if (entry == note) found = true;
    if (entry == note || entry == partner) KeyboardHighlights.erase(KeyboardHighlights.begin() + static_cast<long>(i));
  }
  if (!found) {
    KeyboardHighlights.push_back(note);
    KeyboardHighlights.push_back(partner);
  } else {
    PitchClassSelection[((note - KeyboardBaseNote) % 12 + 12) % 12] = false;
  }
  ShowHighlights();
  SetMarkedNotes(KeyboardHighlights);
}

void ChordEngine::ClearNoteSelection() {
  NoteMarks.fill(false);
  PitchClassSelection.fill(false);
  KeyboardHighlights.clear();
  ShowHighlights();
  ResetScalePopup();
  RebuildChordList();
}

}  // namespace velmora
