// The program state: six state texts, then the parameter block.
#include "core/Velmora.h"

#include <algorithm>
#include <set>

namespace velmora {

bool Velmora::SaveState(ChunkBuffer& chunk) {
  auto lock = Lock();
  mStateTexts[kGridText] = mEngine.WriteGridText();
  mStateTexts[kHighlightsText] = mEngine.WriteHighlightsText();
  mStateTexts[kExclusionsText] = mEngine.WriteExclusionsText();
  mStateTexts[kPitchClassText] = mEngine.WritePitchClassText();
  mStateTexts[kInversionsText] = mEngine.WriteInversionsText();
  mStateTexts[kInclusionsText] = mEngine.WriteInclusionsText();
  for (const std::string& text : mStateTexts) {
    if (chunk.PutText(text) < 0) return false;
  }
  return SerializeParams(chunk);
}

int Velmora::LoadState(const ChunkBuffer& chunk, int position) {
  auto lock = Lock();
  // A text that cannot be read keeps what its buffer held; an empty one read
  // whole is empty, so nothing of an earlier state comes back.
  for (std::string& text : mStateTexts) position = chunk.GetText(&text, position);
  // A text the readers reject ends the restore there; the host gets -1, and
  // the parameters stay as they were.
  if (ReadStateTexts() != StateTextResult::kOk) return -1;
  // The restored values are settings: none of them runs an action.
  mRestoring = true;
  position = UnserializeParams(chunk, position);
  mRestoring = false;
  RestoreScaleChoice();
  return position;
}

// The scale box shows the restored root and scale when the restored marks are
// still that scale's, as the box did when the state was saved: marks changed
// by hand showed "- -", while a "must contain" ring, which may have marked
// its key as well, left the choice standing.
void Velmora::RestoreScaleChoice() {
  const double v = GetParam(kScalesDropdown)->Value();
  if (!(v >= 0.0 && v < kScaleRowCount)) return;
  const int row = static_cast<int>(v);
  std::vector<int> scale;
  mEngine.ScaleHighlights(row, scale);
  if (scale.empty()) return;
  const std::set<int> scaleNotes(scale.begin(), scale.end());
  const std::set<int> restored(mEngine.KeyboardHighlights.begin(), mEngine.KeyboardHighlights.end());
  for (int note : scaleNotes) {
    if (restored.count(note) == 0) return;
  }
  for (int note : restored) {
    const bool ringed = mEngine.PitchClassSelection[static_cast<size_t>(((note - ChordEngine::KeyboardBaseNote) % 12 + 12) % 12)];
    if (scaleNotes.count(note) == 0 && !ringed) return;
  }
  SetScaleChoice(row % kPitchClassCount, row / kPitchClassCount);
}

StateTextResult Velmora::ReadStateTexts() {
  StateTextResult result = mEngine.ReadGridText(mStateTexts[kGridText], mStateTexts[kInversionsText]);
  if (result != StateTextResult::kOk) return result;
  result = mEngine.ReadHighlightsText(mStateTexts[kHighlightsText], mStateTexts[kPitchClassText]);
  if (result != StateTextResult::kOk) return result;
  result = mEngine.ReadExclusionsText(mStateTexts[kExclusionsText]);
  if (result != StateTextResult::kOk) return result;
  return mEngine.ReadInclusionsText(mStateTexts[kInclusionsText]);
}

bool Velmora::MidiNoteName(int note, std::string* text) {
  constexpr int kFirstTriggerNote = 36;
  auto lock = Lock();
  const int cell = note - kFirstTriggerNote;
  if (text == nullptr || cell < 0 || cell >= kGridCellCount) return false;
  const ChordEntry& entry = mEngine.ChordGrid[cell];
  *text = "Cell " + std::to_string(cell + 1) + ": " + (entry.IsEmpty() ? std::string("empty") : entry.name);
  return true;
}

}  // namespace velmora
