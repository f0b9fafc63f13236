// The program state: six state texts, then the parameter block.
#include "core/Velmora.h"

namespace velmora {

bool Velmora::SaveState(ChunkBuffer& chunk) {
  auto lock = Lock();
  StateTexts[kGridText] = mEngine.WriteGridText();
  StateTexts[kHighlightsText] = mEngine.WriteHighlightsText();
  StateTexts[kExclusionsText] = mEngine.WriteExclusionsText();
  StateTexts[kPitchClassText] = mEngine.WritePitchClassText();
  StateTexts[kInversionsText] = mEngine.WriteInversionsText();
  StateTexts[kInclusionsText] = mEngine.WriteInclusionsText();
  for (const std::string& text : StateTexts) {
    if (chunk.PutText(text) < 0) return false;
  }
  return SerializeParams(chunk);
}

int Velmora::LoadState(const ChunkBuffer& chunk, int position) {
  auto lock = Lock();
  // A text that cannot be read keeps what its buffer held; the readers then
  // work on that, as they always have.
  for (std::string& text : StateTexts) position = chunk.GetText(&text, position);
  // A text the readers reject ends the restore there; the host gets -1, and
  // the parameters stay as they were.
  if (ReadStateTexts() != StateTextResult::Ok) return -1;
  return UnserializeParams(chunk, position);
}

StateTextResult Velmora::ReadStateTexts() {
  StateTextResult result = mEngine.ReadGridText(StateTexts[kGridText], StateTexts[kInversionsText]);
  if (result != StateTextResult::Ok) return result;
  result = mEngine.ReadHighlightsText(StateTexts[kHighlightsText], StateTexts[kPitchClassText]);
  if (result != StateTextResult::Ok) return result;
  result = mEngine.ReadExclusionsText(StateTexts[kExclusionsText]);
  if (result != StateTextResult::Ok) return result;
  return mEngine.ReadInclusionsText(StateTexts[kInclusionsText]);
}

}  // namespace velmora
