#pragma once

#include "framework/plugin/clap/ClapAbi.h"
#include "tools/vsthost/PluginHost.h"
#include "tools/vsthost/PluginModule.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::host {

// One event the plug-in pushed to an output list, as it was pushed.
struct ClapOutEvent {
  std::int64_t block = -1;  // -1: pushed during a flush
  std::vector<std::uint8_t> bytes;
  const clap_event_header_t& header() const { return *reinterpret_cast<const clap_event_header_t*>(bytes.data()); }
};

// A minimal CLAP host for the first plug-in of one module: loads it through
// clap_entry, drives the plug-in record and its extensions, and answers the
// plug-in's calls with a transport, timers and descriptors of its own, all
// recorded for tests. The thread that loads is the main thread and also the
// audio thread; the plug-in may call the host's thread-safe functions from
// others, which only the counters and capture lists are guarded against.
class ClapHost : public PluginHost {
public:
  static constexpr std::int32_t kMaxBlockSize = 1 << 16;
  // Streams move at most this many bytes per call, as some hosts do.
  static constexpr std::uint64_t kStreamPiece = 7;

  struct Timer {
    clap_id id;
    std::uint32_t periodMs;
  };

  ClapHost();
  ~ClapHost() override;
  ClapHost(const ClapHost&) = delete;
  ClapHost& operator=(const ClapHost&) = delete;

  // Loads the module (entry init, factory, the first descriptor) and creates
  // and initialises its plug-in.
  bool load(const std::string& path) override;
  // Destroys the plug-in as it is (editor up or active included), deinit,
  // unload.
  void close() override;
  bool isLoaded() const override { return plugin_ != nullptr; }
  const std::string& error() const override { return error_; }
  const clap_plugin_entry_t* entry() const { return entry_; }
  const clap_plugin_factory_t* factory() const { return factory_; }
  const clap_plugin_t* plugin() const { return plugin_; }
  const clap_host_t* hostRecord() const { return &host_; }
  template <typename T>
  const T* extension(const char* id) const {
    return plugin_ ? static_cast<const T*>(plugin_->get_extension(plugin_, id)) : nullptr;
  }

  void open() override {}
  void setSampleRate(double rate) override;
  bool setBlockSize(std::int32_t frames) override;
  // activate + start_processing; suspend stops and deactivates.
  void resume() override;
  void suspend() override;
  bool isActive() const { return active_; }
  std::int32_t blockSize() const override { return blockSize_; }
  double sampleRate() const { return sampleRate_; }

  void setTempo(double beatsPerMinute) override { tempo_ = beatsPerMinute; }
  void setTransportPlaying(bool playing) override { playing_ = playing; }
  void setOffline(bool) override {}
  // No transport at all, as a free-running host.
  void setTransportAbsent(bool absent) { transportAbsent_ = absent; }

  bool queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  bool queueNote(std::int32_t deltaFrames, bool on, std::int16_t key, double velocity);
  // A CLAP note event of any type with its whole tuple (-1: any).
  bool queueNoteEvent(std::int32_t deltaFrames, std::uint16_t type, std::int16_t channel, std::int16_t key,
                      std::int32_t noteId, double velocity);
  bool queueParamValue(std::int32_t deltaFrames, clap_id id, double value);
  bool process(std::int32_t blocks = 1) override;
  std::int64_t blocksProcessed() const override { return blocksProcessed_; }
  float outputPeak() const override { return 0.0f; }
  // params.flush with the queued parameter values, outside processing.
  void flush();

  std::vector<ClapOutEvent> outEvents() const;
  std::vector<ClapOutEvent> takeOutEvents();
  // Whether every list the plug-in pushed to was in time order.
  bool outputsInOrder() const { return outputsInOrder_; }
  std::vector<CapturedMidi> capturedMidi() const override;
  std::vector<CapturedMidi> takeCapturedMidi() override;
  std::vector<AutomationRecord> automation() const override;
  std::vector<AutomationRecord> takeAutomation() override;

  std::int32_t parameterCount() const override;
  bool parameterInfo(std::int32_t index, clap_param_info_t& info) const;
  double plainValue(std::int32_t index) const;
  float parameter(std::int32_t index) const override;
  // Through params.flush at once: the value reaches the plug-in as a host's
  // automation would.
  bool setParameter(std::int32_t index, float value) override;
  std::string parameterName(std::int32_t index) override;
  std::string parameterDisplay(std::int32_t index) override;
  std::string parameterLabel(std::int32_t) override { return std::string(); }
  std::int32_t findParameter(const std::string& name) override;
  std::string valueText(clap_id id, double value);

  // 1 when the plug-in offers the extension of that id.
  std::intptr_t canDo(const std::string& capability) override;
  // The state, through streams that move a few bytes per call. A bank is
  // not a CLAP notion: only the program kind works.
  bool getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) override;
  bool setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) override;
  void describe(std::ostream& out) override;
  std::vector<std::pair<int, std::string>> noteNames() const;

  // The editor: gui create, set_parent with an X window id or HWND, destroy.
  bool createEditor();
  bool setEditorParent(std::uintptr_t window);
  void destroyEditor();
  // What the plug-in registered, and the calls that drive it.
  std::vector<Timer> timers() const;
  std::vector<int> descriptors() const;
  void fireTimers();
  void fireDescriptor(int fd);
  // request_callback was asked: call on_main_thread.
  void runMainThreadCallbacks();

  // The host answers null for these extensions from now on (a host without
  // them); set before load() to take effect at init.
  void withhold(const std::string& extensionId) { withheld_.push_back(extensionId); }
  // The transport counts in before the song (CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL).
  void setPreRoll(bool preRoll) { preRoll_ = preRoll; }

  // What the plug-in asked of the host, counted.
  int processRequests() const { return processRequests_; }
  int flushRequests() const { return flushRequests_; }
  int dirtyMarks() const { return dirtyMarks_; }
  int noteNameChanges() const { return noteNameChanges_; }
  int valueRescans() const { return valueRescans_; }
  std::vector<std::string> logLines() const;

  // The host's answers to the plug-in (the static callbacks forward here).
  const void* hostExtension(const char* id);
  void requestFlush() { ++flushRequests_; }
  void markDirty() { ++dirtyMarks_; }
  void noteNamesChanged() { ++noteNameChanges_; }
  void rescan(std::uint32_t flags);
  void requestCallback() { callbackRequested_ = true; }
  void requestProcess() { ++processRequests_; }
  void log(clap_log_severity severity, const char* text);
  bool registerTimer(std::uint32_t periodMs, clap_id* id);
  bool unregisterTimer(clap_id id);
  bool registerDescriptor(int fd);
  bool unregisterDescriptor(int fd);
  void push(const clap_event_header_t& event);
  bool inAudioCall() const { return inProcess_; }

private:
  struct Queued {
    std::int32_t time;
    std::vector<std::uint8_t> bytes;
  };

  bool fail(const std::string& message);
  void runBlock();
  void fillTransport(clap_event_transport_t& transport) const;
  void deliver(const std::vector<const clap_event_header_t*>& events, bool processing);

  PluginModule module_;
  const clap_plugin_entry_t* entry_ = nullptr;
  const clap_plugin_factory_t* factory_ = nullptr;
  const clap_plugin_t* plugin_ = nullptr;
  const clap_plugin_params_t* params_ = nullptr;
  clap_host_t host_{};
  std::string error_;

  double sampleRate_ = 44100.0;
  std::int32_t blockSize_ = 512;
  bool active_ = false;
  double tempo_ = 120.0;
  bool playing_ = false;
  bool transportAbsent_ = false;
  bool preRoll_ = false;
  std::vector<std::string> withheld_;
  double beats_ = 0.0;
  std::int64_t blocksProcessed_ = 0;
  std::atomic<bool> inProcess_{false};  // in process(), or in flush() while active
  bool flushing_ = false;

  std::vector<Queued> pending_;
  std::vector<Queued> pendingParams_;

  mutable std::mutex mutex_;
  std::vector<ClapOutEvent> out_;
  std::vector<CapturedMidi> captured_;
  std::vector<AutomationRecord> automation_;
  std::vector<std::string> log_;
  std::uint32_t lastPushedTime_ = 0;
  bool outputsInOrder_ = true;

  std::vector<Timer> timers_;
  std::vector<int> descriptors_;
  clap_id nextTimer_ = 1;
  std::atomic<bool> callbackRequested_{false};
  std::atomic<int> flushRequests_{0};
  std::atomic<int> processRequests_{0};
  std::atomic<int> dirtyMarks_{0};
  std::atomic<int> noteNameChanges_{0};
  std::atomic<int> valueRescans_{0};
};

}  // namespace velmora::host
