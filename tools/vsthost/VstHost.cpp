#include "tools/vsthost/VstHost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ostream>

namespace velmora::host {
namespace {

constexpr std::int32_t kMaxEventsPerCall = 1 << 16;
constexpr std::int32_t kMaxSysexBytes = 1 << 20;
constexpr std::intptr_t kMaxChunkBytes = std::intptr_t{1} << 30;
constexpr std::size_t kTextBufferSize = 256;  // far above any kVstMax... size

// The plug-in being created has no record yet when its entry point calls back.
thread_local VstHost* hostBeingLoaded = nullptr;
// The instance whose block runs on this thread: the plug-in's calls from there read the block's time.
thread_local const VstHost* hostInBlock = nullptr;

std::intptr_t VST_CALL hostCallback(AEffect* effect, std::int32_t opcode, std::int32_t index,
                                    std::intptr_t value, void* ptr, float opt) {
  VstHost* host = nullptr;
  if (effect != nullptr && effect->resvd1 != 0)
    host = reinterpret_cast<VstHost*>(effect->resvd1);
  else
    host = hostBeingLoaded;
  if (host == nullptr) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->answer(opcode, index, value, ptr, opt);
}

void copyText(const char* text, void* ptr, std::size_t capacity) {
  if (ptr == nullptr) return;
  auto* out = static_cast<char*>(ptr);
  std::strncpy(out, text, capacity - 1);
  out[capacity - 1] = '\0';
}

std::string fourChars(std::int32_t value) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const int c = (static_cast<std::uint32_t>(value) >> shift) & 0xFF;
    text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
  }
  return text;
}

std::string hex32(std::int32_t value) {
  char text[11];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string flagNames(std::int32_t flags) {
  static const std::pair<std::int32_t, const char*> names[] = {
      {effFlagsHasEditor, "HasEditor"},         {effFlagsCanReplacing, "CanReplacing"},
      {effFlagsProgramChunks, "ProgramChunks"}, {effFlagsIsSynth, "IsSynth"},
      {effFlagsNoSoundInStop, "NoSoundInStop"}, {effFlagsCanDoubleReplacing, "CanDoubleReplacing"}};
  std::string text;
  for (const auto& [bit, name] : names)
    if (flags & bit) text += std::string(text.empty() ? "" : " ") + name;
  return text;
}

const char* categoryName(std::intptr_t category) {
  static const char* const names[] = {"Unknown",     "Effect",      "Synth",      "Analysis",
                                      "Mastering",   "Spacializer", "RoomFx",     "SurroundFx",
                                      "Restoration", "OfflineProcess", "Shell", "Generator"};
  return category >= 0 && category <= kPlugCategGenerator ? names[category] : "?";
}

}  // namespace

VstHost::VstHost() = default;

VstHost::~VstHost() { close(); }

bool VstHost::load(const std::string& path) {
  close();
  if (!module_.load(path)) {
    error_ = module_.error();
    return false;
  }
  auto entry = reinterpret_cast<VstPluginEntryProc>(module_.symbol("VSTPluginMain"));
  if (entry == nullptr) entry = reinterpret_cast<VstPluginEntryProc>(module_.symbol("main"));
  if (entry == nullptr) {
    error_ = path + ": exports neither VSTPluginMain nor main";
    module_.unload();
    return false;
  }
  hostBeingLoaded = this;
  AEffect* effect = entry(hostCallback);
  hostBeingLoaded = nullptr;
  if (effect == nullptr || effect->magic != kEffectMagic) {
    error_ = path + (effect == nullptr ? ": the entry point returned no effect" : ": bad effect magic");
    module_.unload();
    return false;
  }
  effect->resvd1 = reinterpret_cast<std::intptr_t>(this);
  effect_ = effect;
  blocksProcessed_ = 0;
  {
    std::lock_guard<std::mutex> lock(timeMutex_);
    position_ = 0.0;
  }
  error_.clear();
  return true;
}

void VstHost::close() {
  if (effect_ != nullptr) {
    if (resumed_) suspend();
    dispatch(effClose);
    effect_ = nullptr;
  }
  resumed_ = false;
  pending_.clear();
  module_.unload();
}

std::intptr_t VstHost::dispatch(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                                float opt) {
  if (effect_ == nullptr || effect_->dispatcher == nullptr) return 0;
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void VstHost::open() { dispatch(effOpen); }

void VstHost::setSampleRate(double rate) {
  {
    std::lock_guard<std::mutex> lock(timeMutex_);
    sampleRate_ = rate;
    timeInfoFresh_ = false;
  }
  dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
}

bool VstHost::setBlockSize(std::int32_t frames) {
  if (frames < 1 || frames > kMaxBlockSize) {
    error_ = "block size must be 1.." + std::to_string(kMaxBlockSize);
    return false;
  }
  blockSize_ = frames;
  dispatch(effSetBlockSize, 0, frames);
  return true;
}

void VstHost::resume() {
  dispatch(effMainsChanged, 0, 1);
  resumed_ = true;
}

void VstHost::suspend() {
  dispatch(effMainsChanged, 0, 0);
  resumed_ = false;
}

void VstHost::setTempo(double beatsPerMinute) {
  std::lock_guard<std::mutex> lock(timeMutex_);
  tempo_ = beatsPerMinute;
  timeInfoFresh_ = false;
}

void VstHost::setTransportPlaying(bool playing) {
  std::lock_guard<std::mutex> lock(timeMutex_);
  if (playing != playing_) transportChanged_ = true;
  playing_ = playing;
  timeInfoFresh_ = false;
}

// Filled once per block, as hosts do, however often the plug-in asks.
const VstTimeInfo& VstHost::timeInfo() {
  std::lock_guard<std::mutex> lock(timeMutex_);
  if (timeInfoFresh_) return timeInfo_;
  timeInfoFresh_ = true;
  fillTimeInfo(timeInfo_);
  return timeInfo_;
}

void VstHost::fillTimeInfo(VstTimeInfo& info) const {
  info = VstTimeInfo{};
  info.samplePos = position_;
  info.sampleRate = sampleRate_;
  info.nanoSeconds = static_cast<double>(
      std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
          .count());
  info.tempo = tempo_;
  info.ppqPos = sampleRate_ > 0.0 ? position_ / sampleRate_ * tempo_ / 60.0 : 0.0;
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.barStartPos = std::floor(info.ppqPos / 4.0) * 4.0;
  info.flags = kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstTimeSigValid;
  if (playing_) info.flags |= kVstTransportPlaying;
  if (transportChanged_) info.flags |= kVstTransportChanged;
}

bool VstHost::queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
  if (deltaFrames < 0) {
    error_ = "negative delta frames";
    return false;
  }
  pending_.push_back(PendingMidi{deltaFrames, {status, data1, data2}});
  return true;
}

bool VstHost::ready(const char* action) {
  if (effect_ == nullptr) {
    error_ = std::string("no plug-in loaded: cannot ") + action;
    return false;
  }
  return true;
}

bool VstHost::prepareBuffers() {
  const std::int32_t inputs = effect_->numInputs;
  const std::int32_t outputs = effect_->numOutputs;
  if (inputs < 0 || outputs < 0 || inputs > kMaxChannels || outputs > kMaxChannels) {
    error_ = "the plug-in reports an unusable channel count";
    return false;
  }
  const auto frames = static_cast<std::size_t>(blockSize_);
  const bool unchanged = inputs_.size() == static_cast<std::size_t>(inputs) &&
                         outputs_.size() == static_cast<std::size_t>(outputs) &&
                         (outputs_.empty() || outputs_[0].size() == frames) &&
                         (inputs_.empty() || inputs_[0].size() == frames);
  if (unchanged) return true;
  inputs_.resize(static_cast<std::size_t>(inputs));
  outputs_.resize(static_cast<std::size_t>(outputs));
  inputPointers_.clear();
  outputPointers_.clear();
  for (auto& channel : inputs_) {
    channel.assign(frames, 0.0f);
    inputPointers_.push_back(channel.data());
  }
  for (auto& channel : outputs_) {
    channel.assign(frames, 0.0f);
    outputPointers_.push_back(channel.data());
  }
  return true;
}

void VstHost::sendEventsForBlock() {
  std::stable_sort(pending_.begin(), pending_.end(),
                   [](const PendingMidi& a, const PendingMidi& b) { return a.offset < b.offset; });
  blockEvents_.clear();
  auto due = pending_.begin();
  for (; due != pending_.end() && due->offset < blockSize_; ++due) {
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof(VstMidiEvent);
    event.deltaFrames = due->offset;
    for (int i = 0; i < 3; ++i) event.midiData[i] = static_cast<char>(due->bytes[i]);
    blockEvents_.push_back(event);
  }
  pending_.erase(pending_.begin(), due);
  for (auto& later : pending_) later.offset -= blockSize_;
  if (blockEvents_.empty()) return;

  const std::size_t count = blockEvents_.size();
  eventList_.assign(sizeof(VstEvents) + count * sizeof(VstEvent*), 0);
  auto* list = reinterpret_cast<VstEvents*>(eventList_.data());
  list->numEvents = static_cast<std::int32_t>(count);
  VstEvent** slots = list->events;
  for (std::size_t i = 0; i < count; ++i) slots[i] = reinterpret_cast<VstEvent*>(&blockEvents_[i]);
  dispatch(effProcessEvents, 0, 0, list);
}

void VstHost::runBlock() {
  for (auto& channel : inputs_) std::fill(channel.begin(), channel.end(), 0.0f);
  for (auto& channel : outputs_) std::fill(channel.begin(), channel.end(), 0.0f);
  inProcess_ = true;
  hostInBlock = this;
  // Hosts fill the block's time once, before any plug-in runs.
  timeInfo();
  sendEventsForBlock();
  float** in = inputPointers_.empty() ? nullptr : inputPointers_.data();
  float** out = outputPointers_.empty() ? nullptr : outputPointers_.data();
  if (effect_->processReplacing != nullptr)
    effect_->processReplacing(effect_, in, out, blockSize_);
  else if (effect_->process != nullptr)
    effect_->process(effect_, in, out, blockSize_);
  inProcess_ = false;
  hostInBlock = nullptr;
  {
    std::lock_guard<std::mutex> lock(timeMutex_);
    transportChanged_ = false;
    if (playing_) position_ += blockSize_;
    timeInfoFresh_ = false;
  }
  ++blocksProcessed_;
}

bool VstHost::process(std::int32_t blocks) {
  if (!ready("process")) return false;
  if (!resumed_) {
    error_ = "the plug-in is suspended: resume it before processing";
    return false;
  }
  if (blocks < 0 || !prepareBuffers()) {
    if (blocks < 0) error_ = "negative block count";
    return false;
  }
  for (std::int32_t i = 0; i < blocks; ++i) runBlock();
  return true;
}

const std::vector<float>& VstHost::output(std::int32_t channel) const {
  static const std::vector<float> none;
  if (channel < 0 || channel >= outputCount()) return none;
  return outputs_[static_cast<std::size_t>(channel)];
}

float VstHost::outputPeak() const {
  float peak = 0.0f;
  for (const auto& channel : outputs_)
    for (float sample : channel) peak = std::max(peak, std::fabs(sample));
  return peak;
}

std::vector<CapturedMidi> VstHost::capturedMidi() const {
  std::lock_guard<std::mutex> lock(captureMutex_);
  return captured_;
}

std::vector<CapturedMidi> VstHost::takeCapturedMidi() {
  std::lock_guard<std::mutex> lock(captureMutex_);
  std::vector<CapturedMidi> taken;
  taken.swap(captured_);
  return taken;
}

std::vector<AutomationRecord> VstHost::automation() const {
  std::lock_guard<std::mutex> lock(captureMutex_);
  return automation_;
}

std::vector<AutomationRecord> VstHost::takeAutomation() {
  std::lock_guard<std::mutex> lock(captureMutex_);
  std::vector<AutomationRecord> taken;
  taken.swap(automation_);
  return taken;
}

void VstHost::captureEvents(const VstEvents* events) {
  if (events == nullptr) return;
  const std::int32_t count = std::min(events->numEvents, kMaxEventsPerCall);
  VstEvent* const* slots = events->events;
  std::lock_guard<std::mutex> lock(captureMutex_);
  for (std::int32_t i = 0; i < count; ++i) {
    const VstEvent* event = slots[i];
    if (event == nullptr) continue;
    CapturedMidi captured;
    captured.block = inProcess_ ? blocksProcessed_ : -1;
    captured.deltaFrames = event->deltaFrames;
    captured.type = event->type;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      captured.bytes.assign(midi->midiData, midi->midiData + 3);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      if (sysex->sysexDump != nullptr && sysex->dumpBytes > 0)
        captured.bytes.assign(sysex->sysexDump, sysex->sysexDump + std::min(sysex->dumpBytes, kMaxSysexBytes));
    } else {
      continue;
    }
    captured_.push_back(std::move(captured));
  }
}

std::int32_t VstHost::parameterCount() const { return effect_ != nullptr ? effect_->numParams : 0; }

float VstHost::parameter(std::int32_t index) const {
  if (index < 0 || index >= parameterCount() || effect_->getParameter == nullptr) return 0.0f;
  return effect_->getParameter(effect_, index);
}

bool VstHost::setParameter(std::int32_t index, float value) {
  if (index < 0 || index >= parameterCount() || effect_->setParameter == nullptr) {
    error_ = "no parameter " + std::to_string(index);
    return false;
  }
  effect_->setParameter(effect_, index, value);
  return true;
}

std::string VstHost::dispatchText(std::int32_t opcode, std::int32_t index) {
  char text[kTextBufferSize] = {};
  dispatch(opcode, index, 0, text);
  text[kTextBufferSize - 1] = '\0';
  return text;
}

std::string VstHost::parameterName(std::int32_t index) { return dispatchText(effGetParamName, index); }
std::string VstHost::parameterDisplay(std::int32_t index) { return dispatchText(effGetParamDisplay, index); }
std::string VstHost::parameterLabel(std::int32_t index) { return dispatchText(effGetParamLabel, index); }

std::int32_t VstHost::findParameter(const std::string& name) {
  for (std::int32_t i = 0; i < parameterCount(); ++i)
    if (parameterName(i) == name) return i;
  return -1;
}

std::intptr_t VstHost::canDo(const std::string& capability) {
  return dispatch(effCanDo, 0, 0, const_cast<char*>(capability.c_str()));
}

std::string VstHost::effectName() { return dispatchText(effGetEffectName, 0); }
std::string VstHost::vendorString() { return dispatchText(effGetVendorString, 0); }
std::string VstHost::productString() { return dispatchText(effGetProductString, 0); }

bool VstHost::getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) {
  data.clear();
  if (!ready("get a chunk")) return false;
  void* chunk = nullptr;
  const std::intptr_t size = dispatch(effGetChunk, static_cast<std::int32_t>(kind), 0, &chunk);
  if (size <= 0 || chunk == nullptr || size > kMaxChunkBytes) {
    error_ = "the plug-in gave no chunk";
    return false;
  }
  const auto* bytes = static_cast<const std::uint8_t*>(chunk);
  data.assign(bytes, bytes + size);
  return true;
}

bool VstHost::setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) {
  if (!ready("set a chunk")) return false;
  // The plug-in reads the chunk through a non-const pointer; give it a copy.
  std::vector<std::uint8_t> copy(data);
  const std::intptr_t result = dispatch(effSetChunk, static_cast<std::int32_t>(kind),
                                        static_cast<std::intptr_t>(copy.size()), copy.data());
  if (result == 0) {
    error_ = "the plug-in refused the chunk";
    return false;
  }
  return true;
}

std::intptr_t VstHost::answerCanDo(const char* capability) const {
  if (capability == nullptr) return 0;
  static const char* const supported[] = {"sendVstEvents", "sendVstMidiEvent", "sendVstTimeInfo",
                                          "receiveVstEvents", "receiveVstMidiEvent"};
  for (const char* name : supported)
    if (std::strcmp(capability, name) == 0) return 1;
  return 0;
}

std::intptr_t VstHost::answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr,
                              float opt) {
  (void)value;
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit: {
      const auto kind = opcode == audioMasterAutomate  ? AutomationRecord::Kind::Automate
                        : opcode == audioMasterBeginEdit ? AutomationRecord::Kind::BeginEdit
                                                         : AutomationRecord::Kind::EndEdit;
      std::lock_guard<std::mutex> lock(captureMutex_);
      automation_.push_back(AutomationRecord{kind, index, opcode == audioMasterAutomate ? opt : 0.0f});
      return 1;
    }
    case audioMasterProcessEvents:
      captureEvents(static_cast<const VstEvents*>(ptr));
      return 1;
    case audioMasterWantMidi:
      ++wantMidiCalls_;
      return 1;
    case audioMasterGetTime: {
      if (hostInBlock == this) return reinterpret_cast<std::intptr_t>(&timeInfo());
      // Other threads (an editor's) get a copy of their own: the block's is refilled while they read.
      thread_local VstTimeInfo copy;
      std::lock_guard<std::mutex> lock(timeMutex_);
      fillTimeInfo(copy);
      return reinterpret_cast<std::intptr_t>(&copy);
    }
    case audioMasterGetSampleRate:
      return static_cast<std::intptr_t>(sampleRate_);
    case audioMasterGetBlockSize:
      return blockSize_;
    case audioMasterGetProductString:
      copyText(kProductString, ptr, kVstMaxProductStrLen);
      return ptr != nullptr;
    case audioMasterGetVendorString:
      copyText(kVendorString, ptr, kVstMaxVendorStrLen);
      return ptr != nullptr;
    case audioMasterGetVendorVersion:
      return kHostVendorVersion;
    case audioMasterCanDo:
      return answerCanDo(static_cast<const char*>(ptr));
    case audioMasterGetCurrentProcessLevel:
      if (offline_) return kVstProcessLevelOffline;
      return inProcess_ ? kVstProcessLevelRealtime : kVstProcessLevelUser;
    default:
      return 0;
  }
}

void VstHost::describe(std::ostream& out) {
  if (effect_ == nullptr) return;
  const AEffect& e = *effect_;
  const std::intptr_t category = dispatch(effGetPlugCategory);
  out << "magic          " << fourChars(e.magic) << " (" << hex32(e.magic) << ")\n"
       << "numPrograms    " << e.numPrograms << '\n'
       << "numParams      " << e.numParams << '\n'
       << "numInputs      " << e.numInputs << '\n'
       << "numOutputs     " << e.numOutputs << '\n'
       << "flags          " << hex32(e.flags) << " (" << flagNames(e.flags) << ")\n"
       << "initialDelay   " << e.initialDelay << '\n'
       << "uniqueID       " << fourChars(e.uniqueID) << " (" << hex32(e.uniqueID) << ")\n"
       << "version        " << e.version << " (" << hex32(e.version) << ")\n"
       << "effect name    " << effectName() << '\n'
       << "vendor         " << vendorString() << '\n'
       << "product        " << productString() << '\n'
       << "category       " << category << " (" << categoryName(category) << ")\n"
       << "vst version    " << dispatch(effGetVstVersion) << '\n';
}

}  // namespace velmora::host
