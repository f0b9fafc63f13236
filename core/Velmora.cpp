#include "core/Velmora.h"

#include <ctime>

#include "core/platform/AppDataFolder.h"

namespace velmora {
namespace {

enum class Kind { Int, Bool };

struct ParamDefinition {
  int index;
  const char* name;
  Kind kind;
  int defaultValue;
  int minimum;
  int maximum;
};

// In the order the editor build defines them.
constexpr ParamDefinition kParamDefinitions[] = {
    {kScalesDropdown, "ScalesDropdown", Kind::Int, -1, 0, kScaleRowCount},
    {kExclusionsDropdown, "ExclusionsDropdown", Kind::Int, -1, 0, kChordRowCount},
    {kInclusionsDropdown, "InclusionsDropdown", Kind::Int, -1, 0, kChordRowCount},
    {kNoteDropdown, "NoteDropdown", Kind::Int, -1, 0, 127},
    {kLooseMatches, "LooseMatches", Kind::Int, 0, 0, 4},
    {kUndo, "Undo", Kind::Bool, 0, 0, 1},
    {kRedo, "Redo", Kind::Bool, 0, 0, 1},
    {kRandomizeGrid, "RandomizeGrid", Kind::Bool, 0, 0, 1},
    {kClearExclusions, "ClearExclusions", Kind::Bool, 0, 0, 1},
    {kClearInclusions, "ClearInclusions", Kind::Bool, 0, 0, 1},
    {kClearNoteSelection, "ClearNoteSelection", Kind::Bool, 0, 0, 1},
    {kClearGrid, "ClearGrid", Kind::Bool, 0, 0, 1},
    {kCustomInversionRoot, "CustomInversionRoot", Kind::Bool, 1, 0, 1},
    {kCustomInversion1, "CustomInversion1", Kind::Bool, 0, 0, 1},
    {kCustomInversion2, "CustomInversion2", Kind::Bool, 0, 0, 1},
    {kCustomInversion3, "CustomInversion3", Kind::Bool, 0, 0, 1},
    {kCustomInversion4, "CustomInversion4", Kind::Bool, 0, 0, 1},
    {kCustomInversion5, "CustomInversion5", Kind::Bool, 0, 0, 1},
    {kGridOctaveUp, "GridOctaveUp", Kind::Bool, 0, 0, 1},
    {kGridOctaveDown, "GridOctaveDown", Kind::Bool, 0, 0, 1},
    {kRecord, "Record", Kind::Bool, 0, 0, 1},
    {kDrag, "Drag", Kind::Bool, 0, 0, 1},
};

}  // namespace

void Velmora::Construct() {
  // Members start at their initial values (Velmora.h); the generator is the
  // engine's own, seeded from the calendar time as RandomizeGrid expects.
  mEngine.SeedRandom(static_cast<unsigned>(std::time(nullptr)));
  mEngine.views = mChanges.ForEngine();
  mViews = mChanges.ForCore(nullptr);
  DefineParameters();
  mAppDataFolder = ApplicationDataFolder();
  mRecorder.SetExportPath(mAppDataFolder + kExportFileName);
  ReadHostTime(&mHostTime);
}

// The recorder's writer finishes what was asked for before the instance goes.
Velmora::~Velmora() = default;

void Velmora::DefineParameters() {
  for (const ParamDefinition& def : kParamDefinitions) {
    Param* param = GetParam(def.index);
    if (def.kind == Kind::Int) {
      param->DefineInt(def.name, def.defaultValue, def.minimum, def.maximum);
    } else {
      param->DefineBool(def.name, def.defaultValue != 0);
    }
  }
}

void Velmora::OnReset() {
  auto lock = Lock();
  mAuditions.MidiQueue().ResizeForBlock(MaxBlockSize());
}

void Velmora::SetFileDragSource(FileDragSource* drag) {
  auto lock = Lock();
  mViews.drag = drag;
}

}  // namespace velmora
