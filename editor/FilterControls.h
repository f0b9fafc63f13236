#pragma once

#include <array>

#include "core/Velmora.h"
#include "editor/PositionBar.h"
#include "framework/graphics/IControl.h"

namespace velmora {

class IPopupMenuChords;

// One filter box: the roots (left column) and chord types (right column) of
// the exclusion or inclusion filter, eight rows each with a mark to remove an
// entry, each column moved an entry per wheel notch or along its position
// bar, which a press on it never removes through.
//
// Threads: the editor's thread only. It draws from its own copy of the
// flags, which the editor's sync refreshes; a removal goes to the plug-in.
class FilterListControl : public IControl {
 public:
  static constexpr int kVisibleRows = 8;
  static constexpr int kRowHeight = 16;

  FilterListControl(Velmora* plugin, int paramIdx, const Rect& rect, FilterBox box, const IPopupMenuChords* names);

  void MouseDown(int x, int y, const MouseMods& mods) override;
  void MouseDrag(int x, int y, int dx, int dy, const MouseMods& mods) override;
  void MouseUp(int x, int y, const MouseMods& mods) override;
  void MouseCaptureLost() override;
  void MouseWheel(int x, int y, const MouseMods& mods, float delta) override;
  bool Draw(IGraphics& graphics) override;
  // Redrawn at every editor refresh, painted only when it changed.
  bool IsDirty() override { return true; }
  bool NeedsRepaint() override;

  void SetFlags(const std::array<bool, kPitchClassCount>& roots, const std::array<bool, kChordTypeCount>& types);
  void ResetScrollPositions();
  int LeftScrollOffset() const { return mLeftScroll; }
  int RightScrollOffset() const { return mRightScroll; }

 private:
  struct Shown {
    std::array<bool, kPitchClassCount> roots{};
    std::array<bool, kChordTypeCount> types{};
    int leftScroll = 0;
    int rightScroll = 0;
    bool operator==(const Shown& o) const {
      return roots == o.roots && types == o.types && leftScroll == o.leftScroll && rightScroll == o.rightScroll;
    }
  };

  template <size_t N>
  void DrawColumn(IGraphics& graphics, const std::array<bool, N>& flags, int offset, int textLeft, int textRight,
                  int markLeft, bool roots);
  template <size_t N>
  int PressColumn(std::array<bool, N>& flags, int offset, int x, int y, int left, int right, bool roots);
  void Remove(bool root, int index);
  // Whether the press went to a column's bar, which then moves the column.
  bool PressBar(int x, int y);

  Color mMarkColour;
  TextStyle mEntryStyle;
  Rect mListArea;
  Velmora* mVelmora;
  int mSplit;      // s: where the right column's text starts
  int mHitSplit;   // h: presses left of it belong to the left column
  int mLeftScroll = 0;
  int mRightScroll = 0;
  PositionBar mLeftBar;
  PositionBar mRightBar;
  FilterBox mBox;
  const IPopupMenuChords* mNames;
  Shown mFlags;  // the flags as the plug-in holds them, and the offsets
  Shown mDrawn;
  bool mEverDrawn = false;
};

class ExclusionsControl : public FilterListControl {
 public:
  ExclusionsControl(Velmora* plugin, const Rect& rect, const IPopupMenuChords* names)
      : FilterListControl(plugin, kExclusionsControl, rect, FilterBox::kExclusions, names) {}
};

class InclusionsControl : public FilterListControl {
 public:
  InclusionsControl(Velmora* plugin, const Rect& rect, const IPopupMenuChords* names)
      : FilterListControl(plugin, kInclusionsControl, rect, FilterBox::kInclusions, names) {}
};

}  // namespace velmora
