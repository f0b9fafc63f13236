// The dispatcher opcodes of IPluginVST. Each runs with the plug-in lock
// held, but for the editor's and the event opcodes (see VstDispatcher);
// opcodes not handled here answer 0 and change nothing.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "framework/plugin/vst2/IPluginVST.h"
#include "framework/plugin/HostText.h"

namespace velmora {

namespace {

constexpr intptr_t kIdentifyAnswer = 0x4E764566;  // 'NvEf'
constexpr intptr_t kVendorSpecificAnswer = 0xBEEF;
constexpr int32_t kVendorFormatValue = 7;
constexpr int32_t kVendorIsStepped = 8;
// The editor's scale, as some hosts send it: index 'PreS', value 'AeCs',
// the factor in opt.
constexpr int32_t kVendorPreSonus = 0x50726553;
constexpr intptr_t kVendorContentScale = 0x41654373;
constexpr size_t kReaperParamNameLen = 256;
// Text a host types for a parameter; far longer than any value text.
constexpr size_t kMaxTypedText = 255;

// A host value used as an index; one outside the int range matches nothing.
int ToIndex(intptr_t value) {
  if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
    return -1;
  return static_cast<int>(value);
}

}  // namespace

intptr_t IPluginVST::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                              float opt) {
  switch (opcode) {
    case effOpen:
      InitForHost();
      mPlugin->NotifyAllParams();
      return 0;
    case effSetProgram:
    case effGetProgram:
    case effSetProgramName:
    case effGetProgramName:
    case effGetProgramNameIndexed:
      return DispatchProgram(opcode, index, value, ptr);
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
      return DispatchParamText(opcode, index, ptr);
    case effSetSampleRate:
    case effSetBlockSize:
    case effMainsChanged:
      return DispatchSetup(opcode, value, opt);
    case effGetChunk:
      return GetChunk(index == 0, ptr);
    case effSetChunk:
      return SetChunk(index == 0, value, ptr);
    case effString2Parameter:
      return String2Parameter(index, ptr);
    case effGetInputProperties:
    case effGetOutputProperties:
      return PinProperties(opcode == effGetInputProperties, index, ptr);
    case effSetSpeakerArrangement:
      return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                   static_cast<const VstSpeakerArrangement*>(ptr));
    case effGetSpeakerArrangement:
      return GetSpeakerArrangement(value, ptr);
    case effVendorSpecific:
      return VendorSpecific(index, value, ptr, opt);
    case effCanDo:
      return CanDo(ptr);
    case effGetMidiKeyName:
      return MidiKeyNameFor(ptr);
    case effGetParameterProperties:
      return ParameterPropertiesFor(index, ptr);
    default:
      return DispatchInfo(opcode, index, ptr);
  }
}

intptr_t IPluginVST::DispatchProgram(int32_t opcode, int32_t index, intptr_t value, void* ptr) {
  switch (opcode) {
    case effSetProgram:
      if (!mPlugin->StateChunks()) mPlugin->ModifyCurrentPreset();
      mPlugin->LoadPreset(ToIndex(value));
      return 0;
    case effGetProgram:
      return mPlugin->CurrentPresetIndex();
    case effSetProgramName:
      if (ptr) {
        std::string name = ReadHostText(ptr, IPluginBase::kMaxPresetNameLength);
        mPlugin->ModifyCurrentPreset(name.c_str());
        mPlugin->OnPresetsChanged();
      }
      return 0;
    case effGetProgramName:
      CopyToHost(ptr, mPlugin->PresetName(mPlugin->CurrentPresetIndex()), kVstMaxProgNameLen);
      return 0;
    default: {  // effGetProgramNameIndexed
      if (!ptr) return 0;
      const char* name = mPlugin->PresetName(index);
      CopyToHost(ptr, name, kVstMaxProgNameLen);
      return *name ? 1 : 0;
    }
  }
}

intptr_t IPluginVST::DispatchParamText(int32_t opcode, int32_t index, void* ptr) {
  const Param* param = mPlugin->GetParam(index);
  if (!param) return 0;
  if (opcode == effGetParamLabel) {
    CopyToHost(ptr, param->UnitLabel(), kVstMaxParamStrLen);
  } else if (opcode == effGetParamDisplay) {
    // The host sees the value inside the range, as the normalised one is.
    std::string text = param->FormatValue(param->Clamp(param->Value()), false, true);
    CopyToHost(ptr, text.c_str(), kVstMaxParamStrLen);
  } else {
    // REAPER documents a 256-byte name buffer; other hosts get the
    // interface's 8 bytes (and the full name through the properties).
    const size_t room = mPlugin->Host() == kHostReaper ? kReaperParamNameLen : size_t{kVstMaxParamStrLen};
    CopyToHost(ptr, param->Name(), room);
  }
  return 0;
}

intptr_t IPluginVST::DispatchSetup(int32_t opcode, intptr_t value, float opt) {
  if (opcode == effSetSampleRate) {
    // A rate of zero, below it or not a number would poison every later
    // frame computation; the last good rate stays.
    if (std::isfinite(opt) && opt > 0.0f) mPlugin->SetSampleRate(opt);
    mPlugin->OnReset();
  } else if (opcode == effSetBlockSize) {
    if (value >= 1) {
      mPlugin->SetMaxBlockSize(static_cast<int>(std::min<intptr_t>(value, kMaxAnnouncedBlockSize)));
    }
    mPlugin->OnReset();
  } else if (value != 0) {  // effMainsChanged
    mPlugin->OnActiveChanged(true);
  } else {
    mPlugin->OnActiveChanged(false);
    mPlugin->OnReset();
  }
  return 0;
}

intptr_t IPluginVST::DispatchEditor(int32_t opcode, intptr_t value, void* ptr) {
  IEditorLink* editor = mPlugin->Editor();
  if (!editor) return 0;
  if (opcode == effEditGetRect) {
    if (!ptr) return 0;
    *static_cast<ERect**>(ptr) = &mEditorRect;
    return 1;
  }
  // The window is made and closed without the plug-in lock: only the
  // plug-in's own hooks need it.
  if (opcode == effEditOpen) {
    // Without the host's parent window there is nothing to open into.
    if (!ptr) return 0;
    editor->SetHostConnectionHint(reinterpret_cast<void*>(value));
    if (!editor->OpenWindow(ptr)) return 0;
    auto lock = mPlugin->Lock();
    mPlugin->OnEditorOpened();
    return 1;
  }
  {
    auto lock = mPlugin->Lock();
    mPlugin->OnEditorClosing();
  }
  editor->CloseWindow();
  return 1;
}

// An action (Undo, Clear, ...) replayed by automation would repeat the
// press at every pass: hosts are told not to record it.
intptr_t IPluginVST::CanBeAutomated(int32_t index) const {
  const Param* param = mPlugin->GetParam(index);
  return param && !param->IsAutomatable() ? 0 : 1;
}

intptr_t IPluginVST::DispatchInfo(int32_t opcode, int32_t index, void* ptr) {
  switch (opcode) {
    case effIdentify:
      return kIdentifyAnswer;
    case effCanBeAutomated:
      return CanBeAutomated(index);
    case effGetPlugCategory:
      return mPlugin->IsInstrument() ? kPlugCategSynth : kPlugCategEffect;
    case effGetEffectName:
      CopyToHost(ptr, mPlugin->EffectName(), kVstMaxEffectNameLen);
      return ptr ? 1 : 0;
    case effGetVendorString:
      CopyToHost(ptr, mPlugin->MakerString(), kVstMaxVendorStrLen);
      return ptr ? 1 : 0;
    case effGetProductString:
      CopyToHost(ptr, mPlugin->ProductName(), kVstMaxProductStrLen);
      return ptr ? 1 : 0;
    case effGetVendorVersion:
      return mPlugin->DecimalVersion();
    case effGetTailSize:
      return mPlugin->TailSize();
    case effGetVstVersion:
      return kVstVersion;
    default:
      return 0;
  }
}

// [processing] Without the plug-in lock: the events wait in the ring for
// the block they belong to, which plays each at its own frame.
intptr_t IPluginVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  // The list really holds numEvents entries; only null entries are skipped.
  VstEvent* const* slots = events->events;
  int32_t count = std::min(events->numEvents, kMaxEventsPerCall);
  for (int32_t i = 0; i < count; ++i) {
    const VstEvent* event = slots[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      HostEventRing::Event queued;
      queued.frame = midi->deltaFrames;
      queued.midi.status = static_cast<uint8_t>(midi->midiData[0]);
      queued.midi.data1 = static_cast<uint8_t>(midi->midiData[1]);
      queued.midi.data2 = static_cast<uint8_t>(midi->midiData[2]);
      mPlugin->HostEvents().Push(queued);
    } else if (event->type == kVstSysExType) {
      HandleSysExNow(*reinterpret_cast<const VstMidiSysexEvent*>(event));
    }
  }
  return 1;
}

// A dump's bytes live only as long as the call: it is handled now, or
// dropped when the lock is busy.
void IPluginVST::HandleSysExNow(const VstMidiSysexEvent& sysex) {
  if (!sysex.sysexDump || sysex.dumpBytes <= 0) return;
  auto lock = mPlugin->TryLockForBlock();
  if (!lock.owns_lock()) return;
  SysExMessage message;
  message.offset = sysex.deltaFrames;
  message.size = sysex.dumpBytes;
  message.data = reinterpret_cast<const uint8_t*>(sysex.sysexDump);
  mPlugin->HandleSysEx(message);
}

intptr_t IPluginVST::String2Parameter(int index, const void* text) {
  Param* param = mPlugin->GetParam(index);
  if (!param) return 0;
  if (!text) return 1;
  std::string typed = ReadHostText(text, kMaxTypedText);
  double value = 0.0;
  if (!param->ValueFromText(typed.c_str(), &value)) return 0;
  if (mPlugin->Editor()) mPlugin->Editor()->SetParamFromPlugin(index, param->Clamp(value), false);
  param->SetClamped(value);
  mPlugin->OnParamChanged(index);
  return 1;
}

intptr_t IPluginVST::PinProperties(bool input, int index, void* ptr) {
  int count = input ? mPlugin->NInChannels() : mPlugin->NOutChannels();
  if (!ptr || index < 0 || index >= count) return 0;
  auto* pin = static_cast<VstPinProperties*>(ptr);
  pin->flags = kVstPinIsActive;
  // Even channels start a stereo pair when a partner follows them.
  if (index % 2 == 0 && index < count - 1) pin->flags |= kVstPinIsStereo;
  const char* label = input ? mPlugin->InChannelLabel(index) : mPlugin->OutChannelLabel(index);
  char fallback[32];
  if (!*label) {
    std::snprintf(fallback, sizeof(fallback), "%s %d", input ? "Input" : "Output", index + 1);
    label = fallback;
  }
  CopyToHost(pin->label, label, kVstMaxLabelLen);
  CopyToHost(pin->shortLabel, label, kVstMaxShortLabelLen);
  return 1;
}

intptr_t IPluginVST::VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt) {
  if (index == kVendorPreSonus && value == kVendorContentScale) {
    IEditorLink* editor = mPlugin->Editor();
    if (!editor || !std::isfinite(opt) || opt <= 0.0f) return 0;
    editor->SetHostScale(opt);
    return 1;
  }
  const Param* param = mPlugin->GetParam(ToIndex(value));
  if (index == kVendorFormatValue && ptr) {
    if (param) {
      std::string text = param->FormatValue(HostNormalized(opt), true, true);
      CopyToHost(ptr, text.c_str(), kVstMaxParamStrLen);
    }
    return kVendorSpecificAnswer;
  }
  if (index == kVendorIsStepped && param && param->Kind() != ParamKind::kDouble)
    return kVendorSpecificAnswer;
  return 0;
}

intptr_t IPluginVST::CanDo(const void* text) const {
  if (!text) return 0;
  const char* asked = static_cast<const char*>(text);
  if (std::strcmp(asked, "receiveVstTimeInfo") == 0) return 1;
  if (!mPlugin->DoesMidi()) return 0;
  static const char* const kMidiCapabilities[] = {"sendVstEvents", "sendVstMidiEvent",
                                                  "receiveVstEvents", "receiveVstMidiEvent"};
  for (const char* capability : kMidiCapabilities) {
    if (std::strcmp(asked, capability) == 0) return 1;
  }
  return 0;
}

intptr_t IPluginVST::SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                           const VstSpeakerArrangement* output) {
  if (input) {
    for (int i = 0; i < mPlugin->NInChannels(); ++i) mPlugin->SetInChannelConnected(i, i < input->numChannels);
  }
  if (output) {
    for (int i = 0; i < mPlugin->NOutChannels(); ++i) mPlugin->SetOutChannelConnected(i, i < output->numChannels);
  }
  return 1;
}

intptr_t IPluginVST::GetSpeakerArrangement(intptr_t input, void* output) {
  if (input) *reinterpret_cast<VstSpeakerArrangement**>(input) = &mInputArrangement;
  if (output) *static_cast<VstSpeakerArrangement**>(output) = &mOutputArrangement;
  return 1;
}

intptr_t IPluginVST::MidiKeyNameFor(void* ptr) {
  if (!ptr) return 0;
  auto* key = static_cast<MidiKeyName*>(ptr);
  key->keyName[0] = '\0';
  std::string name;
  bool named = mPlugin->MidiNoteName(key->thisKeyNumber, &name);
  CopyToHost(key->keyName, name.c_str(), sizeof(key->keyName));
  return named ? 1 : 0;
}

intptr_t IPluginVST::ParameterPropertiesFor(int index, void* ptr) {
  const Param* param = mPlugin->GetParam(index);
  if (!param || !ptr || param->Kind() == ParamKind::kNone) return 0;
  auto* properties = static_cast<VstParameterProperties*>(ptr);
  *properties = VstParameterProperties{};
  CopyToHost(properties->label, param->Name(), sizeof(properties->label));
  CopyToHost(properties->shortLabel, param->ShortLabel(), sizeof(properties->shortLabel));
  if (param->Kind() == ParamKind::kBool) {
    properties->flags |= kVstParameterIsSwitch;
  } else if (param->Kind() == ParamKind::kInt) {
    properties->flags |= kVstParameterUsesIntegerMinMax | kVstParameterUsesIntStep;
    properties->minInteger = static_cast<int32_t>(param->Min());
    properties->maxInteger = static_cast<int32_t>(param->Max());
    properties->stepInteger = 1;
    properties->largeStepInteger = 1;
  }
  const std::string category = param->Category();
  if (category.empty()) return 1;
  // Categories count from 1 in the order the parameters first name them.
  std::vector<std::string> seen;
  int16_t members = 0;
  for (int i = 0; i < mPlugin->NParams(); ++i) {
    const std::string other = mPlugin->GetParam(i)->Category();
    if (other.empty()) continue;
    if (std::find(seen.begin(), seen.end(), other) == seen.end()) seen.push_back(other);
    if (other == category) ++members;
  }
  properties->flags |= kVstParameterSupportsDisplayCategory;
  properties->category =
      static_cast<int16_t>(std::find(seen.begin(), seen.end(), category) - seen.begin() + 1);
  properties->numParametersInCategory = members;
  CopyToHost(properties->categoryLabel, category.c_str(), sizeof(properties->categoryLabel));
  return 1;
}

}  // namespace velmora
