// process() of IPluginClap: the block is cut at every input event's time so
// that notes, MIDI and parameter values take effect at their own frame; the
// plug-in's output goes out in time order. Nothing here allocates.
#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

constexpr double kBeatFactor = static_cast<double>(CLAP_BEATTIME_FACTOR);
constexpr double kSecondFactor = static_cast<double>(CLAP_SECTIME_FACTOR);
constexpr int kNoteCount = 128;

uint8_t MidiChannel(int16_t channel) { return static_cast<uint8_t>(channel >= 0 && channel < 16 ? channel : 0); }

uint8_t MidiVelocity(double velocity, int lowest) {
  if (!(velocity >= 0.0)) return static_cast<uint8_t>(lowest);
  return static_cast<uint8_t>(std::clamp(static_cast<int>(std::lround(std::min(velocity, 1.0) * 127.0)), lowest, 127));
}

// Transport numbers are used only when they are real numbers not below zero.
bool Usable(double v) { return std::isfinite(v) && v >= 0.0; }

}  // namespace

// A block never waits for the lock: without it, it goes out empty and its
// events wait for the next block that plays, at that block's first frame.
clap_process_status IPluginClap::Process(const clap_process_t& process) {
  auto lock = mPlugin->TryLockForBlock();
  if (!lock.owns_lock()) {
    KeepEvents(process.in_events);
    mPlugin->SkipBlock(static_cast<int>(std::min<uint32_t>(process.frames_count, INT32_MAX)));
    return CLAP_PROCESS_CONTINUE;
  }
  mOut = process.out_events;
  mBlockFrames = process.frames_count;
  mLastOutTime = 0;
  mValuesChangedInBlock = false;
  SetTransport(process.transport);
  PushEdits(mOut);
  if (mResetPending) mPlugin->ReleaseAllNotes();
  mResetPending = false;
  PlayKeptEvents();
  const clap_input_events_t* in = process.in_events;
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  const uint32_t last = mBlockFrames > 0 ? mBlockFrames - 1 : 0;
  uint32_t cursor = 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (!event) continue;
    // Late or unsorted events take effect where the block has got to, and
    // none beyond its last frame.
    const uint32_t time = std::clamp(event->time, cursor, std::max(cursor, last));
    if (time > cursor) RunSlice(cursor, time - cursor);
    cursor = time;
    HandleEvent(*event);
  }
  if (mBlockFrames > cursor) RunSlice(cursor, mBlockFrames - cursor);
  PushEdits(mOut);  // the values host changes did not keep (an action's spring-back)
  mOut = nullptr;
  // Host values may have renamed the trigger keys: look on the main thread.
  if (mValuesChangedInBlock && mHost && mHost->request_callback) mHost->request_callback(mHost);
  return CLAP_PROCESS_CONTINUE;
}

// [audio, without the lock] The notes, MIDI and values of a block that went
// out without the lock, in their order; transport and SysEx are not kept.
void IPluginClap::KeepEvents(const clap_input_events_t* in) {
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    HostEventRing::Event kept;
    if (event && ToKeptEvent(*event, &kept)) mPlugin->HostEvents().Push(kept);
  }
}

bool IPluginClap::ToKeptEvent(const clap_event_header_t& event, HostEventRing::Event* kept) {
  if (event.space_id != CLAP_CORE_EVENT_SPACE_ID) return false;
  using Kind = HostEventRing::Event::Kind;
  switch (event.type) {
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE: {
      if (event.size < sizeof(clap_event_note_t)) return false;
      const auto& note = reinterpret_cast<const clap_event_note_t&>(event);
      kept->kind = event.type == CLAP_EVENT_NOTE_ON ? Kind::kNoteOn : Kind::kNoteOff;
      kept->channel = note.channel;
      kept->key = note.key;
      kept->noteId = note.note_id;
      kept->value = note.velocity;
      return true;
    }
    case CLAP_EVENT_MIDI: {
      if (event.size < sizeof(clap_event_midi_t)) return false;
      const auto& midi = reinterpret_cast<const clap_event_midi_t&>(event);
      kept->midi = MidiMessage{0, midi.data[0], midi.data[1], midi.data[2]};
      return true;
    }
    case CLAP_EVENT_PARAM_VALUE: {
      if (event.size < sizeof(clap_event_param_value_t)) return false;
      const auto& value = reinterpret_cast<const clap_event_param_value_t&>(event);
      kept->kind = Kind::kParam;
      kept->param = static_cast<int32_t>(std::min<clap_id>(value.param_id, INT32_MAX));
      kept->value = value.value;
      return true;
    }
    default:
      return false;
  }
}

// The kept events come first, at the block's first frame.
void IPluginClap::PlayKeptEvents() {
  HostEventRing::Event kept;
  while (mPlugin->HostEvents().Pop(&kept)) {
    switch (kept.kind) {
      case HostEventRing::Event::Kind::kParam:
        ApplyHostValue(static_cast<clap_id>(kept.param), kept.value);
        break;
      case HostEventRing::Event::Kind::kNoteOn:
      case HostEventRing::Event::Kind::kNoteOff: {
        clap_event_note_t note{};
        note.note_id = kept.noteId;
        note.channel = kept.channel;
        note.key = kept.key;
        note.velocity = kept.value;
        HandleNote(note, kept.kind == HostEventRing::Event::Kind::kNoteOn);
        break;
      }
      case HostEventRing::Event::Kind::kMidi:
        mPlugin->HandleMidiMessage(kept.midi);
        break;
    }
  }
}

void IPluginClap::RunSlice(uint32_t start, uint32_t frames) {
  mSliceStart = start;
  // No audio ports: the base's channels run on their own silent scratch.
  mPlugin->ProcessBuffersDouble(0, nullptr, 0, nullptr, static_cast<int>(frames));
  mSliceStart = 0;
}

void IPluginClap::HandleEvent(const clap_event_header_t& event) {
  if (event.space_id != CLAP_CORE_EVENT_SPACE_ID) return;
  switch (event.type) {
    case CLAP_EVENT_NOTE_ON:
    case CLAP_EVENT_NOTE_OFF:
    case CLAP_EVENT_NOTE_CHOKE:
      if (event.size >= sizeof(clap_event_note_t))
        HandleNote(reinterpret_cast<const clap_event_note_t&>(event), event.type == CLAP_EVENT_NOTE_ON);
      return;
    case CLAP_EVENT_MIDI:
      if (event.size >= sizeof(clap_event_midi_t)) {
        const auto& midi = reinterpret_cast<const clap_event_midi_t&>(event);
        mPlugin->HandleMidiMessage(MidiMessage{0, midi.data[0], midi.data[1], midi.data[2]});
      }
      return;
    case CLAP_EVENT_MIDI_SYSEX:
      if (event.size >= sizeof(clap_event_midi_sysex_t)) {
        const auto& sysex = reinterpret_cast<const clap_event_midi_sysex_t&>(event);
        if (!sysex.buffer || sysex.size == 0 || sysex.size > std::numeric_limits<int32_t>::max()) return;
        mPlugin->HandleSysEx(SysExMessage{0, static_cast<int32_t>(sysex.size), sysex.buffer});
      }
      return;
    case CLAP_EVENT_PARAM_VALUE:
      if (event.size >= sizeof(clap_event_param_value_t)) {
        const auto& value = reinterpret_cast<const clap_event_param_value_t&>(event);
        ApplyHostValue(value.param_id, value.value);
      }
      return;
    case CLAP_EVENT_TRANSPORT:
      if (event.size >= sizeof(clap_event_transport_t)) {
        SetTransport(&reinterpret_cast<const clap_event_transport_t&>(event));
        mTransportTime = event.time;
      }
      return;
    default:
      return;
  }
}

// A note-on remembers its note id; an off or a choke releases the notes its
// tuple names, -1 standing for any channel, key or id.
void IPluginClap::HandleNote(const clap_event_note_t& note, bool on) {
  MidiMessage message;
  if (on) {
    if (!NoteToMidi(note, true, &message)) return;
    mNoteIds[NoteSlot(message.status & 0x0F, message.data1)] = note.note_id;
    mPlugin->HandleMidiMessage(message);
    return;
  }
  if (note.key != -1 && (note.key < 0 || note.key >= kNoteCount)) return;
  const int firstChannel = note.channel == -1 ? 0 : MidiChannel(note.channel);
  const int lastChannel = note.channel == -1 ? 15 : firstChannel;
  for (int channel = firstChannel; channel <= lastChannel; ++channel) {
    for (int key = note.key == -1 ? 0 : note.key; key <= (note.key == -1 ? kNoteCount - 1 : note.key); ++key) {
      int32_t& id = mNoteIds[NoteSlot(channel, key)];
      if (note.note_id != -1 && id != note.note_id) continue;
      id = -1;
      mPlugin->HandleMidiMessage(MidiMessage{0, static_cast<uint8_t>(0x80 | channel), static_cast<uint8_t>(key), 0});
    }
  }
}

// False for a key outside 0..127 (-1 included).
bool IPluginClap::NoteToMidi(const clap_event_note_t& note, bool on, MidiMessage* message) {
  if (note.key < 0 || note.key >= kNoteCount) return false;
  const uint8_t status = static_cast<uint8_t>((on ? 0x90 : 0x80) | MidiChannel(note.channel));
  // A CLAP note-on of velocity 0 is still a note-on.
  *message = MidiMessage{0, status, static_cast<uint8_t>(note.key), MidiVelocity(note.velocity, on ? 1 : 0)};
  return true;
}

size_t IPluginClap::NoteSlot(int channel, int key) {
  return static_cast<size_t>((channel & 0x0F) * kNoteCount + (key & 0x7F));
}

void IPluginClap::SetTransport(const clap_event_transport_t* transport) {
  mHasTransport = transport != nullptr;
  mTransportTime = 0;
  if (transport) mTransport = *transport;
}

void IPluginClap::PushEdits(const clap_output_events_t* out) {
  // Without a list the edits wait for the next process() or flush.
  if (!out || !out->try_push) return;
  ParamEditQueue::Edit edit;
  while (mEdits.Pop(&edit)) {
    const clap_id id = static_cast<clap_id>(edit.index);
    if (edit.kind == ParamEditQueue::Kind::kValue) {
      clap_event_param_value_t value{};
      value.header = {sizeof value, mLastOutTime, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, CLAP_EVENT_IS_LIVE};
      value.param_id = id;
      value.note_id = -1;
      value.port_index = value.channel = value.key = -1;
      value.value = edit.value;
      out->try_push(out, &value.header);
      continue;
    }
    clap_event_param_gesture_t gesture{};
    const uint16_t type = edit.kind == ParamEditQueue::Kind::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                                    : CLAP_EVENT_PARAM_GESTURE_END;
    gesture.header = {sizeof gesture, mLastOutTime, CLAP_CORE_EVENT_SPACE_ID, type, CLAP_EVENT_IS_LIVE};
    gesture.param_id = id;
    out->try_push(out, &gesture.header);
  }
}

// Outputs keep time order and stay inside the block whatever offsets the
// plug-in gives them.
bool IPluginClap::PushEvent(const clap_event_header_t& event) {
  if (!mOut || !mOut->try_push) return false;
  return mOut->try_push(mOut, &event);
}

bool IPluginClap::SendMidi(const MidiMessage& message) {
  if (!mOut) return false;
  const int64_t wanted = int64_t{mSliceStart} + std::max(message.offset, 0);
  const int64_t last = mBlockFrames > 0 ? int64_t{mBlockFrames} - 1 : 0;
  mLastOutTime = static_cast<uint32_t>(std::clamp<int64_t>(wanted, mLastOutTime, std::max<int64_t>(last, mLastOutTime)));
  clap_event_midi_t midi{};
  midi.header = {sizeof midi, mLastOutTime, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI, 0};
  midi.port_index = 0;
  midi.data[0] = message.status;
  midi.data[1] = message.data1;
  midi.data[2] = message.data2;
  return PushEvent(midi.header);
}

bool IPluginClap::SendSysExMessage(const SysExMessage& message) {
  if (!mOut || !message.data || message.size <= 0) return false;
  clap_event_midi_sysex_t sysex{};
  sysex.header = {sizeof sysex, mLastOutTime, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_MIDI_SYSEX, 0};
  sysex.buffer = message.data;  // the host copies it before try_push returns
  sysex.size = static_cast<uint32_t>(message.size);
  return PushEvent(sysex.header);
}

// The transport as the VST 2.4 time info has it, at the current slice.
void IPluginClap::ReadHostTime(TimeInfo* timeInfo) {
  if (!timeInfo) return;
  TimeInfo& info = *timeInfo;
  info.transportIsRunning = false;
  info.transportLoopEnabled = false;
  if (!mHasTransport) return;
  const clap_event_transport_t& t = mTransport;
  const double frames = static_cast<double>(mSliceStart > mTransportTime ? mSliceStart - mTransportTime : 0);
  if ((t.flags & CLAP_TRANSPORT_HAS_TEMPO) && Usable(t.tempo) && t.tempo > 0.0) info.tempo = t.tempo;
  const double beatsPerFrame = info.tempo / 60.0 / mPlugin->SampleRate();
  if (t.flags & CLAP_TRANSPORT_HAS_BEATS_TIMELINE) {
    const double beats = t.song_pos_beats / kBeatFactor + frames * beatsPerFrame;
    if (Usable(beats)) info.ppqPos = beats;
    if (Usable(t.bar_start / kBeatFactor)) info.lastBar = t.bar_start / kBeatFactor;
    if (t.flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) {
      info.cycleStart = t.loop_start_beats / kBeatFactor;
      info.cycleEnd = t.loop_end_beats / kBeatFactor;
    }
  }
  if (t.flags & CLAP_TRANSPORT_HAS_SECONDS_TIMELINE) {
    const double samples = t.song_pos_seconds / kSecondFactor * mPlugin->SampleRate() + frames;
    if (std::isfinite(samples)) info.samplePos = samples;
  }
  if ((t.flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE) && t.tsig_num > 0 && t.tsig_denom > 0) {
    info.numerator = t.tsig_num;
    info.denominator = t.tsig_denom;
  }
  // A count-in is no part of the song: nothing is recorded during it.
  info.transportIsRunning = (t.flags & CLAP_TRANSPORT_IS_PLAYING) != 0 && !(t.flags & CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL);
  info.transportLoopEnabled = (t.flags & CLAP_TRANSPORT_IS_LOOP_ACTIVE) != 0;
}

int IPluginClap::HostSamplePosition() {
  TimeInfo info;
  ReadHostTime(&info);
  if (!Usable(info.samplePos)) return 0;
  const double rounded = std::floor(info.samplePos + 0.5);
  return rounded >= std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                         : static_cast<int>(rounded);
}

double IPluginClap::HostTempo() {
  if (!mHasTransport || !(mTransport.flags & CLAP_TRANSPORT_HAS_TEMPO)) return 0.0;
  return Usable(mTransport.tempo) ? mTransport.tempo : 0.0;
}

void IPluginClap::HostTimeSignature(int* numerator, int* denominator) {
  if (!mHasTransport || !(mTransport.flags & CLAP_TRANSPORT_HAS_TIME_SIGNATURE)) return;
  if (numerator) *numerator = mTransport.tsig_num;
  if (denominator) *denominator = mTransport.tsig_denom;
}

}  // namespace velmora
