#pragma once

#include <string>

#include "engine/ChordNotes.h"

namespace velmora {

// One chord as the list, the grid, the history and the saved state share it.
// root -1 marks an empty entry.
struct ChordEntry {
  ChordNotes notes;
  int root = -1;
  int chordType = 0;
  bool locked = false;
  std::string name;
  int octave = 0;
  bool sounding = false;
  int gridIndex = -1;
  int inversion = 0;

  bool IsEmpty() const { return root == -1; }
};

inline ChordEntry EmptyEntry() { return ChordEntry{}; }

}  // namespace velmora
