// Construction, the effect record's entries and the host set-up of
// IPluginVST.
#include "framework/plugin/vst2/IPluginVST.h"

#include <algorithm>

namespace velmora {

namespace {

int32_t ArrangementType(int channels) {
  switch (channels) {
    case 0:
      return kSpeakerArrEmpty;
    case 1:
      return kSpeakerArrMono;
    case 2:
      return kSpeakerArrStereo;
    default:
      return kSpeakerArrUserDefined;
  }
}

int16_t RectSide(int pixels) { return static_cast<int16_t>(std::clamp(pixels, 0, 32767)); }

bool LimitsChannels(HostCode code) {
  return code == kHostForte || code == kHostAudition || code == kHostOrion ||
         code == kHostSawStudio;
}

}  // namespace

IPluginVST::IPluginVST(audioMasterCallback hostCallback, const PluginDescriptor& descriptor)
    : IPluginBase(descriptor),
      mHostCallback(hostCallback) {
  FillEffectRecord();
  FillArrangements();
  for (int i = 0; i < NInChannels(); ++i) SetInChannelConnected(i, true);
  for (int i = 0; i < NOutChannels(); ++i) SetOutChannelConnected(i, true);
  SetMaxBlockSize(1024);
}

IPluginVST::~IPluginVST() { mEffect.object = nullptr; }

void IPluginVST::FillEffectRecord() {
  mEffect = AEffect{};
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VstDispatcher;
  mEffect.process = VstProcess;
  mEffect.processReplacing = VstProcessReplacing;
  mEffect.processDoubleReplacing = VstProcessDoubleReplacing;
  mEffect.setParameter = VstSetParameter;
  mEffect.getParameter = VstGetParameter;
  mEffect.numPrograms = NPresets();
  mEffect.numParams = NParams();
  mEffect.numInputs = NInChannels();
  mEffect.numOutputs = NOutChannels();
  mEffect.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanDoubleReplacing;
  // The deprecated flag 1 << 3 tells old hosts that a single input works.
  if (LegalIO(1, -1)) mEffect.flags |= 1 << 3;
  if (IsInstrument()) mEffect.flags |= effFlagsIsSynth;
  mEffect.initialDelay = Latency();
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = UniqueId();
  mEffect.version = DecimalVersion();
}

void IPluginVST::FillArrangements() {
  mInputArrangement = VstSpeakerArrangement{};
  mOutputArrangement = VstSpeakerArrangement{};
  mInputArrangement.type = ArrangementType(NInChannels());
  mInputArrangement.numChannels = NInChannels();
  mOutputArrangement.type = ArrangementType(NOutChannels());
  mOutputArrangement.numChannels = NOutChannels();
}

IPluginVST* IPluginVST::FromEffect(AEffect* effect) {
  if (!effect || !effect->object) return nullptr;
  return static_cast<IPluginVST*>(effect->object);
}

intptr_t IPluginVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                              float opt) {
  if (!mHostCallback) return 0;
  return mHostCallback(&mEffect, opcode, index, value, ptr, opt);
}

// No exception may cross into the host: each entry answers 0 instead.
intptr_t VST_CALL IPluginVST::VstDispatcher(AEffect* effect, int32_t opcode, int32_t index,
                                            intptr_t value, void* ptr, float opt) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return 0;
  try {
    if (opcode == effClose) {
      // Wait out a call in flight on another thread, then go without the lock;
      // an editor still busy on another thread (a menu, a drag) finishes first.
      { auto lock = plugin->Lock(); }
      if (IEditorLink* editor = plugin->Editor()) editor->Shutdown();
      delete plugin;
      return 0;
    }
    if (opcode == effEditIdle || opcode == effIdle) {
      plugin->OnIdle();
      return 0;
    }
    auto lock = plugin->Lock();
    return plugin->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

void VST_CALL IPluginVST::VstProcess(AEffect* effect, float** inputs, float** outputs,
                                     int32_t frames) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessFloat(inputs, outputs, frames, true);
  } catch (...) {
  }
}

void VST_CALL IPluginVST::VstProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                              int32_t frames) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessFloat(inputs, outputs, frames, false);
  } catch (...) {
  }
}

void VST_CALL IPluginVST::VstProcessDoubleReplacing(AEffect* effect, double** inputs,
                                                    double** outputs, int32_t frames) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->ProcessDouble(inputs, outputs, frames);
  } catch (...) {
  }
}

void VST_CALL IPluginVST::VstSetParameter(AEffect* effect, int32_t index, float value) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return;
  try {
    plugin->SetParameterFromHost(index, value);
  } catch (...) {
  }
}

float VST_CALL IPluginVST::VstGetParameter(AEffect* effect, int32_t index) {
  IPluginVST* plugin = FromEffect(effect);
  if (!plugin) return 0.0f;
  try {
    return plugin->ParameterForHost(index);
  } catch (...) {
    return 0.0f;
  }
}

void IPluginVST::ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate) {
  auto lock = Lock();
  if (DoesMidi()) CallHost(audioMasterWantMidi);
  if (NInChannels() > 0) AttachInputBuffers(NInChannels(), inputs, frames);
  AttachOutputBuffers(NOutChannels(), outputs);
  if (accumulate) {
    ProcessBuffersAccumulating(frames);
  } else {
    ProcessBuffersFloat(frames);
  }
}

void IPluginVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  auto lock = Lock();
  if (DoesMidi()) CallHost(audioMasterWantMidi);
  ProcessBuffersDouble(NInChannels(), inputs, NOutChannels(), outputs, frames);
}

// Normalised values live in 0..1; anything else is taken as the nearest end
// rather than stored below the parameter's minimum.
double IPluginVST::HostNormalized(float value) {
  return value > 0.0f ? std::min(static_cast<double>(value), 1.0) : 0.0;
}

void IPluginVST::SetParameterFromHost(int index, float value) {
  auto lock = Lock();
  Param* param = GetParam(index);
  if (!param) return;
  double normalized = HostNormalized(value);
  if (Editor()) Editor()->SetParamFromPlugin(index, normalized, true);
  param->SetFromNormalized(normalized);
  OnParamChanged(index);
}

float IPluginVST::ParameterForHost(int index) const {
  auto lock = Lock();
  const Param* param = GetParam(index);
  return param ? static_cast<float>(param->ToNormalized()) : 0.0f;
}

void IPluginVST::AttachEditor(std::unique_ptr<IEditorLink> editor) {
  if (!editor) return;
  auto lock = Lock();
  const int width = editor->Width(), height = editor->Height();
  IPluginBase::AttachEditor(std::move(editor));
  mEffect.flags |= effFlagsHasEditor;
  mEditorRect = ERect{};
  mEditorRect.bottom = RectSide(height);
  mEditorRect.right = RectSide(width);
}

void IPluginVST::OnEditorSizeChanged(int /*width*/, int /*height*/) {
  auto lock = Lock();
  if (!Editor()) return;
  mEditorRect.bottom = RectSide(Editor()->Height());
  mEditorRect.right = RectSide(Editor()->Width());
  OnEditorResized();
}

void IPluginVST::SetLatencyFrames(int frames) {
  auto lock = Lock();
  IPluginBase::SetLatencyFrames(frames);
  mEffect.initialDelay = Latency();
}

void IPluginVST::InitForHost() {
  if (mHostInitDone) return;
  mHostInitDone = true;
  if (LimitsChannels(IdentifyHost())) LimitToTwoChannels();
  mEffect.numInputs = NInChannels();
  mEffect.numOutputs = NOutChannels();
  mInputArrangement.numChannels = NInChannels();
  mOutputArrangement.numChannels = NOutChannels();
  OnHostKnown();
}

}  // namespace velmora
