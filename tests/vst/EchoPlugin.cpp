// A test fixture plug-in that exercises the host side of the interface: it
// sends back every MIDI event it receives (same delta) from inside the next
// processReplacing, writes the host's sample position and tempo into its two
// outputs, announces parameter changes to the host, and keeps a chunk.
#include "framework/plugin/vst2/Vst2Abi.h"

#include <cstdio>
#include <cstring>
#include <cstdint>
#include <new>
#include <vector>

namespace {

struct Echo {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  float gain = 0.25f;
  std::vector<VstMidiEvent> received;
  std::vector<char> chunk;
};

Echo& echoOf(AEffect* effect) { return *static_cast<Echo*>(effect->object); }

void copyText(void* ptr, const char* text, std::size_t size) {
  std::snprintf(static_cast<char*>(ptr), size, "%s", text);
}

void receive(Echo& echo, const VstEvents* events) {
  VstEvent* const* slots = events->events;
  for (std::int32_t i = 0; i < events->numEvents; ++i)
    if (slots[i] != nullptr && slots[i]->type == kVstMidiType)
      echo.received.push_back(*reinterpret_cast<const VstMidiEvent*>(slots[i]));
}

std::intptr_t chunkRequest(Echo& echo, std::int32_t opcode, std::intptr_t size, void* ptr) {
  if (opcode == effGetChunk) {
    echo.chunk.assign({'E', 'c', 'h', 'o', static_cast<char>(echo.gain * 100)});
    *static_cast<void**>(ptr) = echo.chunk.data();
    return static_cast<std::intptr_t>(echo.chunk.size());
  }
  const char* data = static_cast<const char*>(ptr);
  if (size != 5 || std::memcmp(data, "Echo", 4) != 0) return 0;
  echo.gain = static_cast<float>(data[4]) / 100.0f;
  return 1;
}

std::intptr_t VST_CALL dispatch(AEffect* effect, std::int32_t opcode, std::int32_t index, std::intptr_t value,
                                void* ptr, float) {
  Echo& echo = echoOf(effect);
  switch (opcode) {
    case effClose: delete &echo; return 0;
    case effProcessEvents: receive(echo, static_cast<const VstEvents*>(ptr)); return 1;
    case effGetParamName: if (index == 0) copyText(ptr, "Gain", kVstMaxParamStrLen); return 0;
    case effGetParamLabel: if (index == 0) copyText(ptr, "%", kVstMaxParamStrLen); return 0;
    case effGetParamDisplay:
      if (index == 0)
        std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen, "%u",
                      static_cast<unsigned>(static_cast<unsigned char>(echo.gain * 100 + 0.5f)));
      return 0;
    case effGetEffectName: copyText(ptr, "Echo", kVstMaxEffectNameLen); return 1;
    case effCanDo: return std::strcmp(static_cast<const char*>(ptr), "receiveVstMidiEvent") == 0 ? 1 : -1;
    case effGetChunk:
    case effSetChunk: return chunkRequest(echo, opcode, value, ptr);
    default: return 0;
  }
}

void sendBack(Echo& echo) {
  if (echo.received.empty()) return;
  std::vector<VstEvent*> slots;
  for (auto& event : echo.received) slots.push_back(reinterpret_cast<VstEvent*>(&event));
  std::vector<unsigned char> storage(sizeof(VstEvents) + slots.size() * sizeof(VstEvent*));
  auto* list = reinterpret_cast<VstEvents*>(storage.data());
  list->numEvents = static_cast<std::int32_t>(slots.size());
  std::memcpy(list->events, slots.data(), slots.size() * sizeof(VstEvent*));
  echo.host(&echo.effect, audioMasterProcessEvents, 0, 0, list, 0.0f);
  echo.received.clear();
}

void VST_CALL processReplacing(AEffect* effect, float**, float** outputs, std::int32_t frames) {
  Echo& echo = echoOf(effect);
  echo.host(effect, audioMasterWantMidi, 0, 0, nullptr, 0.0f);
  sendBack(echo);
  const auto* time = reinterpret_cast<const VstTimeInfo*>(
      echo.host(effect, audioMasterGetTime, 0, kVstTempoValid, nullptr, 0.0f));
  for (std::int32_t i = 0; i < frames; ++i) {
    outputs[0][i] = time != nullptr ? static_cast<float>(time->samplePos) : -1.0f;
    outputs[1][i] = time != nullptr ? static_cast<float>(time->tempo) * echo.gain : -1.0f;
  }
}

void VST_CALL processAccumulating(AEffect*, float**, float**, std::int32_t) {}

void VST_CALL setParameter(AEffect* effect, std::int32_t index, float value) {
  Echo& echo = echoOf(effect);
  if (index != 0) return;
  echo.host(effect, audioMasterBeginEdit, 0, 0, nullptr, 0.0f);
  echo.gain = value;
  echo.host(effect, audioMasterAutomate, 0, 0, nullptr, value);
  echo.host(effect, audioMasterEndEdit, 0, 0, nullptr, 0.0f);
}

float VST_CALL getParameter(AEffect* effect, std::int32_t index) {
  return index == 0 ? echoOf(effect).gain : 0.0f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VST_CALL VSTPluginMain(audioMasterCallback host) {
  if (host == nullptr || host(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) < 2400) return nullptr;
  auto* echo = new (std::nothrow) Echo;
  if (echo == nullptr) return nullptr;
  echo->host = host;
  AEffect& e = echo->effect;
  e.magic = kEffectMagic;
  e.dispatcher = dispatch;
  e.process = processAccumulating;
  e.processReplacing = processReplacing;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numPrograms = 1;
  e.numParams = 1;
  e.numOutputs = 2;
  e.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsIsSynth;
  e.ioRatio = 1.0f;
  e.object = echo;
  e.uniqueID = 0x4563686F;  // 'Echo'
  e.version = 7;
  return &e;
}
