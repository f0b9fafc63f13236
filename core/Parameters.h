#pragma once

namespace velmora {

// Parameter indices. The unnamed ones only bind controls and keep the base's
// initial state (CLAP hosts see them hidden). Each index is also the
// parameter's CLAP id, which hosts store with their automation and sessions:
// never renumber, only add.
enum ParamIndex : int {
  kScalesDropdown = 0,
  kExclusionsDropdown = 1,
  kNoteDropdown = 2,
  kOptionsPopup = 3,
  kUndo = 4,
  kRedo = 5,
  kGridControl = 6,
  kChordListControl = 7,
  kRandomizeGrid = 8,
  kChordListRows = 9,
  kGridCellControls = 10,
  kLooseMatches = 11,
  kExclusionsControl = 12,
  kClearExclusions = 13,
  kInclusionsDropdown = 14,
  kInclusionsControl = 15,
  kClearInclusions = 16,
  kClearNoteSelection = 17,
  kClearGrid = 18,
  kGridOctaveDown = 19,
  kGridOctaveUp = 20,
  kCustomInversionRoot = 21,
  kCustomInversion1 = 22,
  kCustomInversion2 = 23,
  kCustomInversion3 = 24,
  kCustomInversion4 = 25,
  kCustomInversion5 = 26,
  kRecord = 27,
  kDrag = 28,
  kDragDim = 29,
  kParamCount = 30
};

}  // namespace velmora
