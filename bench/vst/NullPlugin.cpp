// The smallest VST 2.4 instrument: two silent outputs, no parameters, and
// processing entries that do nothing. The floor against which a plug-in's
// own processing cost is measured.
#include "framework/plugin/vst2/Vst2Abi.h"

#include <cstdint>
#include <new>

namespace {

constexpr std::int32_t kNullId = 0x564E756C;  // 'VNul'

std::intptr_t VST_CALL dispatchNull(AEffect* effect, std::int32_t opcode, std::int32_t, std::intptr_t,
                                    void*, float) {
  switch (opcode) {
    case effClose:
      delete effect;
      return 0;
    case effGetPlugCategory:
      return kPlugCategSynth;
    case effGetVstVersion:
      return kVstVersion;
    default:
      return 0;
  }
}

void VST_CALL processNothing(AEffect*, float**, float**, std::int32_t) {}
void VST_CALL processReplacingNothing(AEffect*, float**, float**, std::int32_t) {}
void VST_CALL setNoParameter(AEffect*, std::int32_t, float) {}
float VST_CALL getNoParameter(AEffect*, std::int32_t) { return 0.0f; }

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VST_CALL VSTPluginMain(audioMasterCallback host) {
  if (host == nullptr) return nullptr;
  auto* effect = new (std::nothrow) AEffect{};
  if (effect == nullptr) return nullptr;
  effect->magic = kEffectMagic;
  effect->dispatcher = dispatchNull;
  effect->process = processNothing;
  effect->processReplacing = processReplacingNothing;
  effect->setParameter = setNoParameter;
  effect->getParameter = getNoParameter;
  effect->numPrograms = 1;
  effect->numOutputs = 2;
  effect->flags = effFlagsCanReplacing | effFlagsIsSynth;
  effect->ioRatio = 1.0f;
  effect->uniqueID = kNullId;
  effect->version = 1;
  return effect;
}

// Older hosts look for "main"; C++ reserves that name, so the symbol is given
// to a C function of another name.
extern "C" __attribute__((visibility("default"))) AEffect* VST_CALL nullPluginMain(audioMasterCallback host)
    __asm__("main");
extern "C" AEffect* VST_CALL nullPluginMain(audioMasterCallback host) { return VSTPluginMain(host); }
