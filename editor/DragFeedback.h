#pragma once

#include <string>

#include "framework/graphics/IControl.h"

namespace velmora {

// What a chord dragged from the list or the grid would do: its name follows
// the pointer as a light label inside the window, and the grid cell it would
// land in is outlined (none outside the grid, none over the cell it came
// from). Drawn over every other control and never hit; it finds the drag
// through the editor's mouse capture, so an idle editor pays one look per
// tick.
//
// Threads: the editor's thread only.
class DragFeedbackControl : public IControl {
 public:
  explicit DragFeedbackControl(IPluginBase* plugin);

  bool HitTest(int, int) override { return false; }
  bool NeedsRepaint() override;
  bool Draw(IGraphics& graphics) override;

  // What the feedback shows now; empty rectangles for nothing.
  const Rect& LabelRect() const { return mShown.label; }
  const Rect& TargetRect() const { return mShown.target; }
  const std::string& LabelText() const { return mShown.text; }

 private:
  struct Shown {
    Rect label, target;
    std::string text;
    bool operator==(const Shown& o) const { return label == o.label && target == o.target && text == o.text; }
  };
  Shown Current();

  Shown mShown;
  TextStyle mTextStyle;
};

}  // namespace velmora
