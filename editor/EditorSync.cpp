#include "editor/EditorSync.h"

#include <algorithm>
#include <chrono>

#include "core/Velmora.h"
#include "editor/ChordListControls.h"
#include "editor/DragControl.h"
#include "editor/FilterControls.h"
#include "editor/GridControls.h"
#include "editor/KeyboardControls.h"
#include "editor/PopupMenus.h"
#include "editor/StateButtons.h"

namespace velmora {
namespace {

// Takes a counter's news: whether it moved since it was last seen.
template <typename T>
bool Moved(T now, T& seen, bool first) {
  const bool moved = first || now != seen;
  seen = now;
  return moved;
}

}  // namespace

EditorSync::EditorSync(Velmora& plugin, const EditorControls& controls) : mPlugin(plugin), mControls(controls) {}

void EditorSync::SyncFromPlugin(bool blocking) {
  // Keyboard presses no processing block took (a host that stopped
  // processing) are handled here, at the latest one tick after the press.
  mPlugin.TakeKeyPresses(blocking);
  const bool read = mPlugin.ReadForEditor(
      blocking, [this](const ViewChanges& changes, const ChordEngine& engine) { Copy(changes, engine); });
  if (!read) return;
  mFirst = false;
  Apply();
}

// Under the plug-in lock: copies only, and only of what changed.
void EditorSync::Copy(const ViewChanges& changes, const ChordEngine& engine) {
  Copies& c = mCopies;
  c.list = Moved(changes.chordList, mSeen.chordList, mFirst);
  if (c.list) {
    // The rows show one page: copying the whole list would only hold the lock longer.
    const size_t shown = std::min(engine.ChordList.size(), size_t{ListOfChordsControl::ChordListRowCount});
    c.chordPage.assign(engine.ChordList.begin(), engine.ChordList.begin() + static_cast<std::ptrdiff_t>(shown));
    c.chordCount = static_cast<int>(engine.ChordList.size());
  }
  c.grid = Moved(changes.gridAt, mSeen.gridAt, mFirst);
  if (c.grid) c.cells = engine.ChordGrid;
  c.sounding.clear();
  for (int k = 0; k < kGridCellCount; ++k) {
    const ViewChanges::CellSounding& cell = changes.cells[static_cast<size_t>(k)];
    // A refill after the flag was set clears what the cell shows.
    if (cell.at > mSeen.cellAt[static_cast<size_t>(k)] && cell.at > changes.gridAt) c.sounding.emplace_back(k, cell.sounding);
    mSeen.cellAt[static_cast<size_t>(k)] = cell.at;
  }
  c.highlights = Moved(changes.highlights, mSeen.highlights, mFirst);
  if (c.highlights) {
    c.highlightNotes = engine.KeyboardHighlights;
    c.pitchClasses = engine.PitchClassSelection;
  }
  c.scale = Moved(changes.scaleChoice, mSeen.scaleChoice, mFirst);
  if (c.scale) c.scaleChoice = engine.scalePopup;
  c.exclusionReset = Moved(changes.exclusions.scrollResets, mSeen.exclusionResets, false);
  c.inclusionReset = Moved(changes.inclusions.scrollResets, mSeen.inclusionResets, false);
  c.octaveUpReset = Moved(changes.octaveUp.resets, mSeen.octaveUpResets, false);
  c.octaveDownReset = Moved(changes.octaveDown.resets, mSeen.octaveDownResets, false);
  // The boxes draw from the flags at every refresh: a few bytes, always copied.
  c.excludedRoots = engine.ExcludedRoots;
  c.excludedTypes = engine.ExcludedChordTypes;
  c.includedRoots = engine.IncludedRoots;
  c.includedTypes = engine.IncludedChordTypes;
  c.dragShown = changes.dragButtonShown;
  c.canUndo = engine.history.CanUndo(engine.ChordGrid);
  c.canRedo = engine.history.CanRedo();
  c.capturing = changes.capturing;
}

// Without the lock: the controls take the copies.
void EditorSync::Apply() {
  const Copies& c = mCopies;
  const EditorControls& k = mControls;
  if (c.list) {
    k.chordList->ResetScroll();
    k.chordList->ShowPage(c.chordPage, c.chordCount);
  }
  if (c.grid) k.grid->ShowGridCells(c.cells);
  for (const auto& [cell, sounding] : c.sounding) k.grid->Cell(cell)->SetSounding(sounding);
  if (c.highlights) {
    k.keyboard->SetHighlightedNotes(c.highlightNotes);
    k.keyboard->SetPitchClasses(c.pitchClasses);
    k.keyboard->MarkDirty(false);
    k.chordList->SetNotesMarked(!c.highlightNotes.empty());
  }
  if (c.scale) k.scalePopup->ShowChoice(c.scaleChoice);
  if (c.exclusionReset) k.exclusions->ResetScrollPositions();
  if (c.inclusionReset) k.inclusions->ResetScrollPositions();
  k.exclusions->SetFlags(c.excludedRoots, c.excludedTypes);
  k.inclusions->SetFlags(c.includedRoots, c.includedTypes);
  if (c.octaveUpReset) k.octaveUp->ValueFromPlugin(0.0);
  if (c.octaveDownReset) k.octaveDown->ValueFromPlugin(0.0);
  if (c.dragShown && k.dragButton->IsHidden()) k.dragButton->SetHidden(false);
  k.undo->SetAvailable(c.canUndo);
  k.redo->SetAvailable(c.canRedo);
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  k.record->ShowCapturing(c.capturing, std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace velmora
