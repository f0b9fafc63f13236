// process() of Vst3Processor: the block is cut at every note and every
// parameter point, in time order, so that each takes effect at its own
// frame; the plug-in's MIDI goes out as note events in time order. Nothing
// here allocates or waits.
#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>

#include "framework/plugin/vst3/Vst3Params.h"
#include "framework/plugin/vst3/Vst3Processor.h"

namespace velmora {

namespace {

using vst3::Event;

constexpr int kNoteCount = 128;
// Parameter queues followed point by point; a host that sends more has the
// rest applied at the block's start.
constexpr int kMaxQueues = 64;

bool Usable(double v) { return std::isfinite(v) && v >= 0.0; }

uint8_t MidiChannel(int channel) { return static_cast<uint8_t>(channel >= 0 && channel < 16 ? channel : 0); }

uint8_t MidiVelocity(double velocity, int lowest) {
  if (!(velocity >= 0.0)) return static_cast<uint8_t>(lowest);
  return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(std::min(velocity, 1.0) * 127.0)), lowest, 127));
}

struct QueueCursor {
  vst3::IParamValueQueue* queue = nullptr;
  vst3::ParamID id = 0;
  vst3::int32 count = 0;
  vst3::int32 next = 0;
  vst3::int32 offset = 0;
  double value = 0.0;

  // Loads the next readable point; false when there is none.
  bool Load() {
    while (next < count) {
      if (queue->getPoint(next, offset, value) == vst3::kResultOk) return true;
      ++next;
    }
    return false;
  }
};

}  // namespace

vst3::tresult Vst3Processor::process(vst3::ProcessData& data) {
  try {
    SilenceOutputs(data);
    if (!mPlugin) return vst3::kResultOk;
    mOut = data.outputEvents;
    mLastOutFrame = 0;
    mBlockFrames = std::clamp(data.numSamples, 0, kMaxBlock);
    auto lock = mPlugin->TryLockForBlock();
    if (lock.owns_lock()) {
      RunBlock(data);
    } else {
      GoOutWithoutLock(data);
    }
  } catch (...) {
  }
  mOut = nullptr;
  return vst3::kResultOk;
}

// Zeros wherever the host gave room for them, and flags saying so.
void Vst3Processor::SilenceOutputs(vst3::ProcessData& data) const {
  if (!data.outputs || data.numOutputs <= 0) return;
  const bool wide = data.symbolicSampleSize == vst3::kSample64;
  const size_t bytes = static_cast<size_t>(std::max(data.numSamples, 0)) * (wide ? sizeof(double) : sizeof(float));
  for (vst3::int32 b = 0; b < data.numOutputs; ++b) {
    vst3::AudioBusBuffers& bus = data.outputs[b];
    const int channels = std::clamp(bus.numChannels, 0, 64);
    void* const* pointers = wide ? reinterpret_cast<void* const*>(bus.channelBuffers64)
                                 : reinterpret_cast<void* const*>(bus.channelBuffers32);
    for (int c = 0; c < channels && pointers && bytes > 0; ++c) {
      if (pointers[c]) std::memset(pointers[c], 0, bytes);
    }
    bus.silenceFlags = channels >= 64 ? ~uint64_t{0} : (uint64_t{1} << channels) - 1;
  }
}

void Vst3Processor::RunBlock(vst3::ProcessData& data) {
  mHasContext = data.processContext != nullptr;
  if (mHasContext) mContext = *data.processContext;
  mSliceStart = 0;
  AgeEchoes();
  PlayKeptEvents();
  PlayInOrder(data);
  PushKeptValues(data.outputParameterChanges);
}

// [audio, without the lock] The block goes out silent; its notes and values
// wait for the next block that plays, at its first frame. While bypassed
// the notes need no plug-in: they pass at once.
void Vst3Processor::GoOutWithoutLock(vst3::ProcessData& data) {
  KeepEvents(data);
  mPlugin->SkipBlock(mBlockFrames);
}

void Vst3Processor::KeepEvents(vst3::ProcessData& data) {
  using Kind = HostEventRing::Event::Kind;
  if (vst3::IParameterChanges* changes = data.inputParameterChanges) {
    const vst3::int32 count = changes->getParameterCount();
    for (vst3::int32 q = 0; q < count; ++q) {
      vst3::IParamValueQueue* queue = changes->getParameterData(q);
      QueueCursor cursor{queue, 0, queue ? queue->getPointCount() : 0};
      if (!queue) continue;
      for (; cursor.Load(); ++cursor.next) {
        HostEventRing::Event kept;
        kept.kind = Kind::kParam;
        kept.param = static_cast<int32_t>(std::min<vst3::ParamID>(queue->getParameterId(), INT32_MAX));
        kept.value = cursor.value;
        mPlugin->HostEvents().Push(kept);
      }
    }
  }
  vst3::IEventList* in = data.inputEvents;
  const vst3::int32 count = in ? in->getEventCount() : 0;
  for (vst3::int32 i = 0; i < count; ++i) {
    Event event{};
    if (in->getEvent(i, event) != vst3::kResultOk || event.busIndex != 0) continue;
    if (Bypassed()) {
      PassThrough(event);
      continue;
    }
    HostEventRing::Event kept;
    if (event.type == Event::kNoteOnEvent || event.type == Event::kNoteOffEvent) {
      const bool on = event.type == Event::kNoteOnEvent;
      kept.kind = on ? Kind::kNoteOn : Kind::kNoteOff;
      kept.channel = on ? event.noteOn.channel : event.noteOff.channel;
      kept.key = on ? event.noteOn.pitch : event.noteOff.pitch;
      kept.value = on ? event.noteOn.velocity : event.noteOff.velocity;
      mPlugin->HostEvents().Push(kept);
    }
  }
}

void Vst3Processor::PlayKeptEvents() {
  HostEventRing::Event kept;
  while (mPlugin->HostEvents().Pop(&kept)) {
    switch (kept.kind) {
      case HostEventRing::Event::Kind::kParam:
        ApplyHostValue(static_cast<vst3::ParamID>(kept.param), kept.value);
        break;
      case HostEventRing::Event::Kind::kNoteOn:
      case HostEventRing::Event::Kind::kNoteOff:
        HandleNote(kept.kind == HostEventRing::Event::Kind::kNoteOn, kept.channel, kept.key, kept.value);
        break;
      case HostEventRing::Event::Kind::kMidi:
        mPlugin->HandleMidiMessage(kept.midi);
        break;
    }
  }
}

// Points and events in time order; at one frame the values come first. Late
// or unsorted ones take effect where the block has got to, none beyond its
// last frame.
void Vst3Processor::PlayInOrder(vst3::ProcessData& data) {
  std::array<QueueCursor, kMaxQueues> queues;
  int queueCount = 0;
  if (vst3::IParameterChanges* changes = data.inputParameterChanges) {
    const vst3::int32 count = changes->getParameterCount();
    for (vst3::int32 q = 0; q < count; ++q) {
      vst3::IParamValueQueue* queue = changes->getParameterData(q);
      if (!queue) continue;
      QueueCursor cursor{queue, queue->getParameterId(), queue->getPointCount()};
      if (queueCount < kMaxQueues) {
        if (cursor.Load()) queues[static_cast<size_t>(queueCount++)] = cursor;
        continue;
      }
      for (; cursor.Load(); ++cursor.next) ApplyHostValue(cursor.id, cursor.value);
    }
  }
  vst3::IEventList* in = data.inputEvents;
  const vst3::int32 eventCount = in ? in->getEventCount() : 0;
  vst3::int32 nextEvent = 0;
  Event event{};
  auto loadEvent = [&] {
    while (nextEvent < eventCount) {
      if (in->getEvent(nextEvent, event) == vst3::kResultOk) return true;
      ++nextEvent;
    }
    return false;
  };
  bool haveEvent = loadEvent();
  const int last = std::max(mBlockFrames - 1, 0);
  int cursor = 0;
  for (;;) {
    QueueCursor* point = nullptr;
    for (int q = 0; q < queueCount; ++q) {
      QueueCursor& candidate = queues[static_cast<size_t>(q)];
      if (candidate.next < candidate.count && (!point || candidate.offset < point->offset)) point = &candidate;
    }
    if (!point && !haveEvent) break;
    const bool value = point && (!haveEvent || point->offset <= event.sampleOffset);
    const int time = std::clamp(value ? point->offset : event.sampleOffset, cursor, std::max(cursor, last));
    if (time > cursor) RunSlice(cursor, time - cursor);
    cursor = time;
    mSliceStart = cursor;
    if (value) {
      ApplyHostValue(point->id, point->value);
      ++point->next;
      point->Load();
    } else {
      HandleEvent(event);
      ++nextEvent;
      haveEvent = loadEvent();
    }
  }
  if (mBlockFrames > cursor) RunSlice(cursor, mBlockFrames - cursor);
  mSliceStart = 0;
}

void Vst3Processor::RunSlice(int start, int frames) {
  mSliceStart = start;
  mPlugin->ProcessBuffersDouble(0, nullptr, 0, nullptr, frames);
}

void Vst3Processor::HandleEvent(const Event& event) {
  if (event.busIndex != 0) return;
  if (Bypassed()) {
    PassThrough(event);
    return;
  }
  switch (event.type) {
    case Event::kNoteOnEvent:
      HandleNote(true, event.noteOn.channel, event.noteOn.pitch, event.noteOn.velocity);
      return;
    case Event::kNoteOffEvent:
      HandleNote(false, event.noteOff.channel, event.noteOff.pitch, event.noteOff.velocity);
      return;
    case Event::kDataEvent:
      if (event.data.type == vst3::DataEvent::kMidiSysEx && event.data.bytes && event.data.size > 0 &&
          event.data.size <= INT32_MAX)
        mPlugin->HandleSysEx(SysExMessage{0, static_cast<int32_t>(event.data.size), event.data.bytes});
      return;
    default:
      return;
  }
}

// A note-on of velocity 0 is still a note-on.
void Vst3Processor::HandleNote(bool on, int channel, int pitch, double velocity) {
  if (pitch < 0 || pitch >= kNoteCount) return;
  const auto status = static_cast<uint8_t>((on ? 0x90 : 0x80) | MidiChannel(channel));
  mPlugin->HandleMidiMessage(
      MidiMessage{0, status, static_cast<uint8_t>(pitch), MidiVelocity(velocity, on ? 1 : 0)});
}

void Vst3Processor::PassThrough(const Event& event) {
  Event copy = event;
  copy.busIndex = 0;
  AddOutEvent(copy, event.sampleOffset);
}

// The editor's own edits coming back through the host: their changes have
// run. The last one ends the wait.
bool Vst3Processor::IsEcho(int index, double plain) {
  const auto slot = static_cast<size_t>(index);
  if (slot >= mEchoAges.size() || mEchoAges[slot] < 0) return false;
  if (mEchoValues[slot] == plain) mEchoAges[slot] = -1;
  return true;
}

void Vst3Processor::AgeEchoes() {
  for (int& age : mEchoAges) {
    if (age >= 0 && ++age > kEchoBlocks) age = -1;
  }
}

// A value from the host, as the other formats apply one: below the range a
// drop-down goes to "nothing chosen". When the plug-in does not keep it (an
// action springs back to 0), the host is told what it reads now.
void Vst3Processor::ApplyHostValue(vst3::ParamID id, double normalized) {
  if (id == mModule.bypassId) {
    SetBypass(normalized >= 0.5);
    return;
  }
  const int index = static_cast<int>(std::min<vst3::ParamID>(id, INT32_MAX));
  Param* param = mPlugin->GetParam(index);
  if (!param || !std::isfinite(normalized)) return;
  const double plain = vst3_params::ToPlain(*param, normalized);
  if (IsEcho(index, plain)) return;
  if (vst3_params::MeansNothingChosen(*param, plain)) {
    param->SetToDefault();
  } else {
    param->SetClamped(plain);
  }
  const double kept = param->Value();
  if (IEditorLink* editor = mPlugin->Editor()) editor->SetParamFromPlugin(index, kept, false);
  mPlugin->OnParamChanged(index);
  if (param->Value() == plain) return;
  mKeptValues[static_cast<size_t>(index)] = vst3_params::ToNormalized(*param, param->Value());
  mValueKept[static_cast<size_t>(index)] = 1;
}

void Vst3Processor::PushKeptValues(vst3::IParameterChanges* out) {
  for (size_t i = 0; i < mValueKept.size(); ++i) {
    if (!mValueKept[i] || !out) continue;
    vst3::int32 queueIndex = 0;
    vst3::int32 pointIndex = 0;
    const auto id = static_cast<vst3::ParamID>(i);
    // Without a list the values wait for the next block.
    vst3::IParamValueQueue* queue = out->addParameterData(id, queueIndex);
    if (!queue) continue;
    queue->addPoint(0, mKeptValues[i], pointIndex);
    mValueKept[i] = 0;
  }
}

bool Vst3Processor::AddOutEvent(Event& event, int frame) {
  if (!mOut) return false;
  const int last = std::max(mBlockFrames - 1, 0);
  mLastOutFrame = std::clamp(frame, mLastOutFrame, std::max(last, mLastOutFrame));
  event.sampleOffset = mLastOutFrame;
  if (mHasContext && (mContext.state & vst3::ProcessContext::kProjectTimeMusicValid) &&
      (mContext.state & vst3::ProcessContext::kTempoValid) && mContext.sampleRate > 0.0)
    event.ppqPosition = mContext.projectTimeMusic + mLastOutFrame * mContext.tempo / (60.0 * mContext.sampleRate);
  return mOut->addEvent(event) == vst3::kResultOk;
}

// Notes as note events; the rest of short MIDI as the interface's legacy
// controller events.
bool Vst3Processor::SendMidi(const MidiMessage& message) {
  if (!mOut) return false;
  Event event;
  std::memset(&event, 0, sizeof event);
  const int kind = message.status & 0xF0;
  const auto channel = static_cast<vst3::int16>(message.status & 0x0F);
  if (kind == 0x90 && message.data2 > 0) {
    event.type = Event::kNoteOnEvent;
    event.noteOn = vst3::NoteOnEvent{channel, static_cast<vst3::int16>(message.data1 & 0x7F), 0.0f,
                                     (message.data2 & 0x7F) / 127.0f, 0, -1};
  } else if (kind == 0x80 || kind == 0x90) {
    event.type = Event::kNoteOffEvent;
    event.noteOff = vst3::NoteOffEvent{channel, static_cast<vst3::int16>(message.data1 & 0x7F),
                                       (message.data2 & 0x7F) / 127.0f, -1, 0.0f};
  } else if (kind == 0xB0 || kind == 0xC0 || kind == 0xD0 || kind == 0xE0) {
    // Controller numbers, then after-touch 128, pitch bend 129, program 130.
    const uint8_t number = kind == 0xB0 ? (message.data1 & 0x7F) : kind == 0xD0 ? 128 : kind == 0xE0 ? 129 : 130;
    event.type = Event::kLegacyMIDICCOutEvent;
    event.midiCCOut = vst3::LegacyMIDICCOutEvent{
        number, static_cast<vst3::int8>(channel),
        static_cast<vst3::int8>(kind == 0xB0 ? message.data2 & 0x7F : message.data1 & 0x7F),
        static_cast<vst3::int8>(kind == 0xE0 ? message.data2 & 0x7F : 0)};
  } else {
    return false;
  }
  return AddOutEvent(event, mSliceStart + std::max(message.offset, 0));
}

// The transport as the VST 2.4 time info has it, at the current slice. A
// position before the song's start (a count-in) is not the song playing.
void Vst3Processor::ReadHostTime(TimeInfo* timeInfo) {
  if (!timeInfo) return;
  TimeInfo& info = *timeInfo;
  info.transportIsRunning = false;
  info.transportLoopEnabled = false;
  if (!mHasContext) return;
  using C = vst3::ProcessContext;
  const C& c = mContext;
  const double frames = mSliceStart;
  if ((c.state & C::kTempoValid) && Usable(c.tempo) && c.tempo > 0.0) info.tempo = c.tempo;
  const double rate = std::isfinite(c.sampleRate) && c.sampleRate > 0.0 ? c.sampleRate : mPlugin->SampleRate();
  const double samples = static_cast<double>(c.projectTimeSamples) + frames;
  info.samplePos = samples;
  if (c.state & C::kProjectTimeMusicValid) {
    const double beats = c.projectTimeMusic + frames * info.tempo / 60.0 / rate;
    if (Usable(beats)) info.ppqPos = beats;
  }
  if ((c.state & C::kBarPositionValid) && Usable(c.barPositionMusic)) info.lastBar = c.barPositionMusic;
  if ((c.state & C::kCycleValid) && (c.state & C::kCycleActive)) {
    info.cycleStart = c.cycleStartMusic;
    info.cycleEnd = c.cycleEndMusic;
  }
  if ((c.state & C::kTimeSigValid) && c.timeSigNumerator > 0 && c.timeSigDenominator > 0) {
    info.numerator = c.timeSigNumerator;
    info.denominator = c.timeSigDenominator;
  }
  info.transportIsRunning = (c.state & C::kPlaying) != 0 && samples >= 0.0;
  info.transportLoopEnabled = (c.state & C::kCycleActive) != 0;
}

int Vst3Processor::HostSamplePosition() {
  TimeInfo info;
  ReadHostTime(&info);
  if (!Usable(info.samplePos)) return 0;
  const double rounded = std::floor(info.samplePos + 0.5);
  return rounded >= INT32_MAX ? INT32_MAX : static_cast<int>(rounded);
}

double Vst3Processor::HostTempo() {
  if (!mHasContext || !(mContext.state & vst3::ProcessContext::kTempoValid)) return 0.0;
  return Usable(mContext.tempo) ? mContext.tempo : 0.0;
}

void Vst3Processor::HostTimeSignature(int* numerator, int* denominator) {
  if (!mHasContext || !(mContext.state & vst3::ProcessContext::kTimeSigValid)) return;
  if (mContext.timeSigNumerator <= 0 || mContext.timeSigDenominator <= 0) return;
  if (numerator) *numerator = mContext.timeSigNumerator;
  if (denominator) *denominator = mContext.timeSigDenominator;
}

}  // namespace velmora
