// Construction, lifecycle, buses, state and the controller link of
// Vst3Processor; processing is in Vst3Process.cpp.
#include "framework/plugin/vst3/Vst3Processor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/plugin/vst3/Vst3Params.h"

namespace velmora {

namespace {

using vst3::kResultFalse;
using vst3::kResultOk;
using vst3::kResultTrue;

constexpr int kEventChannels = 16;

struct BusDescription {
  vst3::MediaType type;
  vst3::BusDirection direction;
  const char* name;
  vst3::int32 channels;
};

// One bus of each: notes in, chords out, and silence for hosts that want
// audio from everything they load.
constexpr BusDescription kBuses[] = {
    {vst3::kEvent, vst3::kInput, "Notes in", kEventChannels},
    {vst3::kEvent, vst3::kOutput, "Chords out", kEventChannels},
    {vst3::kAudio, vst3::kOutput, "Silence", 2},
};

const BusDescription* FindBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index) {
  vst3::int32 seen = 0;
  for (const BusDescription& bus : kBuses) {
    if (bus.type != type || bus.direction != dir) continue;
    if (seen++ == index) return &bus;
  }
  return nullptr;
}

}  // namespace

Vst3Processor::Vst3Processor(const Vst3ModuleInfo& module) : mModule(module) { RegisterProcessor(this); }

Vst3Processor::~Vst3Processor() {
  UnregisterProcessor(this);
  DropPlugin();
  if (mPeer) mPeer->release();
  if (mHost) mHost->release();
}

vst3::tresult Vst3Processor::queryInterface(const vst3::TUID iid, void** obj) {
  if (!obj) return vst3::kInvalidArgument;
  if (Offer<vst3::FUnknown>(static_cast<vst3::IComponent*>(this), iid, obj) ||
      Offer<vst3::IPluginBase>(static_cast<vst3::IComponent*>(this), iid, obj) ||
      Offer<vst3::IComponent>(this, iid, obj) || Offer<vst3::IAudioProcessor>(this, iid, obj) ||
      Offer<vst3::IProcessContextRequirements>(this, iid, obj) || Offer<vst3::IConnectionPoint>(this, iid, obj))
    return kResultOk;
  *obj = nullptr;
  return vst3::kNoInterface;
}

vst3::uint32 Vst3Processor::addRef() { return mRefs.Add(); }

vst3::uint32 Vst3Processor::release() {
  const uint32_t count = mRefs.Drop();
  if (count == 0) delete this;
  return count;
}

// No exception may cross into the host: a plug-in that cannot be made is
// an initialize that fails.
vst3::tresult Vst3Processor::initialize(vst3::FUnknown* context) {
  if (mPlugin) return kResultFalse;
  try {
    if (context) {
      void* host = nullptr;
      if (context->queryInterface(vst3::IHostApplication::kIid.bytes, &host) == kResultOk)
        mHost = static_cast<vst3::IHostApplication*>(host);
    }
    mPlugin = mModule.makePlugin(*this);
    if (!mPlugin) return kResultFalse;
    mPlugin->FillEmptyPresets(mPlugin->NPresets());
    auto lock = mPlugin->Lock();
    // No audio of its own: the base's channels run on their silent scratch.
    for (int i = 0; i < mPlugin->NInChannels(); ++i) mPlugin->SetInChannelConnected(i, false);
    for (int i = 0; i < mPlugin->NOutChannels(); ++i) mPlugin->SetOutChannelConnected(i, false);
    mPlugin->SetMaxBlockSize(1024);
    mPlugin->IdentifyHost();
    mPlugin->OnHostKnown();
    mPlugin->NotifyAllParams();
    mKeptValues.assign(static_cast<size_t>(mPlugin->NParams()), 0.0);
    mValueKept.assign(static_cast<size_t>(mPlugin->NParams()), 0);
    mEchoValues.assign(static_cast<size_t>(mPlugin->NParams()), 0.0);
    mEchoAges.assign(static_cast<size_t>(mPlugin->NParams()), -1);
  } catch (...) {
    DropPlugin();
    return kResultFalse;
  }
  // A controller already connected (terminate, then initialize) hears of the new one.
  Announce();
  return kResultOk;
}

vst3::tresult Vst3Processor::terminate() {
  if (mActive) setActive(0);
  DropPlugin();
  if (mHost) mHost->release();
  mHost = nullptr;
  return kResultOk;
}

void Vst3Processor::DropPlugin() {
  if (!mPlugin) return;
  if (mSink) mSink->PluginGoing();
  mSink = nullptr;
  { auto lock = mPlugin->Lock(); }  // a call in flight elsewhere ends first
  mPlugin.reset();
}

vst3::tresult Vst3Processor::getControllerClassId(vst3::TUID classId) {
  if (!classId) return vst3::kInvalidArgument;
  CopyUid(mModule.controllerId, classId);
  return kResultTrue;
}

vst3::tresult Vst3Processor::setIoMode(vst3::IoMode /*mode*/) { return vst3::kNotImplemented; }

vst3::int32 Vst3Processor::getBusCount(vst3::MediaType type, vst3::BusDirection dir) {
  vst3::int32 count = 0;
  for (const BusDescription& bus : kBuses) count += bus.type == type && bus.direction == dir ? 1 : 0;
  return count;
}

vst3::tresult Vst3Processor::getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                        vst3::BusInfo& bus) {
  const BusDescription* found = FindBus(type, dir, index);
  if (!found) return vst3::kInvalidArgument;
  // Every byte the same on every call: hosts compare answers whole.
  std::memset(&bus, 0, sizeof bus);
  bus.mediaType = found->type;
  bus.direction = found->direction;
  bus.channelCount = found->channels;
  CopyToUtf16(bus.name, found->name, 128);
  bus.busType = vst3::kMain;
  bus.flags = vst3::BusInfo::kDefaultActive;
  return kResultTrue;
}

vst3::tresult Vst3Processor::getRoutingInfo(vst3::RoutingInfo& /*inInfo*/, vst3::RoutingInfo& /*outInfo*/) {
  return vst3::kNotImplemented;
}

vst3::tresult Vst3Processor::activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                         vst3::TBool /*state*/) {
  return FindBus(type, dir, index) ? kResultTrue : vst3::kInvalidArgument;
}

vst3::tresult Vst3Processor::setActive(vst3::TBool state) {
  if (!mPlugin) return kResultFalse;
  auto lock = mPlugin->Lock();
  if (state && !mActive) {
    mPlugin->OnReset();
    mPlugin->OnActiveChanged(true);
  } else if (!state && mActive) {
    mProcessing.store(false, std::memory_order_release);
    mPlugin->OnActiveChanged(false);
    mPlugin->OnReset();
  }
  mActive = state != 0;
  return kResultOk;
}

vst3::tresult Vst3Processor::getState(vst3::IBStream* state) {
  if (!mPlugin || !state) return kResultFalse;
  try {
    ChunkBuffer chunk;
    if (!mPlugin->SaveProgramChunk(chunk)) return kResultFalse;
    return WriteWholeStream(state, chunk.Data(), static_cast<size_t>(chunk.Size())) ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

vst3::tresult Vst3Processor::setState(vst3::IBStream* state) {
  if (!mPlugin || !state) return kResultFalse;
  try {
    std::vector<uint8_t> bytes;
    if (!ReadWholeStream(state, bytes, kMaxStateBytes) || bytes.empty()) return kResultFalse;
    return LoadChunk(bytes) ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

// A load that fails leaves the instance as it was: the state before it is
// kept and put back.
bool Vst3Processor::LoadChunk(const std::vector<uint8_t>& bytes) {
  if (bytes.size() > static_cast<size_t>(kMaxStateBytes)) return false;
  ChunkBuffer incoming;
  incoming.Resize(static_cast<int>(bytes.size()));
  std::copy(bytes.begin(), bytes.end(), incoming.Data());
  ChunkBuffer before;
  auto lock = mPlugin->Lock();
  if (!mPlugin->SaveProgramChunk(before)) return false;
  if (mPlugin->LoadProgramChunk(incoming)) return true;
  mPlugin->LoadProgramChunk(before);
  mPlugin->LogMessage("a saved state could not be read; the instance keeps its own");
  return false;
}

vst3::tresult Vst3Processor::setBusArrangements(vst3::SpeakerArrangement* /*inputs*/, vst3::int32 numIns,
                                                vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) {
  // The one shape there is: no inputs, one stereo output.
  const bool ours = numIns == 0 && numOuts == 1 && outputs && outputs[0] == vst3::SpeakerArr::kStereo;
  return ours ? kResultTrue : kResultFalse;
}

vst3::tresult Vst3Processor::getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                               vst3::SpeakerArrangement& arr) {
  if (dir != vst3::kOutput || index != 0) return vst3::kInvalidArgument;
  arr = vst3::SpeakerArr::kStereo;
  return kResultTrue;
}

// Both sizes: the output is only ever zeros.
vst3::tresult Vst3Processor::canProcessSampleSize(vst3::int32 symbolicSampleSize) {
  return symbolicSampleSize == vst3::kSample32 || symbolicSampleSize == vst3::kSample64 ? kResultTrue : kResultFalse;
}

vst3::uint32 Vst3Processor::getLatencySamples() { return 0; }

vst3::tresult Vst3Processor::setupProcessing(vst3::ProcessSetup& setup) {
  if (!mPlugin || mActive) return kResultFalse;
  auto lock = mPlugin->Lock();
  // A rate that is not a positive number would poison every frame
  // computation: the last good one stays.
  if (std::isfinite(setup.sampleRate) && setup.sampleRate > 0.0) mPlugin->SetSampleRate(setup.sampleRate);
  if (setup.maxSamplesPerBlock >= 1) mPlugin->SetMaxBlockSize(std::min(setup.maxSamplesPerBlock, kMaxBlock));
  mSampleSize = setup.symbolicSampleSize;
  mPlugin->OnReset();
  return kResultOk;
}

vst3::tresult Vst3Processor::setProcessing(vst3::TBool state) {
  mProcessing.store(state != 0, std::memory_order_release);
  return kResultOk;
}

vst3::uint32 Vst3Processor::getTailSamples() { return vst3::kNoTail; }

// Playing, tempo, the song position in samples and quarters, the bar and the
// loop: what a take and its export read.
vst3::uint32 Vst3Processor::getProcessContextRequirements() {
  using R = vst3::IProcessContextRequirements;
  return R::kNeedTransportState | R::kNeedTempo | R::kNeedProjectTimeMusic | R::kNeedBarPositionMusic |
         R::kNeedTimeSignature | R::kNeedCycleMusic;
}

vst3::tresult Vst3Processor::connect(vst3::IConnectionPoint* other) {
  if (!other) return vst3::kInvalidArgument;
  if (mPeer) return kResultFalse;
  other->addRef();
  mPeer = other;
  Announce();
  return kResultTrue;
}

vst3::tresult Vst3Processor::disconnect(vst3::IConnectionPoint* other) {
  if (!mPeer || other != mPeer) return kResultFalse;
  mPeer->release();
  mPeer = nullptr;
  return kResultTrue;
}

void Vst3Processor::Announce() {
  if (!mPeer || !mPlugin) return;
  const Vst3LinkPayload payload = MakeLinkPayload(this);
  SendVst3Message(mHost, mPeer, kVst3LinkMessage, kVst3LinkAttribute, &payload, sizeof payload);
}

vst3::tresult Vst3Processor::notify(vst3::IMessage* message) {
  const void* data = nullptr;
  uint32_t size = 0;
  try {
    if (ReadVst3Message(message, kVst3BypassMessage, kVst3BypassAttribute, &data, &size)) {
      if (size < 1) return kResultFalse;
      SetBypass(*static_cast<const uint8_t*>(data) != 0);
      return kResultOk;
    }
    if (ReadVst3Message(message, kVst3StateMessage, kVst3StateAttribute, &data, &size)) {
      if (!mPlugin || !data) return kResultFalse;
      const auto* bytes = static_cast<const uint8_t*>(data);
      return LoadChunk(std::vector<uint8_t>(bytes, bytes + size)) ? kResultOk : kResultFalse;
    }
  } catch (...) {
    return kResultFalse;
  }
  return kResultFalse;
}

// Bypass on stops what sounds, so that no chord is left hanging.
void Vst3Processor::SetBypass(bool on) {
  if (mBypass.exchange(on) == on || !on || !mPlugin) return;
  mPlugin->ReleaseAllNotes();
}

void Vst3Processor::Link(Vst3EditSink* sink) { mSink = sink; }

// The view that shows this editor belongs to the linked controller.
void Vst3Processor::EditorResized(int width, int height) {
  if (mSink) mSink->EditorResized(width, height);
}

void Vst3Processor::Unlink(Vst3EditSink* sink) {
  if (mSink == sink) mSink = nullptr;
}

void Vst3Processor::BeginParamEdit(int index) {
  if (mSink && mPlugin && mPlugin->GetParam(index)) mSink->BeginEdit(index);
}

void Vst3Processor::AutomateParam(int index, double /*normalized*/) {
  const Param* param = mPlugin ? mPlugin->GetParam(index) : nullptr;
  if (!mSink || !param || static_cast<size_t>(index) >= mEchoAges.size()) return;
  mEchoValues[static_cast<size_t>(index)] = param->Value();
  mEchoAges[static_cast<size_t>(index)] = 0;
  mSink->PerformEdit(index, param->Value());
}

void Vst3Processor::EndParamEdit(int index) {
  if (mSink && mPlugin && mPlugin->GetParam(index)) mSink->EndEdit(index);
}

}  // namespace velmora
