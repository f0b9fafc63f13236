#include "tools/artwork/Layout.h"

namespace velmora::artwork {

int WhiteKeyLeft(int index) { return kKeyboard.left + kKeyWidth * (kFirstWhite + index); }

int BlackKeyLeft(int index) {
  // F#, G#, A# of the first octave, then C#, D#, F#, G#, A#, C#, D#.
  static constexpr int kOctave[10] = {0, 0, 0, 1, 1, 1, 1, 1, 2, 2};
  static constexpr int kPitch[10] = {2, 3, 4, 0, 1, 2, 3, 4, 0, 1};
  return kKeyboard.left + kOctaveWidth * kOctave[index] + kBlackOffsets[kPitch[index]];
}

IntRect CellRect(int i) {
  const int left = kGrid.left + (i % 4) * kCell;
  const int top = kGrid.top + (3 - i / 4) * kCell;
  return {left, top, left + kCell, top + kCell};
}

IntRect RowRect(int i) { return {626, 7 + 33 * i, 955, 40 + 33 * i}; }

IntRect RowInner(int i) {
  const IntRect r = RowRect(i);
  return {r.left - 1, r.top + 2, r.right - 1, r.bottom - 1};
}

}  // namespace velmora::artwork
