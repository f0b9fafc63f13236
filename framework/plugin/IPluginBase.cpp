#include "framework/plugin/IPluginBase.h"

#include "framework/plugin/CpuRelax.h"
#include "framework/plugin/MessageSink.h"
#include "framework/plugin/Contracts.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace velmora {

namespace {

std::string CutText(const char* text, int maxLength) {
  if (!text) return std::string();
  return std::string(text, strnlen(text, static_cast<size_t>(maxLength)));
}

}  // namespace

PluginHost& PluginHost::None() {
  static PluginHost none;
  return none;
}

IPluginBase::IPluginBase(PluginHost& host, const PluginDescriptor& d)
    : mHost(host),
      mUniqueId(d.uniqueId),
      mVersion(d.version),
      mStateChunks(d.stateChunks),
      mIsInstrument(d.isInstrument),
      mDoesMidi(d.doesMidi),
      mLatency(std::max(d.latency, 0)),
      mParams(static_cast<size_t>(std::max(d.paramCount, 0))),
      mPresets(static_cast<size_t>(std::max(d.presetCount, 0))) {
  for (PresetSlot& slot : mPresets) slot.name = "empty";
  mEffectName = CutText(d.effectName, kMaxNameLength);
  mProductName = CutText(d.productName, kMaxNameLength);
  mMakerString = CutText(d.makerString, kMaxNameLength);
  mChannelIOPairs = ParseChannelIO(d.channelIO);
  CreateChannels();
}

IPluginBase::~IPluginBase() {
  // The editor's controls may still look at the plug-in while they go.
  mEditor.reset();
}

void IPluginBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  if (frames <= 0) return;
  size_t n = static_cast<size_t>(frames);
  for (int i = 0; i < NOutChannels(); ++i) {
    if (!outputs[i]) continue;
    if (i < NInChannels() && inputs[i]) {
      std::copy(inputs[i], inputs[i] + n, outputs[i]);
    } else {
      std::fill(outputs[i], outputs[i] + n, 0.0);
    }
  }
}

void IPluginBase::HandleMidiMessage(const MidiMessage& message) { SendMidi(message); }

void IPluginBase::LogMessage(const char* line) const {
  if (!mHost.LogMessage(line ? line : "")) ReportMessage(MessageSink(), line ? line : "");
}

HostCode IPluginBase::IdentifyHost() {
  if (mHostCode == kHostUninit) mHostCode = mHost.IdentifyHost(&mHostVersion);
  return mHostCode;
}

bool IPluginBase::MidiNoteName(int /*note*/, std::string* text) {
  if (text) text->clear();
  return false;
}

namespace {

// A few microseconds: whoever holds the lock for a short copy is done by
// then; anyone holding it longer costs a deferred block, never a dropout.
constexpr int kBlockLockSpins = 128;

}  // namespace

void IPluginBase::ExpectProcessingEntry() const {
  if constexpr (kContractChecks) {
    if (mEditor && mEditor->IsWindowThread()) ReportBreach("a processing entry ran on the editor's thread");
  }
  mMutex.AssertHeld();
}

// A host may run processing on a thread we did not expect; in a module a
// user installed that is worth one line in its log, never its process.
void IPluginBase::ReportBreach(const char* what) const {
  if (!ContractBreachHandlerIsDefault()) {
    ReportContractBreach(what);
    return;
  }
  if (mBreachLogged.exchange(true)) return;
  LogMessage((std::string("Velmora: broken thread contract (going on): ") + what).c_str());
}

std::unique_lock<PluginLock> IPluginBase::TryLockForBlock() const {
  std::unique_lock<PluginLock> lock(mMutex, std::defer_lock);
  if (mMutex.TryLockSpinning(kBlockLockSpins)) lock = std::unique_lock<PluginLock>(mMutex, std::adopt_lock);
  return lock;
}

void IPluginBase::SkipBlock(int frames) {
  mHostEvents.MarkLate();
  if (frames > 0) mSkippedFrames += frames;
}

int64_t IPluginBase::TakeSkippedFrames() {
  const int64_t frames = mSkippedFrames;
  mSkippedFrames = 0;
  return frames;
}

bool IPluginBase::SaveState(ChunkBuffer& chunk) { return SerializeParams(chunk); }

int IPluginBase::LoadState(const ChunkBuffer& chunk, int position) {
  return UnserializeParams(chunk, position);
}

bool IPluginBase::StateEquals(const double* values, int count, int start) {
  if (!values || start < 0 || count < start || count - start < NParams()) return false;
  auto lock = Lock();
  for (int i = 0; i < NParams(); ++i) {
    float stored = static_cast<float>(mParams[static_cast<size_t>(i)].Value());
    float given = static_cast<float>(values[start + i]);
    if (!(std::fabs(stored - given) < 0.00001f)) return false;
  }
  return true;
}

void IPluginBase::SetParameterFromEditor(int index, double normalized) {
  auto lock = Lock();
  Param* param = GetParam(index);
  if (!param) return;
  param->SetFromNormalized(normalized);
  AutomateParam(index, normalized);
  OnParamChanged(index);
}

void IPluginBase::HostTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
  mHost.HostTimeSignature(numerator, denominator);
}

void IPluginBase::AttachEditor(std::unique_ptr<IEditorLink> editor) {
  if (!editor) return;
  auto lock = Lock();
  for (int i = 0; i < NParams(); ++i) {
    editor->SetParamFromPlugin(i, mParams[static_cast<size_t>(i)].ToNormalized(), true);
  }
  editor->CreateSurfaces();
  const int width = editor->Width(), height = editor->Height();
  mEditor = std::move(editor);
  mHost.EditorAttached(width, height);
}

void IPluginBase::SetLatencyFrames(int frames) {
  auto lock = Lock();
  mLatency = std::max(frames, 0);
  mHost.LatencyChanged(mLatency);
}

void IPluginBase::PushParamsToEditor() {
  auto lock = Lock();
  if (!mEditor) return;
  for (int i = 0; i < NParams(); ++i) {
    mEditor->SetParamFromPlugin(i, mParams[static_cast<size_t>(i)].Value(), false);
  }
}

Param* IPluginBase::GetParam(int index) {
  if (index < 0 || index >= NParams()) return nullptr;
  return &mParams[static_cast<size_t>(index)];
}

const Param* IPluginBase::GetParam(int index) const {
  if (index < 0 || index >= NParams()) return nullptr;
  return &mParams[static_cast<size_t>(index)];
}

int32_t IPluginBase::DecimalVersion() const {
  uint32_t packed = static_cast<uint32_t>(mVersion);
  return static_cast<int32_t>((packed >> 16) * 10000 + ((packed >> 8) & 0xFF) * 100 +
                              (packed & 0xFF));
}

}  // namespace velmora
