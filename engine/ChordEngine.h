#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/ChordEntry.h"
#include "engine/EngineViews.h"
#include "engine/GridHistory.h"
#include "engine/RandomSource.h"
#include "engine/Tables.h"

namespace velmora {

constexpr int kNoteCount = 128;
constexpr int kInversionCount = 6;
// Restored highlight lists are cut here; the editor never builds more than a few dozen.
constexpr int kMaxKeyboardHighlights = 256;
constexpr int kMinOctave = -4;
constexpr int kMaxOctave = 4;

// The scale popup's choice; the popup control reads and writes these.
struct ScalePopupChoice {
  int chosenRoot = -1;
  int chosenScale = -1;
  std::string noteLabel = "-";
  std::string scaleLabel = "-";
};

// The exclusions or inclusions popup's choice.
struct ChordPopupChoice {
  int chosenRoot = -1;
  int chosenType = -1;
};

// Inclusive on both ends: neighbouring grid cells share their border line.
struct CellRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool Contains(long long x, long long y) const {
    return left <= x && x <= right && top <= y && y <= bottom;
  }
};

enum class StateTextResult { kOk, kInvalidNumber, kOutOfRange };

// n + 12 up to note 52, n - 12 above it.
int OctavePartner(int note);

// MIDI notes of a chord shifted by octaves and rotated by inversions; notes
// leaving 0..127 are dropped and inversion steps that would leave it skipped.
Voicing VoiceChord(const ChordNotes& notes, int octave, int inversion);

CellRect GridCellRect(int index);

// The chord engine of one plug-in instance: filters, chord list, grid and
// history.
//
// Threads: [any, under the plug-in lock]; it takes no locks itself, the
// owning plug-in serialises every call.
class ChordEngine {
 public:
  static constexpr int KeyboardBaseNote = 36;
  static constexpr int HighlightRangeLow = 41;
  static constexpr int HighlightRangeHigh = 64;
  static constexpr int ChordListRowCount = 20;

  // Controls that show engine data; every pointer may be null.
  EngineViews views;

  std::array<bool, kNoteCount> NoteMarks{};
  std::vector<int> KeyboardHighlights;
  std::array<bool, kPitchClassCount> PitchClassSelection{};
  std::array<bool, kPitchClassCount> ExcludedRoots{};
  std::array<bool, kChordTypeCount> ExcludedChordTypes{};
  std::array<bool, kPitchClassCount> IncludedRoots{};
  std::array<bool, kChordTypeCount> IncludedChordTypes{};
  std::array<bool, kInversionCount> EnabledInversions{{true, false, false, false, false, false}};
  int LooseMatchLimit = 0;
  std::vector<ChordEntry> ChordList;
  GridCells ChordGrid;
  GridHistory history;

  // Choices held for the popups and the list's octave selector, so the engine
  // works while no control exists.
  ScalePopupChoice scalePopup;
  ChordPopupChoice exclusionPopup;
  ChordPopupChoice inclusionPopup;
  int ListOctaveShift = 0;

  // Room for every chord row and every highlight the keyboard can make, so
  // that rebuilding the list or toggling a key never allocates.
  ChordEngine();

  void SeedRandom(unsigned seed) { mRandom.Seed(seed); }

  // Chord list and filters.
  void RebuildChordList();
  bool ListHasNoChord() const;
  void ApplyExclusionChoice();
  void ApplyInclusionChoice();
  void ClearExclusions();
  void ClearInclusions();
  void SetLooseMatchLimit(double value);
  void SetInversionEnabled(int k, bool on);

  // Marked notes and the keyboard.
  void SelectScale(int row);
  // The keyboard highlights SelectScale(row) sets, into out (none for a row
  // that names no scale).
  void ScaleHighlights(int row, std::vector<int>& out) const;
  void SetMarkedNotes(const std::vector<int>& notes);
  void ToggleKeyboardNote(int key);
  void ToggleHighlightedKey(int note);
  void ClearNoteSelection();

  // Grid.
  void RandomizeGrid();
  void ClearGrid();
  void ShiftGridOctave(int delta);
  void ToggleCellLock(const ChordEntry& entry);
  void SetCellOctave(const ChordEntry& entry);
  void SetCellInversion(const ChordEntry& entry);
  // left/top: the dragged cell control's rectangle; x, y: the drop point.
  void MoveCell(int left, int top, int x, int y);
  // rowChord and rowTop: the dragged list row's shown chord and rectangle top.
  void PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y);

  // History.
  void PushHistory();
  void UndoGrid();
  void RedoGrid();

  // State texts.
  std::string WriteGridText() const;
  std::string WriteHighlightsText() const;
  std::string WriteExclusionsText() const;
  std::string WriteInclusionsText() const;
  std::string WritePitchClassText() const;
  std::string WriteInversionsText() const;
  StateTextResult ReadGridText(const std::string& gridText, const std::string& inversionsText);
  StateTextResult ReadHighlightsText(const std::string& highlightsText, const std::string& pitchClassText);
  StateTextResult ReadExclusionsText(const std::string& exclusionsText);
  StateTextResult ReadInclusionsText(const std::string& inclusionsText);

 private:
  void ShowGrid();
  void ShowHighlights();
  void ResetScalePopup();
  void ApplyChordChoice(const ChordPopupChoice& choice, std::array<bool, kPitchClassCount>& roots,
                        std::array<bool, kChordTypeCount>& types, FilterListView* view);
  void ClearChordFilters(std::array<bool, kPitchClassCount>& roots,
                         std::array<bool, kChordTypeCount>& types, FilterListView* view,
                         ChordPopupChoice& popup);
  StateTextResult ReadFlagText(const std::string& text, std::array<bool, kPitchClassCount>& roots,
                               std::array<bool, kChordTypeCount>& types, FilterListView* view);
  void FillRandomCell(int index, std::vector<ChordEntry>& candidates);

  RandomSource mRandom;
};

}  // namespace velmora
