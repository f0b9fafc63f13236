#include "engine/Tables.h"

#include <array>

namespace velmora {
namespace {

const std::array<std::string, kPitchClassCount> kNoteLongNames = {
    "C", "C#/Db", "D", "D#/Eb", "E", "F", "F#/Gb", "G", "G#/Ab", "A", "A#/Bb", "B"};
const std::array<std::string, kPitchClassCount> kNoteShortNames = {
    "C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};

struct ScaleDefinition {
  const char* longName;
  const char* shortName;
  std::vector<int> intervals;
};

// Names are the product's own texts, spelling included.
const std::array<ScaleDefinition, kScaleCount> kScales = {{
    {"Major", "maj", {0, 2, 4, 5, 7, 9, 11, 12}},
    {"Minor", "min", {0, 2, 3, 5, 7, 8, 10, 12}},
    {"Harmonic Minor", "h. min", {0, 2, 3, 5, 7, 8, 11, 12}},
    {"Major Pentatonic", "maj pen", {0, 2, 4, 7, 9, 12}},
    {"Minor Pentatonic", "min pen", {0, 3, 5, 7, 10, 12}},
    {"Diminished", "dim", {0, 2, 3, 5, 6, 8, 9, 11, 12}},
    {"Half Diminished", "1/2dim", {0, 2, 3, 5, 6, 8, 10, 12}},
    {"Minor Blues", "blues", {0, 3, 5, 6, 7, 10, 12}},
    {"Melodic Minor Ascending", "mel min", {0, 2, 3, 5, 7, 9, 11, 12}},
    {"Dominant Bebop", "bebop", {0, 2, 4, 5, 7, 9, 10, 11, 12}},
    {"Phyrgian Mode", "phr", {0, 1, 3, 5, 7, 8, 10, 12}},
    {"Phyrgian Dominant", "phr dom", {0, 1, 4, 5, 7, 8, 10, 12}},
    {"Lydian Mode", "lyd", {0, 2, 4, 6, 7, 9, 11, 12}},
    {"Lydian Augmented", "lyd aug", {0, 2, 4, 6, 8, 9, 11, 12}},
    {"Lydian Dominant", "lyd dom", {0, 2, 4, 6, 7, 9, 10, 12}},
    {"Mixolydian Mode", "mixo", {0, 2, 4, 5, 7, 9, 10, 12}},
    {"Dorian Mode", "dorian", {0, 2, 3, 5, 7, 9, 10, 12}},
    {"Locrian Mode", "locrain", {0, 1, 3, 5, 6, 8, 10, 12}},
    {"Altered Scale", "alt", {0, 1, 3, 4, 6, 8, 10, 12}},
}};

struct ChordTypeDefinition {
  const char* suffix;
  std::vector<int> intervals;
};

// The intervals are the definition; no row is derived from its suffix (13b9 included).
const std::array<ChordTypeDefinition, kChordTypeCount> kChordTypes = {{
    {"maj", {0, 4, 7}},          {"sus2", {0, 2, 7}},
    {"sus4", {0, 5, 7}},         {"aug", {0, 4, 8}},
    {"6", {0, 4, 7, 9}},         {"6add9", {0, 4, 7, 9, 14}},
    {"maj7", {0, 4, 7, 11}},     {"min", {0, 3, 7}},
    {"m6", {0, 3, 7, 9}},        {"m7", {0, 3, 7, 10}},
    {"m7b5", {0, 3, 6, 10}},     {"mmaj7", {0, 3, 7, 11}},
    {"m9", {0, 3, 7, 10, 14}},   {"dim", {0, 3, 6}},
    {"7", {0, 4, 7, 10}},        {"7sus4", {0, 5, 7, 10}},
    {"7b5", {0, 4, 6, 10}},      {"7+", {0, 4, 8, 10}},
    {"7b9", {0, 4, 7, 10, 13}},  {"7#9", {0, 4, 7, 10, 15}},
    {"add9", {0, 4, 7, 14}},     {"maj9", {0, 4, 7, 11, 14}},
    {"9", {0, 4, 7, 10, 14}},    {"9sus4", {0, 5, 7, 10, 14}},
    {"9+", {0, 4, 8, 10, 14}},   {"9b5", {0, 4, 6, 10, 14}},
    {"11", {0, 4, 7, 10, 14, 17}}, {"11b9", {0, 4, 7, 10, 13, 17}},
    {"13", {0, 4, 7, 10, 14, 21}}, {"13b9", {0, 4, 7, 9, 14, 21}},
}};

const std::string kNoName;

// Scale rows fold G..B one octave down so every row starts between 55 and 66.
int ScaleBase(int root) { return root <= 6 ? 60 + root : 48 + root; }

std::vector<ScaleTableEntry> BuildScaleTable() {
  std::vector<ScaleTableEntry> rows;
  rows.reserve(kScaleRowCount);
  for (int s = 0; s < kScaleCount; ++s) {
    for (int r = 0; r < kPitchClassCount; ++r) {
      ScaleTableEntry row{{}, r, s};
      for (int interval : kScales[s].intervals) row.notes.push_back(ScaleBase(r) + interval);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::vector<ChordTableEntry> BuildChordTable() {
  std::vector<ChordTableEntry> rows;
  rows.reserve(kChordRowCount);
  for (int t = 0; t < kChordTypeCount; ++t) {
    for (int r = 0; r < kPitchClassCount; ++r) {
      ChordTableEntry row{{}, r, t, ChordName(r, t)};
      for (int interval : kChordTypes[t].intervals) row.notes.push_back(60 + r + interval);
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

template <typename Names>
const std::string& Lookup(const Names& names, int index) {
  if (index < 0 || index >= static_cast<int>(names.size())) return kNoName;
  return names[static_cast<size_t>(index)];
}

}  // namespace

const std::vector<ScaleTableEntry>& ScaleTable() {
  static const std::vector<ScaleTableEntry> kTable = BuildScaleTable();
  return kTable;
}

const std::vector<ChordTableEntry>& ChordTable() {
  static const std::vector<ChordTableEntry> kTable = BuildChordTable();
  return kTable;
}

int ChordRowIndex(int root, int chordType) {
  if (root < 0 || root >= kPitchClassCount || chordType < 0 || chordType >= kChordTypeCount) return -1;
  return chordType * kPitchClassCount + root;
}

const std::string& NoteLongName(int pitchClass) { return Lookup(kNoteLongNames, pitchClass); }
const std::string& NoteShortName(int pitchClass) { return Lookup(kNoteShortNames, pitchClass); }

const std::string& ScaleLongName(int scale) {
  static const std::array<std::string, kScaleCount> kNames = [] {
    std::array<std::string, kScaleCount> out;
    for (int s = 0; s < kScaleCount; ++s) out[s] = kScales[s].longName;
    return out;
  }();
  return Lookup(kNames, scale);
}

const std::string& ScaleShortName(int scale) {
  static const std::array<std::string, kScaleCount> kNames = [] {
    std::array<std::string, kScaleCount> out;
    for (int s = 0; s < kScaleCount; ++s) out[s] = kScales[s].shortName;
    return out;
  }();
  return Lookup(kNames, scale);
}

const std::string& ChordTypeSuffix(int chordType) {
  static const std::array<std::string, kChordTypeCount> kNames = [] {
    std::array<std::string, kChordTypeCount> out;
    for (int t = 0; t < kChordTypeCount; ++t) out[t] = kChordTypes[t].suffix;
    return out;
  }();
  return Lookup(kNames, chordType);
}

std::string ChordName(int root, int chordType) {
  if (ChordRowIndex(root, chordType) < 0) return std::string();
  return NoteLongName(root) + " " + ChordTypeSuffix(chordType);
}

ChordEntry EntryFromChordRow(int row, int gridIndex) {
  if (row < 0 || row >= kChordRowCount) return EmptyEntry();
  const ChordTableEntry& source = ChordTable()[static_cast<size_t>(row)];
  ChordEntry entry;
  entry.notes = source.notes;
  entry.root = source.root;
  entry.chordType = source.chordType;
  entry.name = source.name;
  entry.gridIndex = gridIndex;
  return entry;
}

ChordEntry ShownEntry(const ChordEntry& e, int gridIndex) {
  ChordEntry shown;
  shown.notes = e.notes;
  shown.root = e.root;
  shown.chordType = e.chordType;
  shown.name = e.name;
  shown.gridIndex = gridIndex;
  return shown;
}

}  // namespace velmora
