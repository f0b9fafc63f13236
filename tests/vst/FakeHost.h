#pragma once

#include <cstring>
#include <vector>

#include "framework/plugin/vst2/Vst2Abi.h"

namespace velmora::test {

// A host callback for unit tests: records every call and answers from
// settings the test chooses. One fake host answers at a time.
struct FakeHost {
  struct Call {
    int32_t opcode, index;
    intptr_t value;
    float opt;
  };

  FakeHost() { current = this; }
  ~FakeHost() { current = nullptr; }

  static intptr_t VST_CALL Callback(AEffect*, int32_t opcode, int32_t index, intptr_t value,
                                    void* ptr, float opt) {
    return current ? current->Answer(opcode, index, value, ptr, opt) : 0;
  }

  intptr_t Answer(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
    calls.push_back(Call{opcode, index, value, opt});
    if (opcode == audioMasterGetProductString && product)
      std::strcpy(static_cast<char*>(ptr), product);
    if (opcode == audioMasterGetVendorVersion) return vendorVersion;
    if (opcode == audioMasterGetTime) return answerTime ? reinterpret_cast<intptr_t>(&time) : 0;
    if (opcode == audioMasterGetCurrentProcessLevel) return processLevel;
    if (opcode != audioMasterProcessEvents) return 0;
    // Keeps the list's count, whether its second slot is empty, and a copy
    // of its one event (sysex events are larger than MIDI ones).
    const auto* list = static_cast<const VstEvents*>(ptr);
    sent.push_back(Sent{list->numEvents, list->events[1] == nullptr, {}});
    std::memcpy(sent.back().event, list->events[0],
                list->events[0]->type == kVstSysExType ? sizeof(VstMidiSysexEvent)
                                                       : sizeof(VstMidiEvent));
    return eventsAnswer;
  }

  int Count(int32_t opcode) const {
    int n = 0;
    for (const Call& call : calls) n += call.opcode == opcode;
    return n;
  }

  struct Sent {
    int32_t numEvents;
    bool secondSlotNull;
    alignas(VstMidiSysexEvent) unsigned char event[sizeof(VstMidiSysexEvent)];
    const VstMidiEvent& Midi() const { return *reinterpret_cast<const VstMidiEvent*>(event); }
    const VstMidiSysexEvent& SysEx() const {
      return *reinterpret_cast<const VstMidiSysexEvent*>(event);
    }
  };

  static inline FakeHost* current = nullptr;
  std::vector<Call> calls;
  std::vector<Sent> sent;
  const char* product = "Velmora Test Host";  // null: the host does not answer
  intptr_t vendorVersion = 10203;
  bool answerTime = true;
  VstTimeInfo time{};
  intptr_t processLevel = kVstProcessLevelRealtime;
  intptr_t eventsAnswer = 1;
};

}  // namespace velmora::test
