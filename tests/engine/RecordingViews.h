#pragma once

#include <string>
#include <vector>

#include "engine/ChordEngine.h"

namespace velmora::test {

struct RecordingChordList : ChordListView {
  int resets = 0;
  std::vector<std::vector<ChordEntry>> pages;
  void ResetScroll() override { ++resets; }
  void ShowChordPage(std::vector<ChordEntry> list) override { pages.push_back(std::move(list)); }
};

struct RecordingGrid : GridView {
  std::vector<std::vector<ChordEntry>> shown;
  void ShowGridCells(std::vector<ChordEntry> cells) override { shown.push_back(std::move(cells)); }
};

struct RecordingKeyboard : KeyboardView {
  std::vector<std::vector<int>> highlights;
  int redraws = 0;
  void SetHighlightedNotes(std::vector<int> notes) override { highlights.push_back(std::move(notes)); }
  void MarkForRedraw() override { ++redraws; }
};

struct RecordingFilterList : FilterListView {
  int scrollResets = 0;
  int redraws = 0;
  void ResetScrollPositions() override { ++scrollResets; }
  void MarkForRedraw() override { ++redraws; }
};

// An engine wired to recording views.
struct ViewedEngine {
  ChordEngine engine;
  RecordingChordList list;
  RecordingGrid grid;
  RecordingKeyboard keyboard;
  RecordingFilterList exclusions;
  RecordingFilterList inclusions;
  ViewedEngine() { engine.views = EngineViews{&list, &grid, &keyboard, &exclusions, &inclusions}; }
};

inline std::vector<std::string> Names(const std::vector<ChordEntry>& entries) {
  std::vector<std::string> names;
  for (const ChordEntry& e : entries) names.push_back(e.name);
  return names;
}

inline ChordEntry Chord(int root, int chordType, int gridIndex = -1) {
  return EntryFromChordRow(ChordRowIndex(root, chordType), gridIndex);
}

}  // namespace velmora::test
