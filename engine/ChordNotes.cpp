#include "engine/ChordNotes.h"

#include <algorithm>
#include <ostream>

namespace velmora {

void ChordNotes::pop_front() {  // NOLINT(readability-identifier-naming)
  if (mCount == 0) return;
  std::copy(mNotes.begin() + 1, mNotes.begin() + mCount, mNotes.begin());
  --mCount;
}

bool ChordNotes::contains(int note) const { return std::find(begin(), end(), note) != end(); }  // NOLINT(readability-identifier-naming)

bool ChordNotes::operator==(const ChordNotes& other) const {
  return mCount == other.mCount && std::equal(begin(), end(), other.begin());
}

std::ostream& operator<<(std::ostream& out, const ChordNotes& notes) {
  out << '{';
  for (std::size_t i = 0; i < notes.size(); ++i) out << (i ? ", " : "") << notes[i];
  return out << '}';
}

}  // namespace velmora
