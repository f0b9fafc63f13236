// velmora-processing-probe: does Velmora's processing thread ever wait for its
// editor? Acts as a DAW: 128-frame blocks at 48 kHz in real time on a
// processing thread of its own, host notes 36-51 now and then, while the GUI
// (main) thread goes through three phases: no editor; the editor opened and
// closed 8 times; the editor open and at work (idled, "loose matches"
// automated, the chord list scrolled and pressed through XTest). Prints the
// processing calls' durations per phase; asserts nothing. Runs its own Xvfb.
//
//   build/bench/host/velmora-processing-probe [--seconds N] [--state FILE]
//       [path/to/Velmora.so] [path/to/Velmora.clap]
//
// --seconds: each phase's length (default 3). --state: a program chunk that
// fills the chord list (default tools/demo/c-major.vstchunk). Without module
// paths, both modules of the build tree run.
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/PrivateDataFolder.h"
#include "framework/plugin/clap/ClapAbi.h"
#include "framework/plugin/vst2/Vst2Abi.h"
#include "tools/vsthost/PluginModule.h"

// Xlib last: its macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::int64_t kSampleRateHz = 48000;
constexpr double kSampleRate = 48000.0;
constexpr std::int32_t kBlockFrames = 128;
constexpr double kTempo = 120.0;
constexpr int kMaxEvents = 64;
constexpr int kRealtimePriority = 70;
constexpr int kNoteFirst = 36, kNoteCount = 16, kNoteEvery = 50, kNoteLength = 20;  // lengths in blocks
constexpr milliseconds kIdlePeriod{40}, kAutomationPeriod{100}, kGesturePeriod{250};
constexpr milliseconds kClickHold{60}, kOpenCloseIdle{150};
constexpr int kOpenCloseCycles = 8;
constexpr const char* kAutomatedName = "loose matches";
constexpr const char* kRandomizeName = "randomize grid";  // so that host notes play chords
// The editor's chord list: 20 rows of 33 pixels from y = 7, between x = 626 and 955.
constexpr int kListX = 790, kListMiddleY = 340, kRowTop = 7, kRowHeight = 33, kRowCount = 20;
constexpr int kFrameX = 40, kFrameY = 30;

enum Phase : int { kSetup, kNoEditor, kOpenClose, kAtWork, kPhaseCount };
constexpr const char* kPhaseNames[kPhaseCount] = {"setup", "no editor", "open/close x8", "editor at work"};

std::thread::id MainThread() {
  static const std::thread::id kMain = std::this_thread::get_id();
  return kMain;
}
bool& OnProcessingThread() {
  thread_local bool on = false;
  return on;
}
std::atomic<std::int64_t>& SamplePosition() {
  static std::atomic<std::int64_t> position{0};
  return position;
}
// Note-ons the plug-in sent: host notes and pressed rows that sounded.
std::atomic<std::int64_t>& NoteOnsOut() {
  static std::atomic<std::int64_t> count{0};
  return count;
}
std::int64_t FramesToNanos(std::int64_t frames) { return frames * 1000000000 / kSampleRateHz; }
std::int64_t ToNanos(const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; }

// Names compared as hosts show them: case, spaces and punctuation aside.
std::string Folded(const char* text) {
  std::string out;
  for (; *text != '\0'; ++text) {
    const auto c = static_cast<unsigned char>(*text);
    if (std::isalnum(c)) out += static_cast<char>(std::tolower(c));
  }
  return out;
}

struct HostNote {
  std::int32_t frame;
  std::int16_t key;
  bool on;
};

// A note-on every 50 blocks at a varying frame, its note-off 20 blocks later.
int NotesOfBlock(std::int64_t block, HostNote* out) {
  const std::int64_t slot = block / kNoteEvery;
  const auto key = static_cast<std::int16_t>(kNoteFirst + slot % kNoteCount);
  const auto frame = static_cast<std::int32_t>((slot * 37 + block % kNoteEvery * 11) % kBlockFrames);
  if (block % kNoteEvery == 0 || block % kNoteEvery == kNoteLength) {
    out[0] = {frame, key, block % kNoteEvery == 0};
    return 1;
  }
  return 0;
}

// One module as the probe drives it: Prepare and Run on the processing thread
// (only Run is timed), everything else on the GUI thread.
class ProbeHost {
 public:
  virtual ~ProbeHost() = default;
  virtual const char* FormatName() const = 0;
  virtual bool Load(const std::string& path, std::string& error) = 0;
  virtual bool LoadState(const std::vector<std::uint8_t>& chunk) = 0;
  // A parameter found by the name hosts show; ids are the formats' own.
  struct Param {
    std::uint32_t id = UINT32_MAX;
    double min = 0.0, max = 1.0;
    bool Found() const { return id != UINT32_MAX; }
  };
  virtual Param FindParameter(const std::string& name) = 0;
  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
  virtual void Close() = 0;
  virtual void StartProcessing() {}
  virtual void StopProcessing() {}
  virtual void Prepare(std::int64_t block, const HostNote* notes, int count) = 0;
  virtual void Run() = 0;
  virtual bool CreateEditor(int& width, int& height) = 0;
  virtual bool AttachEditor(unsigned long parent) = 0;
  virtual void CloseEditor() = 0;
  // The host's idle until then: the editor's calls as they fall due.
  virtual void Pump(Clock::time_point until) = 0;
  // The parameter at this fraction of its range, as automation while processing.
  virtual void Automate(const Param& param, double fraction) = 0;
};

// ---- VST 2.4 ------------------------------------------------------------------

// A playing transport at 120 bpm in 4/4, at the current block's start.
const VstTimeInfo& CurrentTimeInfo() {
  thread_local VstTimeInfo info;
  const auto samples = static_cast<double>(SamplePosition().load(std::memory_order_relaxed));
  const double beats = samples / kSampleRate * kTempo / 60.0;
  info = VstTimeInfo{};
  info.samplePos = samples;
  info.sampleRate = kSampleRate;
  info.nanoSeconds = std::chrono::duration<double, std::nano>(Clock::now().time_since_epoch()).count();
  info.ppqPos = beats;
  info.tempo = kTempo;
  info.barStartPos = std::floor(beats / 4.0) * 4.0;
  info.timeSigNumerator = 4;
  info.timeSigDenominator = 4;
  info.flags = kVstTransportPlaying | kVstNanosValid | kVstPpqPosValid | kVstTempoValid | kVstBarsValid |
               kVstTimeSigValid;
  return info;
}

// VstEvents with room for a block's events.
struct VstEventBlock {
  std::int32_t numEvents = 0;
  std::intptr_t reserved = 0;
  std::array<VstEvent*, kMaxEvents> events{};
};

class VstProbeHost : public ProbeHost {
 public:
  VstProbeHost() {
    for (int i = 0; i < kMaxEvents; ++i) mEvents.events[i] = reinterpret_cast<VstEvent*>(&mMidi[i]);
    for (int i = 0; i < 2; ++i) {
      mInputs[i] = mBuffers[i].data();
      mOutputs[i] = mBuffers[2 + i].data();
    }
  }
  const char* FormatName() const override { return "VST 2.4"; }

  bool Load(const std::string& path, std::string& error) override {
    if (!mModule.load(path)) {
      error = mModule.error();
      return false;
    }
    void* symbol = mModule.symbol("VSTPluginMain");
    if (symbol == nullptr) symbol = mModule.symbol("main");
    const auto entry = reinterpret_cast<VstPluginEntryProc>(symbol);
    mEffect = entry != nullptr ? entry(&VstProbeHost::HostCallback) : nullptr;
    if (mEffect == nullptr || mEffect->magic != kEffectMagic) {
      mEffect = nullptr;
      error = "no VST 2.4 effect";
      return false;
    }
    Dispatch(effOpen);
    Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(kSampleRate));
    Dispatch(effSetBlockSize, 0, kBlockFrames);
    return true;
  }
  bool LoadState(const std::vector<std::uint8_t>& chunk) override {
    std::vector<std::uint8_t> copy(chunk);
    return Dispatch(effSetChunk, 1, static_cast<std::intptr_t>(copy.size()), copy.data()) != 0;
  }
  Param FindParameter(const std::string& name) override {
    for (std::int32_t i = 0; i < mEffect->numParams; ++i) {
      VstParameterProperties properties{};
      char text[256] = {};
      if (Dispatch(effGetParameterProperties, i, 0, &properties) != 0) {
        std::snprintf(text, sizeof text, "%.*s", static_cast<int>(sizeof properties.label), properties.label);
      } else {
        Dispatch(effGetParamName, i, 0, text);
      }
      if (Folded(text) == Folded(name.c_str())) return Param{static_cast<std::uint32_t>(i)};
    }
    return Param{};
  }
  void Activate() override {
    Dispatch(effMainsChanged, 0, 1);
    Dispatch(effStartProcess);
  }
  void Deactivate() override {
    Dispatch(effStopProcess);
    Dispatch(effMainsChanged, 0, 0);
  }
  void Close() override {
    if (mEffect != nullptr) Dispatch(effClose);
    mEffect = nullptr;
    mModule.unload();
  }

  void Prepare(std::int64_t, const HostNote* notes, int count) override {
    for (int i = 0; i < count; ++i) {
      VstMidiEvent& midi = mMidi[i];
      midi = VstMidiEvent{};
      midi.type = kVstMidiType;
      midi.byteSize = sizeof(VstMidiEvent);
      midi.deltaFrames = notes[i].frame;
      midi.flags = kVstMidiEventIsRealtime;
      midi.midiData[0] = static_cast<char>(notes[i].on ? 0x90 : 0x80);
      midi.midiData[1] = static_cast<char>(notes[i].key);
      midi.midiData[2] = static_cast<char>(notes[i].on ? 100 : 0);
    }
    mEvents.numEvents = count;
  }
  void Run() override {
    Dispatch(effProcessEvents, 0, 0, &mEvents);
    mEffect->processReplacing(mEffect, mInputs, mOutputs, kBlockFrames);
  }

  bool CreateEditor(int& width, int& height) override {
    ERect* rect = nullptr;
    if ((mEffect->flags & effFlagsHasEditor) == 0 || Dispatch(effEditGetRect, 0, 0, &rect) == 0 || !rect)
      return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0;
  }
  bool AttachEditor(unsigned long parent) override {
    mEditorOpen = Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent)) != 0;
    mNextIdle = Clock::now();
    return mEditorOpen;
  }
  void CloseEditor() override {
    if (mEditorOpen) Dispatch(effEditClose);
    mEditorOpen = false;
  }
  void Pump(Clock::time_point until) override {
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
      if (mEditorOpen && now >= mNextIdle) {
        Dispatch(effEditIdle);
        // Steady steps; one that fell behind does not catch up.
        mNextIdle += kIdlePeriod;
        if (mNextIdle < now) mNextIdle = now + kIdlePeriod;
      }
      std::this_thread::sleep_until(mEditorOpen ? std::min(until, mNextIdle) : until);
    }
  }
  void Automate(const Param& param, double fraction) override {
    if (param.Found()) mEffect->setParameter(mEffect, std::int32_t(param.id), static_cast<float>(fraction));
  }

 private:
  std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0, void* ptr = nullptr,
                         float opt = 0.0f) {
    return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
  }
  static std::intptr_t VST_CALL HostCallback(AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr,
                                             float) {
    switch (opcode) {
      case audioMasterVersion: return kVstVersion;
      case audioMasterGetTime: return reinterpret_cast<std::intptr_t>(&CurrentTimeInfo());
      case audioMasterProcessEvents: {
        const auto* events = static_cast<const VstEvents*>(ptr);
        for (std::int32_t i = 0; events != nullptr && i < events->numEvents; ++i) {
          const auto* midi = reinterpret_cast<const VstMidiEvent*>(events->events[i]);
          if (midi->type == kVstMidiType && (midi->midiData[0] & 0xF0) == 0x90 && midi->midiData[2] != 0)
            NoteOnsOut().fetch_add(1, std::memory_order_relaxed);
        }
        return 1;
      }
      case audioMasterWantMidi: return 1;
      case audioMasterGetSampleRate: return kSampleRateHz;
      case audioMasterGetBlockSize: return kBlockFrames;
      case audioMasterGetCurrentProcessLevel:
        return OnProcessingThread() ? kVstProcessLevelRealtime : kVstProcessLevelUser;
      case audioMasterGetVendorString:
      case audioMasterGetProductString:
        if (ptr != nullptr) std::snprintf(static_cast<char*>(ptr), kVstMaxVendorStrLen, "velmora-processing-probe");
        return ptr != nullptr;
      case audioMasterCanDo: {
        const std::string can = ptr != nullptr ? static_cast<const char*>(ptr) : "";
        return can == "sendVstEvents" || can == "sendVstMidiEvent" || can == "sendVstTimeInfo" ||
               can == "receiveVstEvents" || can == "receiveVstMidiEvent";
      }
      default: return 0;
    }
  }

  velmora::host::PluginModule mModule;
  AEffect* mEffect = nullptr;
  bool mEditorOpen = false;
  Clock::time_point mNextIdle;
  std::array<VstMidiEvent, kMaxEvents> mMidi{};
  VstEventBlock mEvents;
  std::array<std::array<float, kBlockFrames>, 4> mBuffers{};
  float* mInputs[2] = {};
  float* mOutputs[2] = {};
};

// ---- CLAP ---------------------------------------------------------------------

struct ParamValue {
  clap_id id;
  double value;
};

// Parameter values from the GUI thread to the next process(): one producer,
// one consumer, no lock.
class ValueRing {
 public:
  bool Push(const ParamValue& value) {
    const std::uint32_t head = mHead.load(std::memory_order_relaxed);
    if (head - mTail.load(std::memory_order_acquire) == kSize) return false;
    mValues[head % kSize] = value;
    mHead.store(head + 1, std::memory_order_release);
    return true;
  }
  bool Pop(ParamValue& value) {
    const std::uint32_t tail = mTail.load(std::memory_order_relaxed);
    if (tail == mHead.load(std::memory_order_acquire)) return false;
    value = mValues[tail % kSize];
    mTail.store(tail + 1, std::memory_order_release);
    return true;
  }

 private:
  static constexpr std::uint32_t kSize = 32;
  std::array<ParamValue, kSize> mValues{};
  std::atomic<std::uint32_t> mHead{0};
  std::atomic<std::uint32_t> mTail{0};
};

union ClapEventSlot {
  clap_event_header_t header;
  clap_event_note_t note;
  clap_event_param_value_t param;
};

class ClapProbeHost : public ProbeHost {
 public:
  ClapProbeHost() {
    mHost.clap_version = CLAP_VERSION_INIT;
    mHost.host_data = this;
    mHost.name = "velmora-processing-probe";
    mHost.vendor = mHost.url = "";
    mHost.version = "1";
    mHost.get_extension = &ClapProbeHost::HostExtension;
    mHost.request_restart = mHost.request_process = [](const clap_host_t*) {};
    mHost.request_callback = [](const clap_host_t* host) { Of(host).mCallbackRequested = true; };
    mInEvents.ctx = this;
    mInEvents.size = [](const clap_input_events_t* list) { return static_cast<ClapProbeHost*>(list->ctx)->mEventCount; };
    mInEvents.get = [](const clap_input_events_t* list, std::uint32_t index) -> const clap_event_header_t* {
      auto* self = static_cast<ClapProbeHost*>(list->ctx);
      return index < self->mEventCount ? &self->mEvents[index].header : nullptr;
    };
    mOutEvents.try_push = [](const clap_output_events_t*, const clap_event_header_t* event) {
      const auto* midi = reinterpret_cast<const clap_event_midi_t*>(event);
      if (event && event->type == CLAP_EVENT_MIDI && (midi->data[0] & 0xF0) == 0x90 && midi->data[2] != 0)
        NoteOnsOut().fetch_add(1, std::memory_order_relaxed);
      return true;
    };
    mProcess.frames_count = kBlockFrames;
    mProcess.transport = &mTransport;
    mProcess.in_events = &mInEvents;
    mProcess.out_events = &mOutEvents;
  }
  const char* FormatName() const override { return "CLAP"; }

  bool Load(const std::string& path, std::string& error) override {
    if (!mModule.load(path)) {
      error = mModule.error();
      return false;
    }
    mEntry = static_cast<const clap_plugin_entry_t*>(mModule.symbol("clap_entry"));
    if (!mEntry || !clap_version_is_compatible(mEntry->clap_version) || !mEntry->init(path.c_str())) {
      mEntry = nullptr;
      error = "no usable clap_entry";
      return false;
    }
    const auto* factory = static_cast<const clap_plugin_factory_t*>(mEntry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    const clap_plugin_descriptor_t* descriptor =
        factory && factory->get_plugin_count(factory) > 0 ? factory->get_plugin_descriptor(factory, 0) : nullptr;
    mPlugin = descriptor ? factory->create_plugin(factory, &mHost, descriptor->id) : nullptr;
    if (!mPlugin || !mPlugin->init(mPlugin)) {
      error = "the factory made no plug-in";
      return false;
    }
    mParams = Extension<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    mGui = Extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    mState = Extension<clap_plugin_state_t>(CLAP_EXT_STATE);
    mTimerSupport = Extension<clap_plugin_timer_support_t>(CLAP_EXT_TIMER_SUPPORT);
    mFdSupport = Extension<clap_plugin_posix_fd_support_t>(CLAP_EXT_POSIX_FD_SUPPORT);
    return true;
  }
  bool LoadState(const std::vector<std::uint8_t>& chunk) override {
    struct Reader {
      const std::vector<std::uint8_t>* bytes;
      std::size_t at;
    } reader{&chunk, 0};
    const clap_istream_t stream{&reader, [](const clap_istream_t* in, void* buffer, std::uint64_t size) {
                                  auto& r = *static_cast<Reader*>(in->ctx);
                                  const std::size_t n = std::min<std::size_t>(size, r.bytes->size() - r.at);
                                  if (n > 0) std::memcpy(buffer, r.bytes->data() + r.at, n);
                                  r.at += n;
                                  return static_cast<std::int64_t>(n);
                                }};
    return mState && mState->load(mPlugin, &stream);
  }
  Param FindParameter(const std::string& name) override {
    const std::uint32_t count = mParams ? mParams->count(mPlugin) : 0;
    for (std::uint32_t i = 0; i < count; ++i) {
      clap_param_info_t info{};
      if (mParams->get_info(mPlugin, i, &info) && Folded(info.name) == Folded(name.c_str()))
        return Param{info.id, info.min_value, info.max_value};
    }
    return Param{};
  }
  void Activate() override { mActive = mPlugin->activate(mPlugin, kSampleRate, 1, kBlockFrames); }
  void Deactivate() override {
    if (mActive) mPlugin->deactivate(mPlugin);
    mActive = false;
  }
  void Close() override {
    CloseEditor();
    if (mPlugin) mPlugin->destroy(mPlugin);
    mPlugin = nullptr;
    if (mEntry) mEntry->deinit();
    mEntry = nullptr;
    mModule.unload();
  }
  void StartProcessing() override { mProcessing = mActive && mPlugin->start_processing(mPlugin); }
  void StopProcessing() override {
    if (mProcessing) mPlugin->stop_processing(mPlugin);
    mProcessing = false;
  }

  void Prepare(std::int64_t block, const HostNote* notes, int count) override {
    mEventCount = 0;
    ParamValue value{};
    while (mEventCount < kMaxEvents && mValues.Pop(value)) {
      clap_event_param_value_t& param = mEvents[mEventCount++].param;
      param = clap_event_param_value_t{};
      param.header = {sizeof param, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_PARAM_VALUE, 0};
      param.param_id = value.id;
      param.note_id = -1;
      param.port_index = param.channel = param.key = -1;
      param.value = value.value;
    }
    for (int i = 0; i < count && mEventCount < kMaxEvents; ++i) {
      clap_event_note_t& note = mEvents[mEventCount++].note;
      note = clap_event_note_t{};
      const auto type = static_cast<std::uint16_t>(notes[i].on ? CLAP_EVENT_NOTE_ON : CLAP_EVENT_NOTE_OFF);
      note.header = {sizeof note, static_cast<std::uint32_t>(notes[i].frame), CLAP_CORE_EVENT_SPACE_ID, type, 0};
      note.note_id = -1;
      note.key = notes[i].key;
      note.velocity = notes[i].on ? 0.8 : 0.0;
    }
    FillTransport(block);
    mProcess.steady_time = block * kBlockFrames;
  }
  void Run() override {
    if (mProcessing) mPlugin->process(mPlugin, &mProcess);
  }

  bool CreateEditor(int& width, int& height) override {
    if (!mGui || !mGui->create(mPlugin, CLAP_WINDOW_API_X11, false)) return false;
    mEditorUp = true;
    std::uint32_t w = 0, h = 0;
    if (!mGui->get_size(mPlugin, &w, &h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return w > 0 && h > 0;
  }
  bool AttachEditor(unsigned long parent) override {
    clap_window_t window{};
    window.api = CLAP_WINDOW_API_X11;
    window.x11 = parent;
    return mGui->set_parent(mPlugin, &window) && mGui->show(mPlugin);
  }
  void CloseEditor() override {
    if (!mEditorUp) return;
    mGui->hide(mPlugin);
    mGui->destroy(mPlugin);
    mEditorUp = false;
  }
  void Pump(Clock::time_point until) override {
    for (Clock::time_point now = Clock::now(); now < until; now = Clock::now()) {
      Clock::time_point wake = std::min(until, now + kIdlePeriod);
      for (const Timer& timer : mTimers) wake = std::min(wake, timer.due);
      WaitForDescriptors(wake);
      FireDueTimers();
      if (mCallbackRequested.exchange(false)) mPlugin->on_main_thread(mPlugin);
    }
  }
  void Automate(const Param& param, double fraction) override {
    if (param.Found()) mValues.Push({param.id, param.min + fraction * (param.max - param.min)});
  }

 private:
  struct Timer {
    clap_id id;
    milliseconds period;
    Clock::time_point due;
  };
  struct Descriptor {
    int fd;
    clap_posix_fd_flags_t flags;
  };

  template <typename T>
  const T* Extension(const char* id) const {
    return static_cast<const T*>(mPlugin->get_extension(mPlugin, id));
  }
  static ClapProbeHost& Of(const clap_host_t* host) { return *static_cast<ClapProbeHost*>(host->host_data); }

  static const void* CLAP_ABI HostExtension(const clap_host_t*, const char* id) {
    static const clap_host_thread_check_t kThreadCheck = {
        [](const clap_host_t*) { return std::this_thread::get_id() == MainThread(); },
        [](const clap_host_t*) { return OnProcessingThread(); }};
    static const clap_host_timer_support_t kTimers = {
        [](const clap_host_t* host, std::uint32_t period, clap_id* timer) {
          return Of(host).RegisterTimer(period, timer);
        },
        [](const clap_host_t* host, clap_id timer) { return Of(host).UnregisterTimer(timer); }};
    static const clap_host_posix_fd_support_t kFds = {
        [](const clap_host_t* host, int fd, clap_posix_fd_flags_t flags) { return Of(host).SetFd(fd, flags); },
        [](const clap_host_t* host, int fd, clap_posix_fd_flags_t flags) { return Of(host).SetFd(fd, flags); },
        [](const clap_host_t* host, int fd) { return Of(host).SetFd(fd, 0); }};
    static const clap_host_log_t kLog = {[](const clap_host_t*, clap_log_severity severity, const char* text) {
      if (severity >= CLAP_LOG_WARNING) std::fprintf(stderr, "  plug-in log: %s\n", text ? text : "");
    }};
    static const clap_host_params_t kParams = {[](const clap_host_t*, std::uint32_t) {},
                                               [](const clap_host_t*, clap_id, std::uint32_t) {},
                                               [](const clap_host_t*) {}};
    static const clap_host_state_t kState = {[](const clap_host_t*) {}};
    static const clap_host_note_name_t kNoteName = {[](const clap_host_t*) {}};
    static const std::pair<const char*, const void*> kAnswers[] = {
        {CLAP_EXT_THREAD_CHECK, &kThreadCheck}, {CLAP_EXT_TIMER_SUPPORT, &kTimers}, {CLAP_EXT_POSIX_FD_SUPPORT, &kFds},
        {CLAP_EXT_LOG, &kLog}, {CLAP_EXT_PARAMS, &kParams}, {CLAP_EXT_STATE, &kState},
        {CLAP_EXT_NOTE_NAME, &kNoteName}};
    for (const auto& [name, answer] : kAnswers) {
      if (id != nullptr && std::strcmp(id, name) == 0) return answer;
    }
    return nullptr;
  }
  bool RegisterTimer(std::uint32_t period, clap_id* id) {
    if (id == nullptr) return false;
    *id = mNextTimer++;
    const milliseconds step{std::max<std::uint32_t>(period, 1)};
    mTimers.push_back({*id, step, Clock::now() + step});
    return true;
  }
  bool UnregisterTimer(clap_id id) {
    const auto last = std::remove_if(mTimers.begin(), mTimers.end(), [&](const Timer& t) { return t.id == id; });
    const bool found = last != mTimers.end();
    mTimers.erase(last, mTimers.end());
    return found;
  }
  // Flags 0 forgets the descriptor.
  bool SetFd(int fd, clap_posix_fd_flags_t flags) {
    mFds.erase(std::remove_if(mFds.begin(), mFds.end(), [&](const Descriptor& d) { return d.fd == fd; }), mFds.end());
    if (flags != 0) mFds.push_back({fd, flags});
    return true;
  }
  void WaitForDescriptors(Clock::time_point wake) {
    std::array<pollfd, 8> polled{};
    nfds_t count = 0;
    for (const Descriptor& d : mFds) {
      const short events = (d.flags & CLAP_POSIX_FD_WRITE) ? POLLOUT : POLLIN;
      if (count < polled.size()) polled[count++] = {d.fd, events, 0};
    }
    const auto wait = std::chrono::ceil<milliseconds>(wake - Clock::now()).count();
    if (poll(polled.data(), count, static_cast<int>(std::max<decltype(wait)>(wait, 0))) <= 0) return;
    for (nfds_t i = 0; i < count; ++i) {
      const short r = polled[i].revents;
      if (r == 0 || !mFdSupport) continue;
      clap_posix_fd_flags_t flags = 0;
      if (r & POLLIN) flags |= CLAP_POSIX_FD_READ;
      if (r & POLLOUT) flags |= CLAP_POSIX_FD_WRITE;
      if (r & (POLLERR | POLLHUP)) flags |= CLAP_POSIX_FD_ERROR;
      mFdSupport->on_fd(mPlugin, polled[i].fd, flags);
    }
  }
  void FireDueTimers() {
    const Clock::time_point now = Clock::now();
    // on_timer may unregister timers: nothing of the entry is used after it.
    for (std::size_t i = 0; i < mTimers.size(); ++i) {
      Timer& timer = mTimers[i];
      if (timer.due > now || !mTimerSupport) continue;
      timer.due += timer.period;
      if (timer.due < now) timer.due = now + timer.period;
      mTimerSupport->on_timer(mPlugin, timer.id);
    }
  }
  void FillTransport(std::int64_t block) {
    const double seconds = static_cast<double>(block * kBlockFrames) / kSampleRate;
    const double beats = seconds * kTempo / 60.0;
    const double bar = std::floor(beats / 4.0);
    mTransport = clap_event_transport_t{};
    mTransport.header = {sizeof mTransport, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_TRANSPORT, 0};
    mTransport.flags = CLAP_TRANSPORT_HAS_TEMPO | CLAP_TRANSPORT_HAS_BEATS_TIMELINE |
                       CLAP_TRANSPORT_HAS_SECONDS_TIMELINE | CLAP_TRANSPORT_HAS_TIME_SIGNATURE |
                       CLAP_TRANSPORT_IS_PLAYING;
    mTransport.song_pos_beats = std::llround(beats * CLAP_BEATTIME_FACTOR);
    mTransport.song_pos_seconds = std::llround(seconds * CLAP_SECTIME_FACTOR);
    mTransport.tempo = kTempo;
    mTransport.bar_start = std::llround(bar * 4.0 * CLAP_BEATTIME_FACTOR);
    mTransport.bar_number = static_cast<std::int32_t>(bar);
    mTransport.tsig_num = mTransport.tsig_denom = 4;
  }

  velmora::host::PluginModule mModule;
  clap_host_t mHost{};
  const clap_plugin_entry_t* mEntry = nullptr;
  const clap_plugin_t* mPlugin = nullptr;
  const clap_plugin_params_t* mParams = nullptr;
  const clap_plugin_gui_t* mGui = nullptr;
  const clap_plugin_state_t* mState = nullptr;
  const clap_plugin_timer_support_t* mTimerSupport = nullptr;
  const clap_plugin_posix_fd_support_t* mFdSupport = nullptr;
  bool mActive = false;
  bool mEditorUp = false;
  ValueRing mValues;
  std::vector<Timer> mTimers;
  std::vector<Descriptor> mFds;
  clap_id mNextTimer = 1;
  std::atomic<bool> mCallbackRequested{false};
  // The processing thread's.
  bool mProcessing = false;
  std::array<ClapEventSlot, kMaxEvents> mEvents{};
  std::uint32_t mEventCount = 0;
  clap_input_events_t mInEvents{};
  clap_output_events_t mOutEvents{};
  clap_event_transport_t mTransport{};
  clap_process_t mProcess{};
};

// ---- the processing thread ----------------------------------------------------

struct Timing {
  std::int64_t nanos;
  Phase phase;
};

// The host's audio thread: one block per 128 frames of real time, each
// processing call timed and tagged with the GUI thread's current phase.
class ProcessingThread {
 public:
  ProcessingThread(ProbeHost& host, std::size_t capacity) : mHost(host) { mTimings.reserve(capacity); }
  ~ProcessingThread() { Stop(); }
  void Start() { mThread = std::thread([this] { Loop(); }); }
  void Stop() {
    mStop = true;
    if (mThread.joinable()) mThread.join();
  }
  void SetPhase(Phase phase) { mPhase.store(phase, std::memory_order_relaxed); }
  // Once stopped:
  const std::vector<Timing>& Timings() const { return mTimings; }
  bool Realtime() const { return mRealtime; }
  std::int64_t LateBlocks() const { return mLateBlocks; }
  std::int64_t Dropped() const { return mDropped; }
  std::int64_t NoteOns(Phase phase) const { return mNoteOns[phase]; }

 private:
  void Loop() {
    OnProcessingThread() = true;
    sched_param priority{};
    priority.sched_priority = kRealtimePriority;
    mRealtime = pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority) == 0;
    mHost.StartProcessing();
    std::array<HostNote, 2> notes{};
    timespec start{};
    clock_gettime(CLOCK_MONOTONIC, &start);
    std::int64_t origin = ToNanos(start);
    for (std::int64_t block = 0; !mStop.load(std::memory_order_relaxed); ++block) {
      SamplePosition().store(block * kBlockFrames, std::memory_order_relaxed);
      mHost.Prepare(block, notes.data(), NotesOfBlock(block, notes.data()));
      const Phase phase = mPhase.load(std::memory_order_relaxed);
      const std::int64_t noteOns = NoteOnsOut().load(std::memory_order_relaxed);
      const Clock::time_point begin = Clock::now();
      mHost.Run();
      const Clock::duration took = Clock::now() - begin;
      mNoteOns[phase] += NoteOnsOut().load(std::memory_order_relaxed) - noteOns;
      if (mTimings.size() < mTimings.capacity()) {
        mTimings.push_back({std::chrono::duration_cast<std::chrono::nanoseconds>(took).count(), phase});
      } else {
        ++mDropped;
      }
      SleepUntilBlock(origin, block + 1);
    }
    mHost.StopProcessing();
  }
  // A thread more than a block behind starts its schedule again from now.
  void SleepUntilBlock(std::int64_t& origin, std::int64_t block) {
    const std::int64_t deadline = origin + FramesToNanos(block * kBlockFrames);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (ToNanos(now) > deadline + FramesToNanos(kBlockFrames)) {
      origin += ToNanos(now) - deadline;
      ++mLateBlocks;
      return;
    }
    const timespec at{static_cast<time_t>(deadline / 1000000000), static_cast<long>(deadline % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
    }
  }

  ProbeHost& mHost;
  std::thread mThread;
  std::atomic<bool> mStop{false};
  std::atomic<Phase> mPhase{kSetup};
  std::vector<Timing> mTimings;
  bool mRealtime = false;
  std::int64_t mLateBlocks = 0;
  std::int64_t mDropped = 0;
  std::array<std::int64_t, kPhaseCount> mNoteOns{};
};

// ---- the GUI thread -----------------------------------------------------------

// An Xvfb of the probe's own, on the display number it picks; DISPLAY points
// at it so that the editor joins it.
class XServer {
 public:
  ~XServer() {
    if (mDisplay) XCloseDisplay(mDisplay);
    if (mPid > 0) {
      kill(mPid, SIGTERM);
      waitpid(mPid, nullptr, 0);
    }
  }
  bool Start(std::string& error) {
    int fds[2];
    if (pipe(fds) != 0) {
      error = "no pipe";
      return false;
    }
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    const std::string fd = std::to_string(fds[1]);
    const char* args[] = {"Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2048x1024x24", "-nolisten", "tcp",
                          "-terminate", nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int failed = posix_spawnp(&mPid, args[0], &actions, nullptr, const_cast<char* const*>(args), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string number;
    pollfd in{fds[0], POLLIN, 0};
    char c = 0;
    while (failed == 0 && poll(&in, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (failed != 0) mPid = -1;
    if (number.empty()) {
      error = "Xvfb did not start (install xvfb)";
      return false;
    }
    const std::string name = ":" + number;
    setenv("DISPLAY", name.c_str(), 1);
    mDisplay = XOpenDisplay(name.c_str());
    if (!mDisplay) error = "cannot connect to Xvfb on " + name;
    return mDisplay != nullptr;
  }
  Display* Connection() const { return mDisplay; }

 private:
  pid_t mPid = -1;
  Display* mDisplay = nullptr;
};

// The host's window that holds the editor, and XTest input to the editor.
class EditorFrame {
 public:
  EditorFrame(Display* display, int width, int height) : mDisplay(display) {
    const int screen = DefaultScreen(display);
    mWindow = XCreateSimpleWindow(display, RootWindow(display, screen), kFrameX, kFrameY, unsigned(width),
                                  unsigned(height), 0, BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, mWindow, "velmora-processing-probe");
    XMapRaised(display, mWindow);
    XSync(display, False);
  }
  ~EditorFrame() {
    XDestroyWindow(mDisplay, mWindow);
    XSync(mDisplay, False);
  }
  unsigned long Id() const { return mWindow; }
  // Input sent before the plug-in's window is viewable would land on ours.
  bool WaitForEditor(ProbeHost& host) {
    const Clock::time_point until = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < until) {
      if (EditorViewable()) return true;
      host.Pump(Clock::now() + milliseconds(10));
    }
    return false;
  }
  void MoveTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(mDisplay, mWindow, DefaultRootWindow(mDisplay), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(mDisplay, -1, rootX, rootY, CurrentTime);
    XFlush(mDisplay);
  }
  void Button(unsigned button, bool down) {
    XTestFakeButtonEvent(mDisplay, button, down ? True : False, CurrentTime);
    XFlush(mDisplay);
  }

 private:
  bool EditorViewable() const {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(mDisplay, mWindow, &root, &parent, &children, &count)) return false;
    const Window editor = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    XWindowAttributes attributes{};
    return editor && XGetWindowAttributes(mDisplay, editor, &attributes) && attributes.map_state == IsViewable;
  }

  Display* mDisplay;
  Window mWindow = 0;
};

std::unique_ptr<EditorFrame> OpenEditor(ProbeHost& host, Display* display) {
  int width = 0, height = 0;
  std::unique_ptr<EditorFrame> frame;
  if (host.CreateEditor(width, height)) frame = std::make_unique<EditorFrame>(display, width, height);
  if (frame && host.AttachEditor(frame->Id())) return frame;
  host.CloseEditor();
  return nullptr;
}

// The open/close cycles spread over the phase: open, ~150 ms of idle, close.
bool RunOpenClose(ProbeHost& host, Display* display, Clock::duration length) {
  const Clock::time_point start = Clock::now();
  for (int cycle = 0; cycle < kOpenCloseCycles; ++cycle) {
    std::unique_ptr<EditorFrame> frame = OpenEditor(host, display);
    if (!frame) return false;
    host.Pump(Clock::now() + kOpenCloseIdle);
    host.CloseEditor();
    frame.reset();
    host.Pump(start + length * (cycle + 1) / kOpenCloseCycles);
  }
  return true;
}

void Scroll(EditorFrame& frame, unsigned button, int notches) {
  frame.MoveTo(kListX, kListMiddleY);
  for (int i = 0; i < notches; ++i) {
    frame.Button(button, true);
    frame.Button(button, false);
  }
}

// Down two notches, up one, a row pressed: the list moves on page by page.
void Gesture(ProbeHost& host, EditorFrame& frame, int gesture) {
  switch (gesture % 3) {
    case 0: Scroll(frame, 5, 2); break;
    case 1: Scroll(frame, 4, 1); break;
    default:
      frame.MoveTo(kListX, kRowTop + kRowHeight * (gesture * 7 % kRowCount) + kRowHeight / 2);
      frame.Button(1, true);
      host.Pump(Clock::now() + kClickHold);
      frame.Button(1, false);
  }
}

void RunAtWork(ProbeHost& host, EditorFrame& frame, const ProbeHost::Param& automated, Clock::duration length) {
  const Clock::time_point end = Clock::now() + length;
  Clock::time_point nextValue = Clock::now(), nextGesture = nextValue + kGesturePeriod;
  for (int value = 0, gesture = 0; Clock::now() < end;) {
    if (Clock::now() >= nextValue) {
      host.Automate(automated, (value++ % 5) / 4.0);
      nextValue += kAutomationPeriod;
    }
    if (Clock::now() >= nextGesture) {
      Gesture(host, frame, gesture++);
      nextGesture = Clock::now() + kGesturePeriod;
    }
    host.Pump(std::min({nextValue, nextGesture, end}));
  }
}

// False when the editor would not open: the later phases are then missing.
bool RunPhases(ProbeHost& host, Display* display, ProcessingThread& processing, Clock::duration length) {
  const ProbeHost::Param automated = host.FindParameter(kAutomatedName);
  if (!automated.Found()) std::fprintf(stderr, "no parameter \"%s\": nothing automated\n", kAutomatedName);
  const ProbeHost::Param randomize = host.FindParameter(kRandomizeName);
  host.Automate(randomize, 1.0);
  host.Pump(Clock::now() + milliseconds(50));
  host.Automate(randomize, 0.0);
  processing.SetPhase(kNoEditor);
  host.Pump(Clock::now() + length);
  processing.SetPhase(kOpenClose);
  const bool cycled = RunOpenClose(host, display, length);
  processing.SetPhase(kSetup);
  std::unique_ptr<EditorFrame> frame = cycled ? OpenEditor(host, display) : nullptr;
  if (!frame || !frame->WaitForEditor(host)) {
    host.CloseEditor();
    return false;
  }
  processing.SetPhase(kAtWork);
  RunAtWork(host, *frame, automated, length);
  processing.SetPhase(kSetup);
  host.CloseEditor();
  return true;
}

// ---- the report ---------------------------------------------------------------

std::string Readable(double nanos) {
  char text[32];
  if (nanos < 1e3) {
    std::snprintf(text, sizeof text, "%.0f ns", nanos);
  } else if (nanos < 1e6) {
    std::snprintf(text, sizeof text, "%.1f us", nanos / 1e3);
  } else {
    std::snprintf(text, sizeof text, "%.2f ms", nanos / 1e6);
  }
  return text;
}

// Nearest rank of a sorted, non-empty list.
double Percentile(const std::vector<std::int64_t>& sorted, double fraction) {
  const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(sorted.size())));
  return static_cast<double>(sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1]);
}

void PrintReport(const ProbeHost& host, const std::string& path, const ProcessingThread& processing) {
  std::printf("\n%s  %s\n", host.FormatName(), path.c_str());
  std::printf("processing thread: %s; blocks of %d frames at %lld Hz\n",
              processing.Realtime() ? "SCHED_FIFO" : "normal scheduling (no real-time priority)", kBlockFrames,
              static_cast<long long>(kSampleRateHz));
  std::printf("  %-16s %7s %10s %10s %10s %7s %10s\n", "phase", "calls", "p50", "p99.9", "worst", ">1 ms",
              "note-ons");
  std::size_t calls = 0, overMs = 0;
  std::int64_t worst = 0;
  int worstPhase = kNoEditor;
  for (int phase = kNoEditor; phase < kPhaseCount; ++phase) {
    std::vector<std::int64_t> nanos;
    for (const Timing& t : processing.Timings()) {
      if (t.phase == phase) nanos.push_back(t.nanos);
    }
    std::sort(nanos.begin(), nanos.end());
    const auto over = static_cast<std::size_t>(nanos.end() - std::upper_bound(nanos.begin(), nanos.end(), 1000000));
    calls += nanos.size();
    overMs += over;
    if (!nanos.empty() && nanos.back() > worst) {
      worst = nanos.back();
      worstPhase = phase;
    }
    if (nanos.empty()) {
      std::printf("  %-16s %7d %10s %10s %10s %7s %10s\n", kPhaseNames[phase], 0, "-", "-", "-", "-", "-");
      continue;
    }
    std::printf("  %-16s %7zu %10s %10s %10s %7zu %10lld\n", kPhaseNames[phase], nanos.size(),
                Readable(Percentile(nanos, 0.5)).c_str(), Readable(Percentile(nanos, 0.999)).c_str(),
                Readable(static_cast<double>(nanos.back())).c_str(), over,
                static_cast<long long>(processing.NoteOns(static_cast<Phase>(phase))));
  }
  std::printf("%s summary: %zu calls, worst %s (%s), %zu over 1 ms, %lld late blocks%s\n", host.FormatName(), calls,
              Readable(static_cast<double>(worst)).c_str(), kPhaseNames[worstPhase], overMs,
              static_cast<long long>(processing.LateBlocks()),
              processing.Dropped() > 0 ? ", some timings dropped (storage full)" : "");
}

// ---- main ---------------------------------------------------------------------

struct Options {
  double seconds = 3.0;
  std::string statePath = VELMORA_DEMO_STATE;
  std::vector<std::string> modules;
};

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      char* end = nullptr;
      options.seconds = std::strtod(argv[++i], &end);
      if (*end != '\0' || !(options.seconds > 0.0 && options.seconds <= 3600.0)) return false;
    } else if (arg == "--state" && i + 1 < argc) {
      options.statePath = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      options.modules.push_back(arg);
    }
  }
  return true;
}

// The build tree's module beside this program's folder, else where it was built.
std::string DefaultModule(const char* built) {
  std::error_code ignored;
  const fs::path self = fs::read_symlink("/proc/self/exe", ignored);
  const fs::path near = (self.parent_path() / "../../core/module" / fs::path(built).filename()).lexically_normal();
  return !self.empty() && fs::exists(near, ignored) ? near.string() : built;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool ProbeModule(ProbeHost& host, const std::string& path, const Options& options, Display* display,
                 const std::vector<std::uint8_t>& state) {
  std::string error;
  if (!host.Load(path, error)) {
    std::fprintf(stderr, "%s: cannot load %s: %s\n", host.FormatName(), path.c_str(), error.c_str());
    host.Close();
    return false;
  }
  if (!state.empty() && !host.LoadState(state)) std::fprintf(stderr, "%s: the state was refused\n", host.FormatName());
  host.Activate();
  const auto length = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.seconds));
  const double blocksPerSecond = static_cast<double>(kSampleRateHz) / kBlockFrames;
  ProcessingThread processing(host, static_cast<std::size_t>((3 * options.seconds + 60.0) * blocksPerSecond));
  processing.Start();
  const bool complete = RunPhases(host, display, processing, length);
  processing.Stop();
  host.Deactivate();
  host.Close();
  if (!complete) std::fprintf(stderr, "%s: the editor did not open: phases are missing\n", host.FormatName());
  PrintReport(host, path, processing);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  MainThread();
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: velmora-processing-probe [--seconds N] [--state FILE] [path/to/Velmora.so] "
                 "[path/to/Velmora.clap]\n");
    return 2;
  }
  if (options.modules.empty()) options.modules = {DefaultModule(VELMORA_MODULE), DefaultModule(VELMORA_CLAP_MODULE)};
  UsePrivateDataFolder("velmora-processing-probe");
  const std::vector<std::uint8_t> state = ReadFile(options.statePath);
  if (state.empty()) std::fprintf(stderr, "no state in %s: the chord list stays empty\n", options.statePath.c_str());

  XServer server;
  std::string error;
  if (!server.Start(error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  int event = 0, firstError = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(server.Connection(), &event, &firstError, &major, &minor)) {
    std::fprintf(stderr, "the X server has no XTest\n");
    return 1;
  }
  // Our connection's errors (a window the editor already took down) end nothing.
  XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });

  bool loaded = true;
  for (const std::string& path : options.modules) {
    std::unique_ptr<ProbeHost> host;
    if (fs::path(path).extension() == ".clap") {
      host = std::make_unique<ClapProbeHost>();
    } else {
      host = std::make_unique<VstProbeHost>();
    }
    loaded = ProbeModule(*host, path, options, server.Connection(), state) && loaded;
  }
  return loaded ? 0 : 1;
}
