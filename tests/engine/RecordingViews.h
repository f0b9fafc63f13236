#pragma once

#include <string>
#include <vector>

#include "engine/ChordEngine.h"

namespace velmora::test {

// Each view copies what the engine shows at the moment it is told, as the
// editor would at its next tick.
struct RecordingChordList : ChordListView {
  const ChordEngine* engine = nullptr;
  int resets = 0;
  std::vector<std::vector<ChordEntry>> pages;
  void ChordListRebuilt() override {
    ++resets;
    pages.push_back(engine->ChordList);
  }
};

struct RecordingGrid : GridView {
  const ChordEngine* engine = nullptr;
  std::vector<std::vector<ChordEntry>> shown;
  void GridChanged() override { shown.emplace_back(engine->ChordGrid.begin(), engine->ChordGrid.end()); }
};

struct RecordingKeyboard : KeyboardView {
  const ChordEngine* engine = nullptr;
  std::vector<std::vector<int>> highlights;
  int redraws = 0;
  void HighlightsChanged() override {
    highlights.push_back(engine->KeyboardHighlights);
    ++redraws;
  }
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
  ViewedEngine() {
    list.engine = grid.engine = keyboard.engine = &engine;
    engine.views = EngineViews{&list, &grid, &keyboard, &exclusions, &inclusions, nullptr};
  }
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
