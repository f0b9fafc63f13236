#include "core/Velmora.h"

#include "framework/plugin/PluginFactory.h"

#include <ctime>


namespace velmora {
namespace {

enum class Kind { kInt, kBool };

struct ParamDefinition {
  int index;
  const char* name;
  Kind kind;
  int defaultValue;
  int minimum;
  int maximum;
  const char* shortLabel;  // what hosts show in narrow lists
  const char* category;
};

constexpr const char* kScale = "Scale";
constexpr const char* kFilters = "Filters";
constexpr const char* kGrid = "Grid";
constexpr const char* kInversions = "Inversions";
constexpr const char* kRecording = "Recording";

// In the order the editor build defines them.
constexpr ParamDefinition kParamDefinitions[] = {
    {kScalesDropdown, "ScalesDropdown", Kind::kInt, -1, 0, kScaleRowCount, "Scale", kScale},
    {kExclusionsDropdown, "ExclusionsDropdown", Kind::kInt, -1, 0, kChordRowCount, "Excl", kFilters},
    {kInclusionsDropdown, "InclusionsDropdown", Kind::kInt, -1, 0, kChordRowCount, "Incl", kFilters},
    {kNoteDropdown, "NoteDropdown", Kind::kInt, -1, 0, 127, "Note", kScale},
    {kLooseMatches, "LooseMatches", Kind::kInt, 0, 0, 4, "Loose", kFilters},
    {kUndo, "Undo", Kind::kBool, 0, 0, 1, "Undo", kGrid},
    {kRedo, "Redo", Kind::kBool, 0, 0, 1, "Redo", kGrid},
    {kRandomizeGrid, "RandomizeGrid", Kind::kBool, 0, 0, 1, "Random", kGrid},
    {kClearExclusions, "ClearExclusions", Kind::kBool, 0, 0, 1, "ClrExcl", kFilters},
    {kClearInclusions, "ClearInclusions", Kind::kBool, 0, 0, 1, "ClrIncl", kFilters},
    {kClearNoteSelection, "ClearNoteSelection", Kind::kBool, 0, 0, 1, "ClrNote", kScale},
    {kClearGrid, "ClearGrid", Kind::kBool, 0, 0, 1, "ClrGrid", kGrid},
    {kCustomInversionRoot, "CustomInversionRoot", Kind::kBool, 1, 0, 1, "Inv R", kInversions},
    {kCustomInversion1, "CustomInversion1", Kind::kBool, 0, 0, 1, "Inv 1", kInversions},
    {kCustomInversion2, "CustomInversion2", Kind::kBool, 0, 0, 1, "Inv 2", kInversions},
    {kCustomInversion3, "CustomInversion3", Kind::kBool, 0, 0, 1, "Inv 3", kInversions},
    {kCustomInversion4, "CustomInversion4", Kind::kBool, 0, 0, 1, "Inv 4", kInversions},
    {kCustomInversion5, "CustomInversion5", Kind::kBool, 0, 0, 1, "Inv 5", kInversions},
    {kGridOctaveUp, "GridOctaveUp", Kind::kBool, 0, 0, 1, "Oct +", kGrid},
    {kGridOctaveDown, "GridOctaveDown", Kind::kBool, 0, 0, 1, "Oct -", kGrid},
    {kRecord, "Record", Kind::kBool, 0, 0, 1, "Rec", kRecording},
    {kDrag, "Drag", Kind::kBool, 0, 0, 1, "Drag", kRecording},
};

}  // namespace

PluginDescriptor Velmora::Descriptor() {
  PluginDescriptor d;
  d.paramCount = kParamCount;
  d.channelIO = "0-1 0-2";
  d.presetCount = kPresetCount;
  d.effectName = "Velmora";
  d.productName = "";
  d.makerString = "LumarexLLC";
  d.version = kVersion;
  d.uniqueId = kUniqueId;
  d.latency = 0;
  d.stateChunks = true;
  d.isInstrument = true;
  d.doesMidi = true;
  return d;
}

Velmora::Velmora(PluginHost& host) : IPluginBase(host, Descriptor()) {
  // Members start at their initial values (Velmora.h); the generator is the
  // engine's own, seeded from the calendar time as RandomizeGrid expects.
  mEngine.SeedRandom(static_cast<unsigned>(std::time(nullptr)));
  mEngine.views = mChanges.ForEngine();
  mViews = mChanges.ForCore(nullptr);
  // The editor defines the parameters while it builds itself, then attaches.
  mEditorParts = MakePluginEditor(*this, [this] { DefineParameters(); });
  mAppDataFolder = mEditorParts->UserDataFolder();
  mRecorder.SetExportPath(mAppDataFolder + kExportFileName);
  // The writer's messages go where the host wants them.
  mRecorder.SetMessageSink([this](const std::string& line) { LogMessage(line.c_str()); });
  ReadHostTime(&mHostTime);
}

// The editor lets go of the plug-in before any member it reaches goes; the
// recorder's writer then finishes what was asked for.
Velmora::~Velmora() { mEditorParts->Disconnect(); }

void Velmora::DefineParameters() {
  for (const ParamDefinition& def : kParamDefinitions) {
    Param* param = GetParam(def.index);
    if (def.kind == Kind::kInt) {
      param->DefineInt(def.name, def.defaultValue, def.minimum, def.maximum);
    } else {
      param->DefineBool(def.name, def.defaultValue != 0);
    }
    param->SetHostPresentation(def.shortLabel, def.category);
    param->SetAutomatable(!IsAction(def.index));
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

std::unique_ptr<IPluginBase> MakePlugin(PluginHost& host) { return std::make_unique<Velmora>(host); }

}  // namespace velmora
