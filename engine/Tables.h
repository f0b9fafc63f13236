#pragma once

#include <string>
#include <vector>

#include "ChordEntry.h"

namespace velmora {

constexpr int kPitchClassCount = 12;
constexpr int kScaleCount = 19;
constexpr int kChordTypeCount = 30;
constexpr int kScaleRowCount = kScaleCount * kPitchClassCount;      // 228
constexpr int kChordRowCount = kChordTypeCount * kPitchClassCount;  // 360

// One scale spelled from one root; the octave note closes the row.
struct ScaleTableEntry {
  std::vector<int> notes;
  int root = 0;
  int scale = 0;
};

// One chord type spelled from one root, in root position.
struct ChordTableEntry {
  ChordNotes notes;
  int root = 0;
  int chordType = 0;
  std::string name;  // ChordName(root, chordType), kept so list rebuilds do not re-format it
};

// Process-wide constant tables, built on first use and never changed.
// Row index = scale * 12 + root and chordType * 12 + root.
const std::vector<ScaleTableEntry>& ScaleTable();
const std::vector<ChordTableEntry>& ChordTable();

// -1 when root or chordType lies outside the tables.
int ChordRowIndex(int root, int chordType);

// Name lookups; an index outside the table gives an empty text.
const std::string& NoteLongName(int pitchClass);
const std::string& NoteShortName(int pitchClass);
const std::string& ScaleLongName(int scale);
const std::string& ScaleShortName(int scale);
const std::string& ChordTypeSuffix(int chordType);

// "<long root name> <suffix>", e.g. "C#/Db maj7".
std::string ChordName(int root, int chordType);

// The entry made from ChordTable row `row` (0..359), with the caller's grid index.
ChordEntry EntryFromChordRow(int row, int gridIndex);

// The chord of e (notes, root, type, name) in a fresh entry at gridIndex:
// unlocked, octave 0, silent, not inverted; what a list row or grid cell is
// first given to show.
ChordEntry ShownEntry(const ChordEntry& e, int gridIndex);

}  // namespace velmora
