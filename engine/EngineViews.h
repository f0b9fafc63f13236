#pragma once

#include <vector>

#include "ChordEntry.h"

namespace velmora {

// The engine reaches the editor's controls only through these interfaces.
// Every pointer in EngineViews is non-owning and may be null while no editor
// exists; the engine then simply skips the call. Controls receive copies, so
// they never hold references into engine state.

class ChordListView {
 public:
  virtual ~ChordListView() = default;
  // Called after every rebuild: the first shown row goes back to the top.
  virtual void ResetScroll() = 0;
  virtual void ShowChordPage(std::vector<ChordEntry> list) = 0;
};

class GridView {
 public:
  virtual ~GridView() = default;
  virtual void ShowGridCells(std::vector<ChordEntry> cells) = 0;
};

class KeyboardView {
 public:
  virtual ~KeyboardView() = default;
  virtual void SetHighlightedNotes(std::vector<int> notes) = 0;
  virtual void MarkForRedraw() = 0;
};

class FilterListView {
 public:
  virtual ~FilterListView() = default;
  virtual void ResetScrollPositions() = 0;  // roots column and types column
  virtual void MarkForRedraw() = 0;
};

struct EngineViews {
  ChordListView* chordList = nullptr;
  GridView* grid = nullptr;
  KeyboardView* keyboard = nullptr;
  FilterListView* exclusions = nullptr;
  FilterListView* inclusions = nullptr;
};

}  // namespace velmora
