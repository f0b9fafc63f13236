#pragma once

namespace velmora {

// Tooltip texts stored on the controls (the editor never shows them). The
// "Placeholder" texts are kept as the panel has always carried them: they
// are part of what the controls hold, not text a user reads.
namespace tooltips {
constexpr const char* kRandomizeGrid = "Placeholder randomize grid tip.";
constexpr const char* kClearGrid = "Placeholder clear grid tip.";
constexpr const char* kKeyboard = "Note selector tip.";
constexpr const char* kScalePopup = "scaleSelectionToolTip";
constexpr const char* kClearNotes = "Clear notes tip.";
constexpr const char* kUndo = "Undo tip.";
constexpr const char* kRedo = "Redo tip.";
constexpr const char* kInclusions = "Inclusions tip.";
constexpr const char* kExclusions = "Exclusions tip.";
constexpr const char* kLooseMatches = "looseMatchesToolTip.";
constexpr const char* kGridOctaveUp = "gridOctUpToolTip.";
constexpr const char* kGridOctaveDown = "gridOctDownToolTip.";
constexpr const char* kInversions = "inversions tip.";
constexpr const char* kOptions = "OPTIONS";
constexpr const char* kChordListEntry = "this is the chord list tip.";
constexpr const char* kChordList = "this is the OCTAVE chord list tip.";
constexpr const char* kGridCell = "this is the chord grid tip.";
constexpr const char* kGridHandle = "Drag the grid into your arrangement as MIDI.";
}  // namespace tooltips

}  // namespace velmora
