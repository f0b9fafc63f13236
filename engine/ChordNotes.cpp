#include "engine/ChordNotes.h"

#include <algorithm>
#include <ostream>

namespace velmora {

void ChordNotes::pop_front() {
  if (count_ == 0) return;
  std::copy(notes_.begin() + 1, notes_.begin() + count_, notes_.begin());
  --count_;
}

bool ChordNotes::contains(int note) const { return std::find(begin(), end(), note) != end(); }

bool ChordNotes::operator==(const ChordNotes& other) const {
  return count_ == other.count_ && std::equal(begin(), end(), other.begin());
}

std::ostream& operator<<(std::ostream& out, const ChordNotes& notes) {
  out << '{';
  for (std::size_t i = 0; i < notes.size(); ++i) out << (i ? ", " : "") << notes[i];
  return out << '}';
}

}  // namespace velmora
