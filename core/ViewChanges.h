#pragma once

#include <array>
#include <cstdint>

#include "core/CoreViews.h"
#include "engine/EngineViews.h"
#include "engine/GridHistory.h"

namespace velmora {

// What changed for the editor's controls since the editor last looked: the
// views the engine and the core call. Each call only counts or stores a
// flag, so it costs nothing on the processing thread.
//
// Threads: [any, under the plug-in lock]: written by the engine and the
// core, read by the editor's sync.
class ViewChanges : public ChordListView,
                    public GridView,
                    public KeyboardView,
                    public ScalePopupView,
                    public GridCellsView,
                    public DragButtonView {
 public:
  class FilterBox : public FilterListView {
   public:
    void ResetScrollPositions() override { ++scrollResets; }
    void MarkForRedraw() override { ++redraws; }
    uint32_t scrollResets = 0;
    uint32_t redraws = 0;
  };

  class OctaveSwitch : public SwitchView {
   public:
    void ValueFromPlugin(double /*normalized*/) override { ++resets; }
    uint32_t resets = 0;
  };

  // A cell's sounding flag, and when it was last set (on the same clock as
  // the grid's refills, which clear every cell's flag).
  struct CellSounding {
    bool sounding = false;
    uint64_t at = 0;
  };

  void ChordListRebuilt() override { ++chordList; }
  void GridChanged() override {
    ++grid;
    gridAt = ++clock;
  }
  void HighlightsChanged() override { ++highlights; }
  void ScaleChoiceChanged() override { ++scaleChoice; }
  void SetCellSounding(int cell, bool sounding) override {
    if (cell < 0 || cell >= kGridCellCount) return;
    cells[static_cast<size_t>(cell)] = CellSounding{sounding, ++clock};
  }
  bool IsHidden() const override { return !dragButtonShown; }
  void SetHidden(bool hidden) override { dragButtonShown = !hidden; }

  EngineViews ForEngine() { return EngineViews{this, this, this, &exclusions, &inclusions, this}; }
  CoreViews ForCore(FileDragSource* drag) { return CoreViews{this, this, &octaveUp, &octaveDown, drag}; }

  uint32_t chordList = 0;
  uint32_t grid = 0;
  uint32_t highlights = 0;
  uint32_t scaleChoice = 0;
  FilterBox exclusions;
  FilterBox inclusions;
  OctaveSwitch octaveUp;
  OctaveSwitch octaveDown;
  uint64_t clock = 0;
  uint64_t gridAt = 0;
  std::array<CellSounding, kGridCellCount> cells{};
  bool dragButtonShown = false;
  // Record armed while the host's transport runs, as the last block saw it.
  bool capturing = false;
};

}  // namespace velmora
