// Construction, the effect record's entries and the host set-up of
// IPluginVST.
#include "framework/plugin/vst2/IPluginVST.h"

#include <algorithm>
#include <array>
#include <thread>

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
    // Processing never waits for the lock, and the editor's window is made
    // without it.
    if (opcode == effProcessEvents) return plugin->ProcessEvents(static_cast<const VstEvents*>(ptr));
    if (opcode == effEditGetRect || opcode == effEditOpen || opcode == effEditClose)
      return plugin->DispatchEditor(opcode, value, ptr);
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

// [processing] A block never waits for the lock: without it the outputs
// are silent and the block's events wait for the next one.
void IPluginVST::ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate) {
  const auto lock = EnterBlock(outputs, frames, !accumulate);
  if (!lock.owns_lock()) return;
  PlayBlock(frames, [&](int start, int length) {
    std::array<float*, kMaxChannels> in, out;
    OffsetBuffers(inputs, NInChannels(), start, in.data());
    OffsetBuffers(outputs, NOutChannels(), start, out.data());
    if (NInChannels() > 0) AttachInputBuffers(NInChannels(), in.data(), length);
    AttachOutputBuffers(NOutChannels(), out.data());
    if (accumulate) {
      ProcessBuffersAccumulating(length);
    } else {
      ProcessBuffersFloat(length);
    }
  });
}

void IPluginVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  const auto lock = EnterBlock(outputs, frames, true);
  if (!lock.owns_lock()) return;
  PlayBlock(frames, [&](int start, int length) {
    std::array<double*, kMaxChannels> in, out;
    OffsetBuffers(inputs, NInChannels(), start, in.data());
    OffsetBuffers(outputs, NOutChannels(), start, out.data());
    ProcessBuffersDouble(NInChannels(), in.data(), NOutChannels(), out.data(), length);
  });
}

// The lock for one block; without it the block goes out (silent unless the
// host accumulates) and leaves its events to the next.
template <typename Sample>
std::unique_lock<PluginLock> IPluginVST::EnterBlock(Sample** outputs, int frames, bool silence) {
  mProcessingThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  auto lock = TryLockForBlock();
  if (!lock.owns_lock()) {
    SkipBlock(frames);
    if (silence) SilenceHostOutputs(outputs, frames);
    return lock;
  }
  if (DoesMidi()) CallHost(audioMasterWantMidi);
  return lock;
}

// The block cut at every host event's frame, as the CLAP adapter cuts it:
// what an event causes goes out at its own frame. Late or unsorted events
// take effect where the block has got to, and none beyond its last frame.
template <typename RunSlice>
void IPluginVST::PlayBlock(int frames, RunSlice&& runSlice) {
  mBlockFrames = std::max(frames, 0);
  mLastOutFrame = 0;
  const int last = std::max(mBlockFrames - 1, 0);
  int cursor = 0;
  HostEventRing::Event event;
  while (HostEvents().Pop(&event)) {
    const int time = std::clamp(event.frame, cursor, std::max(cursor, last));
    if (time > cursor) RunSliceAt(cursor, time - cursor, runSlice);
    cursor = time;
    mSliceStart = time;
    ApplyHostEvent(event);
  }
  // An empty block still runs, as hosts use them to flush.
  if (mBlockFrames > cursor || mBlockFrames == 0) RunSliceAt(cursor, mBlockFrames - cursor, runSlice);
  mSliceStart = 0;
}

template <typename RunSlice>
void IPluginVST::RunSliceAt(int start, int length, RunSlice& runSlice) {
  mSliceStart = start;
  runSlice(start, length);
}

void IPluginVST::ApplyHostEvent(const HostEventRing::Event& event) {
  if (event.kind == HostEventRing::Event::Kind::kParam) {
    ApplyParamFromHost(event.param, event.value);
  } else {
    HandleMidiMessage(event.midi);
  }
}

template <typename Sample>
void IPluginVST::OffsetBuffers(Sample** buffers, int count, int start, Sample** sliced) {
  for (int i = 0; i < count && i < kMaxChannels; ++i)
    sliced[i] = buffers && buffers[i] ? buffers[i] + start : nullptr;
}

template <typename Sample>
void IPluginVST::SilenceHostOutputs(Sample** outputs, int frames) {
  if (!outputs || frames <= 0) return;
  for (int i = 0; i < NOutChannels(); ++i) {
    if (outputs[i]) std::fill(outputs[i], outputs[i] + frames, Sample{0});
  }
}

// Normalised values live in 0..1; anything else is taken as the nearest end
// rather than stored below the parameter's minimum.
double IPluginVST::HostNormalized(float value) {
  return value > 0.0f ? std::min(static_cast<double>(value), 1.0) : 0.0;
}

// Hosts automate from their processing thread too: there a busy lock defers
// the value to the next block instead of waiting.
void IPluginVST::SetParameterFromHost(int index, float value) {
  if (!GetParam(index)) return;
  const double normalized = HostNormalized(value);
  if (mProcessingThread.load(std::memory_order_relaxed) == std::this_thread::get_id()) {
    auto lock = TryLockForBlock();
    if (lock.owns_lock()) {
      ApplyParamFromHost(index, normalized);
    } else {
      HostEventRing::Event deferred;
      deferred.kind = HostEventRing::Event::Kind::kParam;
      deferred.param = index;
      deferred.value = normalized;
      HostEvents().Push(deferred);  // frame 0: where the next block has got to
    }
    return;
  }
  auto lock = Lock();
  ApplyParamFromHost(index, normalized);
}

void IPluginVST::ApplyParamFromHost(int index, double normalized) {
  Param* param = GetParam(index);
  if (!param) return;
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
