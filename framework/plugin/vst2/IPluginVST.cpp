// Construction, the effect record's entries and the host set-up of
// IPluginVST.
#include "framework/plugin/vst2/IPluginVST.h"

#include <algorithm>
#include <array>
#include <stdexcept>
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

IPluginVST::IPluginVST(audioMasterCallback hostCallback, const PluginFactory& make)
    : mHostCallback(hostCallback) {
  // The plug-in may call the host while it is made (the time, its editor's
  // size): the host already sees a record, though no entry answers yet.
  mEffect.magic = kEffectMagic;
  mEffect.object = this;
  mPlugin = make(*this);
  if (!mPlugin) throw std::runtime_error("no plug-in");
  const int32_t editorFlag = mEffect.flags & effFlagsHasEditor;
  FillEffectRecord();
  mEffect.flags |= editorFlag;
  FillArrangements();
  for (int i = 0; i < mPlugin->NInChannels(); ++i) mPlugin->SetInChannelConnected(i, true);
  for (int i = 0; i < mPlugin->NOutChannels(); ++i) mPlugin->SetOutChannelConnected(i, true);
  mPlugin->SetMaxBlockSize(1024);
}

IPluginVST::~IPluginVST() {
  mEffect.object = nullptr;
  // The plug-in goes first: its editor and its last calls may still reach
  // this host.
  mPlugin.reset();
}

void IPluginVST::FillEffectRecord() {
  mEffect = AEffect{};
  mEffect.magic = kEffectMagic;
  mEffect.dispatcher = VstDispatcher;
  mEffect.process = VstProcess;
  mEffect.processReplacing = VstProcessReplacing;
  mEffect.processDoubleReplacing = VstProcessDoubleReplacing;
  mEffect.setParameter = VstSetParameter;
  mEffect.getParameter = VstGetParameter;
  mEffect.numPrograms = mPlugin->NPresets();
  mEffect.numParams = mPlugin->NParams();
  mEffect.numInputs = mPlugin->NInChannels();
  mEffect.numOutputs = mPlugin->NOutChannels();
  mEffect.flags = effFlagsCanReplacing | effFlagsProgramChunks | effFlagsCanDoubleReplacing;
  // The deprecated flag 1 << 3 tells old hosts that a single input works.
  if (mPlugin->LegalIO(1, -1)) mEffect.flags |= 1 << 3;
  if (mPlugin->IsInstrument()) mEffect.flags |= effFlagsIsSynth;
  mEffect.initialDelay = mPlugin->Latency();
  mEffect.ioRatio = 1.0f;
  mEffect.object = this;
  mEffect.uniqueID = mPlugin->UniqueId();
  mEffect.version = mPlugin->DecimalVersion();
}

void IPluginVST::FillArrangements() {
  mInputArrangement = VstSpeakerArrangement{};
  mOutputArrangement = VstSpeakerArrangement{};
  mInputArrangement.type = ArrangementType(mPlugin->NInChannels());
  mInputArrangement.numChannels = mPlugin->NInChannels();
  mOutputArrangement.type = ArrangementType(mPlugin->NOutChannels());
  mOutputArrangement.numChannels = mPlugin->NOutChannels();
}

IPluginVST* IPluginVST::FromEffect(AEffect* effect) {
  if (!effect || !effect->object) return nullptr;
  auto* adapter = static_cast<IPluginVST*>(effect->object);
  return adapter->mPlugin ? adapter : nullptr;
}

intptr_t IPluginVST::CallHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                              float opt) {
  if (!mHostCallback) return 0;
  return mHostCallback(&mEffect, opcode, index, value, ptr, opt);
}

// No exception may cross into the host: each entry answers 0 instead.
intptr_t VST_CALL IPluginVST::VstDispatcher(AEffect* effect, int32_t opcode, int32_t index,
                                            intptr_t value, void* ptr, float opt) {
  IPluginVST* adapter = FromEffect(effect);
  if (!adapter) return 0;
  try {
    if (opcode == effClose) {
      // Wait out a call in flight on another thread, then go without the lock;
      // an editor still busy on another thread (a menu, a drag) finishes first.
      { auto lock = adapter->Plugin().Lock(); }
      if (IEditorLink* editor = adapter->Plugin().Editor()) editor->Shutdown();
      delete adapter;
      return 0;
    }
    if (opcode == effEditIdle || opcode == effIdle) {
      adapter->Plugin().OnIdle();
      return 0;
    }
    // Processing never waits for the lock, and the editor's window is made
    // without it.
    if (opcode == effProcessEvents) return adapter->ProcessEvents(static_cast<const VstEvents*>(ptr));
    if (opcode == effEditGetRect || opcode == effEditOpen || opcode == effEditClose)
      return adapter->DispatchEditor(opcode, value, ptr);
    auto lock = adapter->Plugin().Lock();
    return adapter->Dispatch(opcode, index, value, ptr, opt);
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
    std::array<float*, IPluginBase::kMaxChannels> in, out;
    OffsetBuffers(inputs, mPlugin->NInChannels(), start, in.data());
    OffsetBuffers(outputs, mPlugin->NOutChannels(), start, out.data());
    if (mPlugin->NInChannels() > 0) mPlugin->AttachInputBuffers(mPlugin->NInChannels(), in.data(), length);
    mPlugin->AttachOutputBuffers(mPlugin->NOutChannels(), out.data());
    if (accumulate) {
      mPlugin->ProcessBuffersAccumulating(length);
    } else {
      mPlugin->ProcessBuffersFloat(length);
    }
  });
}

void IPluginVST::ProcessDouble(double** inputs, double** outputs, int frames) {
  const auto lock = EnterBlock(outputs, frames, true);
  if (!lock.owns_lock()) return;
  PlayBlock(frames, [&](int start, int length) {
    std::array<double*, IPluginBase::kMaxChannels> in, out;
    OffsetBuffers(inputs, mPlugin->NInChannels(), start, in.data());
    OffsetBuffers(outputs, mPlugin->NOutChannels(), start, out.data());
    mPlugin->ProcessBuffersDouble(mPlugin->NInChannels(), in.data(), mPlugin->NOutChannels(), out.data(), length);
  });
}

// The lock for one block; without it the block goes out (silent unless the
// host accumulates) and leaves its events to the next.
template <typename Sample>
std::unique_lock<PluginLock> IPluginVST::EnterBlock(Sample** outputs, int frames, bool silence) {
  mProcessingThread.store(std::this_thread::get_id(), std::memory_order_relaxed);
  auto lock = mPlugin->TryLockForBlock();
  if (!lock.owns_lock()) {
    mPlugin->SkipBlock(frames);
    if (silence) SilenceHostOutputs(outputs, frames);
    return lock;
  }
  if (mPlugin->DoesMidi()) CallHost(audioMasterWantMidi);
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
  while (mPlugin->HostEvents().Pop(&event)) {
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
    mPlugin->HandleMidiMessage(event.midi);
  }
}

template <typename Sample>
void IPluginVST::OffsetBuffers(Sample** buffers, int count, int start, Sample** sliced) {
  for (int i = 0; i < count && i < IPluginBase::kMaxChannels; ++i)
    sliced[i] = buffers && buffers[i] ? buffers[i] + start : nullptr;
}

template <typename Sample>
void IPluginVST::SilenceHostOutputs(Sample** outputs, int frames) {
  if (!outputs || frames <= 0) return;
  for (int i = 0; i < mPlugin->NOutChannels(); ++i) {
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
  if (!mPlugin->GetParam(index)) return;
  const double normalized = HostNormalized(value);
  if (mProcessingThread.load(std::memory_order_relaxed) == std::this_thread::get_id()) {
    auto lock = mPlugin->TryLockForBlock();
    if (lock.owns_lock()) {
      ApplyParamFromHost(index, normalized);
    } else {
      HostEventRing::Event deferred;
      deferred.kind = HostEventRing::Event::Kind::kParam;
      deferred.param = index;
      deferred.value = normalized;
      mPlugin->HostEvents().Push(deferred);  // frame 0: where the next block has got to
    }
    return;
  }
  auto lock = mPlugin->Lock();
  ApplyParamFromHost(index, normalized);
}

void IPluginVST::ApplyParamFromHost(int index, double normalized) {
  Param* param = mPlugin->GetParam(index);
  if (!param) return;
  if (mPlugin->Editor()) mPlugin->Editor()->SetParamFromPlugin(index, normalized, true);
  param->SetFromNormalized(normalized);
  mPlugin->OnParamChanged(index);
}

float IPluginVST::ParameterForHost(int index) const {
  auto lock = mPlugin->Lock();
  const Param* param = mPlugin->GetParam(index);
  return param ? static_cast<float>(param->ToNormalized()) : 0.0f;
}

// [any, under the plug-in lock] Also while the plug-in is being made.
void IPluginVST::EditorAttached(int width, int height) {
  mEffect.flags |= effFlagsHasEditor;
  mEditorRect = ERect{};
  mEditorRect.bottom = RectSide(height);
  mEditorRect.right = RectSide(width);
}

// A size other than the editor's is a request for a new scale: the host
// makes room, or the editor keeps its size and scale, nothing cut off.
void IPluginVST::EditorResized(int width, int height) {
  // While the plug-in is being made, EditorAttached gives the size.
  IEditorLink* editor = mPlugin ? mPlugin->Editor() : nullptr;
  if (!editor) return;
  const bool request = width != editor->Width() || height != editor->Height();
  if (request && width > 0 && height > 0 && CallHost(audioMasterSizeWindow, width, height) != 0)
    editor->HostResized(width, height);
  auto lock = mPlugin->Lock();
  mEditorRect.bottom = RectSide(editor->Height());
  mEditorRect.right = RectSide(editor->Width());
  mPlugin->OnEditorResized();
}

void IPluginVST::LatencyChanged(int frames) { mEffect.initialDelay = frames; }

void IPluginVST::InitForHost() {
  if (mHostInitDone) return;
  mHostInitDone = true;
  if (LimitsChannels(mPlugin->IdentifyHost())) mPlugin->LimitToTwoChannels();
  mEffect.numInputs = mPlugin->NInChannels();
  mEffect.numOutputs = mPlugin->NOutChannels();
  mInputArrangement.numChannels = mPlugin->NInChannels();
  mOutputArrangement.numChannels = mPlugin->NOutChannels();
  mPlugin->OnHostKnown();
}

}  // namespace velmora
