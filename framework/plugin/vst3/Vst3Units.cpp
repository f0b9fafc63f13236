// IUnitInfo of Vst3Controller: the parameter groups as units under the
// root, and the trigger keys' names ("Cell 1: C maj") as the pitch names of
// the root unit's one program.
#include <algorithm>

#include "framework/plugin/vst3/Vst3Controller.h"
#include "framework/plugin/vst3/Vst3Processor.h"

namespace velmora {

namespace {

using vst3::kResultFalse;
using vst3::kResultOk;
using vst3::kResultTrue;

constexpr vst3::ProgramListID kKeyList = 0;
constexpr const char* kKeyListName = "Trigger keys";
constexpr const char* kKeyProgramName = "Grid";
constexpr int kKeyCount = 128;

bool IsKeyProgram(vst3::ProgramListID listId, vst3::int32 programIndex) {
  return listId == kKeyList && programIndex == 0;
}

}  // namespace

vst3::UnitID Vst3Controller::UnitOf(const Param& param) const {
  const auto found = std::find(mGroups.begin(), mGroups.end(), std::string(param.Category()));
  return found == mGroups.end() ? vst3::kRootUnitId : static_cast<vst3::UnitID>(found - mGroups.begin()) + 1;
}

vst3::int32 Vst3Controller::getUnitCount() { return static_cast<vst3::int32>(mGroups.size()) + 1; }

vst3::tresult Vst3Controller::getUnitInfo(vst3::int32 unitIndex, vst3::UnitInfo& info) {
  if (unitIndex < 0 || unitIndex > static_cast<vst3::int32>(mGroups.size())) return vst3::kInvalidArgument;
  info = vst3::UnitInfo{};
  info.id = unitIndex;
  if (unitIndex == 0) {
    info.parentUnitId = vst3::kNoParentUnitId;
    info.programListId = kKeyList;
    CopyToUtf16(info.name, mModule.name, 128);
    return kResultOk;
  }
  info.parentUnitId = vst3::kRootUnitId;
  info.programListId = vst3::kNoProgramListId;
  CopyToUtf16(info.name, mGroups[static_cast<size_t>(unitIndex - 1)].c_str(), 128);
  return kResultOk;
}

vst3::int32 Vst3Controller::getProgramListCount() { return 1; }

vst3::tresult Vst3Controller::getProgramListInfo(vst3::int32 listIndex, vst3::ProgramListInfo& info) {
  if (listIndex != 0) return vst3::kInvalidArgument;
  info = vst3::ProgramListInfo{};
  info.id = kKeyList;
  info.programCount = 1;
  CopyToUtf16(info.name, kKeyListName, 128);
  return kResultOk;
}

vst3::tresult Vst3Controller::getProgramName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                             vst3::String128 name) {
  if (!name || !IsKeyProgram(listId, programIndex)) return vst3::kInvalidArgument;
  CopyToUtf16(name, kKeyProgramName, 128);
  return kResultOk;
}

vst3::tresult Vst3Controller::getProgramInfo(vst3::ProgramListID, vst3::int32, vst3::CString, vst3::String128) {
  return kResultFalse;
}

vst3::tresult Vst3Controller::hasProgramPitchNames(vst3::ProgramListID listId, vst3::int32 programIndex) {
  return IsKeyProgram(listId, programIndex) ? kResultTrue : kResultFalse;
}

// The keys the plug-in that plays gives a meaning to.
vst3::tresult Vst3Controller::getProgramPitchName(vst3::ProgramListID listId, vst3::int32 programIndex,
                                                  vst3::int16 midiPitch, vst3::String128 name) {
  velmora::IPluginBase* plugin = EditorPlugin();
  if (!name || !plugin || !IsKeyProgram(listId, programIndex) || midiPitch < 0 || midiPitch >= kKeyCount)
    return kResultFalse;
  try {
    std::string text;
    if (!plugin->MidiNoteName(midiPitch, &text)) return kResultFalse;
    CopyToUtf16(name, text.c_str(), 128);
    return kResultTrue;
  } catch (...) {
    return kResultFalse;
  }
}

vst3::UnitID Vst3Controller::getSelectedUnit() { return vst3::kRootUnitId; }

vst3::tresult Vst3Controller::selectUnit(vst3::UnitID unitId) {
  return unitId >= 0 && unitId <= static_cast<vst3::UnitID>(mGroups.size()) ? kResultOk : kResultFalse;
}

// Every channel of the note input plays the root unit's keys.
vst3::tresult Vst3Controller::getUnitByBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 busIndex,
                                           vst3::int32 channel, vst3::UnitID& unitId) {
  if (type != vst3::kEvent || dir != vst3::kInput || busIndex != 0 || channel < 0 || channel >= 16)
    return kResultFalse;
  unitId = vst3::kRootUnitId;
  return kResultTrue;
}

vst3::tresult Vst3Controller::setUnitProgramData(vst3::int32, vst3::int32, vst3::IBStream*) {
  return vst3::kNotImplemented;
}

// [UI] Every named key in one text, to see whether any changed.
std::string Vst3Controller::NoteNames(velmora::IPluginBase& plugin) const {
  std::string all, name;
  for (int key = 0; key < kKeyCount; ++key) {
    if (plugin.MidiNoteName(key, &name)) all += name + '\n';
  }
  return all;
}

}  // namespace velmora
