// Parameter changes turned into engine operations.
#include <cmath>

#include "core/Velmora.h"

namespace velmora {
namespace {

// The drop-downs act only on chosen values; -1 means nothing chosen yet.
bool IsChoice(double v) { return v >= 0.0; }

// Buttons act on exactly 1, again at every notification with 1.
bool IsPressed(double v) { return v == 1.0; }

}  // namespace

void Velmora::OnParamChanged(int index) {
  auto lock = Lock();
  const Param* param = GetParam(index);
  if (param == nullptr) return;
  const double v = param->Value();
  switch (index) {
    case kScalesDropdown: {
      const ScalePopupChoice& popup = mEngine.ScalePopup;
      // The parameter's range ends at the row count, so the value fits an int.
      if (popup.chosenRoot != -1 && popup.chosenScale != -1 && IsChoice(v) && v <= kScaleRowCount)
        mEngine.SelectScale(static_cast<int>(std::trunc(v)));
      break;
    }
    case kExclusionsDropdown:
      if (IsChoice(v)) mEngine.ApplyExclusionChoice();
      break;
    case kInclusionsDropdown:
      if (IsChoice(v)) mEngine.ApplyInclusionChoice();
      break;
    case kUndo:
      if (IsPressed(v)) mEngine.UndoGrid();
      break;
    case kRedo:
      if (IsPressed(v)) mEngine.RedoGrid();
      break;
    case kRandomizeGrid:
      if (IsPressed(v)) mEngine.RandomizeGrid();
      break;
    case kLooseMatches:
      mEngine.SetLooseMatchLimit(v);
      break;
    case kClearExclusions:
      if (IsPressed(v)) mEngine.ClearExclusions();
      break;
    case kClearInclusions:
      if (IsPressed(v)) mEngine.ClearInclusions();
      break;
    case kClearNoteSelection:
      if (IsPressed(v)) mEngine.ClearNoteSelection();
      break;
    case kClearGrid:
      if (IsPressed(v)) mEngine.ClearGrid();
      break;
    case kGridOctaveDown:
      if (IsPressed(v)) ShiftGridOctave(-1, mViews.octaveDown);
      break;
    case kGridOctaveUp:
      if (IsPressed(v)) ShiftGridOctave(+1, mViews.octaveUp);
      break;
    case kCustomInversionRoot:
    case kCustomInversion1:
    case kCustomInversion2:
    case kCustomInversion3:
    case kCustomInversion4:
    case kCustomInversion5:
      mEngine.SetInversionEnabled(index - kCustomInversionRoot, v != 0.0);
      break;
    case kRecord:
      // A tempo is asked of the host only when an export can follow.
      mRecorder.SetArmed(v, v != 0.0 ? 0 : ExportSamplesPerBeat());
      break;
    default:
      break;  // control bindings only; the drag button acts on the object directly
  }
}

void Velmora::ShiftGridOctave(int delta, SwitchView* shownSwitch) {
  mEngine.ShiftGridOctave(delta);
  // The switch springs back on screen; the parameter keeps its 1.
  if (shownSwitch != nullptr) shownSwitch->ValueFromPlugin(0.0);
}

}  // namespace velmora
