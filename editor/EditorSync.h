#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "editor/VelmoraEditor.h"
#include "engine/ChordEngine.h"
#include "framework/graphics/IGraphics.h"

namespace velmora {

class ViewChanges;

// Brings the controls up to date with the plug-in on the editor's thread:
// under the plug-in lock it copies what changed since the last look (the
// chord list, the grid, the highlights, the filters, the popups' choice,
// sounding cells, switch resets, the drag button); then, without the lock,
// it hands the copies to the controls, which draw from them.
//
// Threads: the editor's thread only.
class EditorSync : public IEditorSync {
 public:
  EditorSync(Velmora& plugin, const EditorControls& controls);

  void SyncFromPlugin(bool blocking) override;

 private:
  struct Seen {
    uint32_t chordList = 0, grid = 0, highlights = 0, scaleChoice = 0;
    uint32_t exclusionResets = 0, inclusionResets = 0, octaveUpResets = 0, octaveDownResets = 0;
    uint64_t gridAt = 0;
    std::array<uint64_t, kGridCellCount> cellAt{};
  };
  // What one look found; its buffers are kept between looks.
  struct Copies {
    bool list = false, grid = false, highlights = false, scale = false;
    bool exclusionReset = false, inclusionReset = false, octaveUpReset = false, octaveDownReset = false;
    bool dragShown = false;
    bool canUndo = false, canRedo = false, capturing = false;
    std::vector<ChordEntry> chordPage;  // a rebuilt list shows from its first entry
    int chordCount = 0;
    GridCells cells;
    std::vector<std::pair<int, bool>> sounding;
    std::vector<int> highlightNotes;
    std::array<bool, kPitchClassCount> pitchClasses{};
    std::array<bool, kPitchClassCount> excludedRoots{}, includedRoots{};
    std::array<bool, kChordTypeCount> excludedTypes{}, includedTypes{};
    ScalePopupChoice scaleChoice;
  };

  void Copy(const ViewChanges& changes, const ChordEngine& engine);
  void Apply();

  Velmora& mPlugin;
  EditorControls mControls;
  Seen mSeen;
  Copies mCopies;
  bool mFirst = true;
};

}  // namespace velmora
