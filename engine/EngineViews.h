#pragma once

namespace velmora {

// The engine tells the editor's controls only that what they show has
// changed; the editor copies the engine's data itself, on its own thread, at
// its next tick. The engine runs on whichever thread holds the plug-in lock,
// the processing thread included, so an implementation only records the
// change: no allocation, no wait. Every pointer in EngineViews is
// non-owning and may be null; the engine then skips the call.

class ChordListView {
 public:
  virtual ~ChordListView() = default;
  // The list was rebuilt; its first shown row goes back to the top.
  virtual void ChordListRebuilt() = 0;
};

class GridView {
 public:
  virtual ~GridView() = default;
  // The cells are to be refilled from ChordGrid.
  virtual void GridChanged() = 0;
};

class KeyboardView {
 public:
  virtual ~KeyboardView() = default;
  // KeyboardHighlights or PitchClassSelection changed.
  virtual void HighlightsChanged() = 0;
};

class FilterListView {
 public:
  virtual ~FilterListView() = default;
  virtual void ResetScrollPositions() = 0;  // roots column and types column
  virtual void MarkForRedraw() = 0;
};

class ScalePopupView {
 public:
  virtual ~ScalePopupView() = default;
  // ScalePopup's choice or labels changed.
  virtual void ScaleChoiceChanged() = 0;
};

struct EngineViews {
  ChordListView* chordList = nullptr;
  GridView* grid = nullptr;
  KeyboardView* keyboard = nullptr;
  FilterListView* exclusions = nullptr;
  FilterListView* inclusions = nullptr;
  ScalePopupView* scalePopup = nullptr;
};

}  // namespace velmora
