// Feeds arbitrary bytes to the state readers as a damaged chunk would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/ChordEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Six texts separated by 0xFF bytes, in chunk order.
  std::vector<std::string> texts(6);
  size_t which = 0;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0xFF) {
      if (++which == texts.size()) break;
      continue;
    }
    texts[which] += static_cast<char>(data[i]);
  }
  velmora::ChordEngine engine;
  engine.SeedRandom(1);
  if (engine.ReadGridText(texts[0], texts[4]) != velmora::StateTextResult::kOk) return 0;
  if (engine.ReadHighlightsText(texts[1], texts[3]) != velmora::StateTextResult::kOk) return 0;
  if (engine.ReadExclusionsText(texts[2]) != velmora::StateTextResult::kOk) return 0;
  if (engine.ReadInclusionsText(texts[5]) != velmora::StateTextResult::kOk) return 0;
  // What was restored must drive the rest of the engine safely.
  engine.RandomizeGrid();
  for (const velmora::ChordEntry& cell : engine.ChordGrid) velmora::VoiceChord(cell.notes, cell.octave, cell.inversion);
  for (int note : std::vector<int>(engine.KeyboardHighlights)) engine.ToggleHighlightedKey(note);
  engine.UndoGrid();
  return 0;
}
