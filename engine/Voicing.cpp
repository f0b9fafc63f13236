#include <algorithm>

#include "engine/ChordEngine.h"

namespace velmora {

Voicing VoiceChord(const ChordNotes& notes, int octave, int inversion) {
  Voicing out;
  long long top = 0;
  // 64-bit so any int octave shifts without overflow.
  const long long offset = 12LL * octave;
  for (int n : notes) {
    const long long m = n + offset;
    if (m < 0 || m > 127) continue;
    out.push_back(static_cast<int>(m));
    top = std::max(top, m);
  }
  if (inversion <= 0 || out.empty()) return out;
  const long long span = (top - out.front()) / 12;
  const long long shift = (span + 1) * 12;
  for (int step = 0; step < inversion; ++step) {
    const long long m = out.front() + shift;
    // A skipped step leaves the voicing unchanged, so every later step skips too.
    if (m > 127) break;
    out.pop_front();
    out.push_back(static_cast<int>(m));
  }
  return out;
}

}  // namespace velmora
