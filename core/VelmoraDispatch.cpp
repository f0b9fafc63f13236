// Parameter changes turned into engine operations.
#include <cmath>

#include "core/Velmora.h"

namespace velmora {
namespace {

// The drop-downs act only on chosen values; -1 means nothing chosen yet.
bool IsChoice(double v) { return v >= 0.0; }

// Buttons act on exactly 1.
bool IsPressed(double v) { return v == 1.0; }

}  // namespace

// The parameters that run an action when they go to 1 and then read 0 again.
bool Velmora::IsAction(int index) {
  switch (index) {
    case kUndo:
    case kRedo:
    case kRandomizeGrid:
    case kClearExclusions:
    case kClearInclusions:
    case kClearNoteSelection:
    case kClearGrid:
    case kGridOctaveDown:
    case kGridOctaveUp:
    case kDrag:
      return true;
    default:
      return false;
  }
}

void Velmora::OnParamChanged(int index) {
  auto lock = Lock();
  const Param* param = GetParam(index);
  if (param == nullptr) return;
  const double v = param->Value();
  if (IsAction(index)) {
    OnActionParam(index, v);
    return;
  }
  switch (index) {
    case kScalesDropdown: {
      const ScalePopupChoice& popup = mEngine.scalePopup;
      // The parameter's range ends at the row count, so the value fits an int.
      if (popup.chosenRoot != -1 && popup.chosenScale != -1 && IsChoice(v) && v <= kScaleRowCount)
        mEngine.SelectScale(static_cast<int>(std::trunc(v)));
      break;
    }
    // The popups' live choice is no part of a restored state: adding it
    // there would change what was saved.
    case kExclusionsDropdown:
      if (IsChoice(v) && !mRestoring) mEngine.ApplyExclusionChoice();
      break;
    case kInclusionsDropdown:
      if (IsChoice(v) && !mRestoring) mEngine.ApplyInclusionChoice();
      break;
    case kLooseMatches:
      mEngine.SetLooseMatchLimit(v);
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
      break;  // control bindings only
  }
}

// An action runs once per change to 1: a host resending a held 1 (some do)
// runs nothing, and a restore runs nothing at all. Afterwards the parameter
// reads 0, so that the next press is a change again and saved states hold 0.
// Its control reads 0 too, posted after the 1 the host's write posted, so
// that the 1 can never outlive the spring-back on screen; a control pressed
// in the editor springs back by itself and keeps its pressed look until then.
void Velmora::OnActionParam(int index, double v) {
  bool& held = mActionHeld[static_cast<size_t>(index)];
  const bool pressed = IsPressed(v) && !mRestoring;
  const bool change = pressed && !held;
  held = pressed;
  if (change) RunAction(index);
  if (v == 0.0) return;
  GetParam(index)->SetClamped(0.0);
  if (!mEditorEdit && Editor() != nullptr) Editor()->SetParamFromPlugin(index, 0.0, true);
}

void Velmora::RunAction(int index) {
  switch (index) {
    case kUndo: mEngine.UndoGrid(); break;
    case kRedo: mEngine.RedoGrid(); break;
    case kRandomizeGrid: mEngine.RandomizeGrid(); break;
    case kClearExclusions: mEngine.ClearExclusions(); break;
    case kClearInclusions: mEngine.ClearInclusions(); break;
    case kClearNoteSelection: mEngine.ClearNoteSelection(); break;
    case kClearGrid: mEngine.ClearGrid(); break;
    case kGridOctaveDown: ShiftGridOctave(-1, mViews.octaveDown); break;
    case kGridOctaveUp: ShiftGridOctave(+1, mViews.octaveUp); break;
    default: break;  // the drag button acts on the object directly
  }
}

void Velmora::SetParameterFromEditor(int index, double normalized) {
  auto lock = Lock();
  MarkStateEdited();
  // Its control read 0 before the press, whatever the host last sent.
  if (IsAction(index)) mActionHeld[static_cast<size_t>(index)] = false;
  mEditorEdit = true;
  IPluginBase::SetParameterFromEditor(index, normalized);
  mEditorEdit = false;
  // The host hears the spring-back too, so that recorded automation holds
  // one press per press.
  if (IsAction(index) && normalized != 0.0) AutomateParam(index, 0.0);
}

void Velmora::ShiftGridOctave(int delta, SwitchView* shownSwitch) {
  mEngine.ShiftGridOctave(delta);
  // The switch springs back on screen.
  if (shownSwitch != nullptr) shownSwitch->ValueFromPlugin(0.0);
}

}  // namespace velmora
