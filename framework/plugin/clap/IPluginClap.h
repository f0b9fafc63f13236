#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/PluginFactory.h"
#include "framework/plugin/clap/ClapAbi.h"
#include "framework/plugin/clap/ParamEditQueue.h"

namespace velmora {

// A plug-in as a CLAP plug-in: the adapter owns the plug-in, publishes one
// plug-in record whose plugin_data points back here, answers the host's
// calls and extension entries, and is the plug-in's PluginHost over the
// extensions the host offers (each may be missing; the plug-in then carries
// on without it).
//
// Parameter ids are the parameter indices; the values the host sees are the
// parameters' real values, not normalised ones. The saved state is the
// program chunk, the same bytes the VST 2.4 adapter hands its hosts.
//
// Threads, in the host's terms:
// - [main] init, destroy, activate, deactivate, on_main_thread and every
//   extension entry but the ones below. The editor lives on this thread
//   too: gui entries, on_timer and on_fd, which run the editor's pump
//   (OnIdle) without the plug-in lock.
// - [audio] start_processing, stop_processing, reset, process, and
//   params.flush while active: none waits for the plug-in lock (a process
//   or flush that cannot have it at once keeps its events for the next
//   block), allocates anything or calls a host function tagged [main].
// - [any] get_extension, LogMessage.
// - [editor, under the plug-in lock] BeginParamEdit, AutomateParam and
//   EndParamEdit put the edit in a fixed queue that the next process() or
//   flush hands to the host; when not processing they ask for a flush.
class IPluginClap : public PluginHost {
 public:
  // How often the editor's pump runs from the host's timer.
  static constexpr uint32_t kEditorTimerMs = 40;
  // Hosts that announce absurd block sizes do not make us allocate without
  // bound; a longer block still works, the scratch grows to it.
  static constexpr uint32_t kMaxAnnouncedBlockSize = 1 << 20;
  // Longer saved states than this are not believed.
  static constexpr int64_t kMaxStateBytes = 64 << 20;

  // Makes the plug-in with make (without calling the host); throws what
  // make throws.
  IPluginClap(const clap_host_t* host, const PluginFactory& make);
  ~IPluginClap() override;

  // The record handed to the host, and the adapter behind one (null when
  // there is none).
  const clap_plugin_t* ClapPlugin() const { return &mClapPlugin; }
  static IPluginClap* FromPlugin(const clap_plugin_t* plugin);
  IPluginBase& Plugin() const { return *mPlugin; }
  // [main] Set by the module's factory before the host sees the record.
  void SetDescriptor(const clap_plugin_descriptor_t* descriptor) { mClapPlugin.desc = descriptor; }

  // The plug-in's host operations.
  void BeginParamEdit(int index) override;
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void ReadHostTime(TimeInfo* timeInfo) override;
  bool SendMidi(const MidiMessage& message) override;
  bool SendSysExMessage(const SysExMessage& message) override;
  void RequestProcessing() override;
  // [main] The editor's new size at a new scale: the host is asked for it.
  void EditorResized(int width, int height) override;

  // [any] A message for the host's log; false when it keeps none.
  bool LogMessage(const char* line) const override;
  // [any] The same, at a severity; standard error when the host keeps none.
  void Log(clap_log_severity severity, const char* text) const;

  const clap_host_t* ClapHost() const { return mHost; }
  bool IsActive() const { return mActive; }
  bool IsProcessing() const { return mProcessing.load(std::memory_order_acquire); }

 private:
  friend struct ClapPluginEntries;
  friend struct ClapParamEntries;
  friend struct ClapStateEntries;
  friend struct ClapNoteEntries;
  friend struct ClapGuiEntries;

  // A host extension, or null.
  template <typename T>
  const T* HostExtension(const char* id) const {
    return mHost && mHost->get_extension ? static_cast<const T*>(mHost->get_extension(mHost, id)) : nullptr;
  }
  bool OnMainThread() const;

  // Lifecycle and processing (IPluginClap.cpp, ClapProcess.cpp).
  bool Init();
  bool Activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void Deactivate();
  void Reset();
  clap_process_status Process(const clap_process_t& process);
  void RunSlice(uint32_t start, uint32_t frames);
  void HandleEvent(const clap_event_header_t& event);
  void HandleNote(const clap_event_note_t& note, bool on);
  static bool NoteToMidi(const clap_event_note_t& note, bool on, MidiMessage* message);
  static size_t NoteSlot(int channel, int key);
  void KeepEvents(const clap_input_events_t* in);
  static bool ToKeptEvent(const clap_event_header_t& event, HostEventRing::Event* kept);
  void PlayKeptEvents();
  void SetTransport(const clap_event_transport_t* transport);
  void PushEdits(const clap_output_events_t* out);
  bool PushEvent(const clap_event_header_t& event);
  void RequestFlush();

  // Parameters (ClapParams.cpp).
  bool ParamInfo(uint32_t index, clap_param_info_t* info) const;
  bool ParamText(clap_id id, double value, char* buffer, uint32_t capacity) const;
  bool ParamFromText(clap_id id, const char* text, double* value) const;
  void ApplyHostValue(clap_id id, double value);
  void Flush(const clap_input_events_t* in, const clap_output_events_t* out);

  // State (ClapState.cpp).
  bool SaveToStream(const clap_ostream_t* stream);
  bool LoadFromStream(const clap_istream_t* stream);
  // [main] After editor activity: tells the host when the saved state or
  // the note names changed.
  void CheckForChanges(bool stateToo);
  std::string NoteNames();

  // Editor (ClapGui.cpp).
  bool CreateGui(const char* api, bool floating);
  void DestroyGui();
  bool SetParent(const clap_window_t* window);
  bool StartEditorPump();
  void StopEditorPump();
  void ForgetWindowDescriptor();
  void PumpEditor();

  clap_plugin_t mClapPlugin{};
  const clap_host_t* mHost = nullptr;
  const clap_host_params_t* mHostParams = nullptr;
  const clap_host_state_t* mHostState = nullptr;
  std::atomic<const clap_host_log_t*> mHostLog{nullptr};
  const clap_host_thread_check_t* mHostThreadCheck = nullptr;
  const clap_host_note_name_t* mHostNoteName = nullptr;
  const clap_host_timer_support_t* mHostTimer = nullptr;
  const clap_host_posix_fd_support_t* mHostFd = nullptr;
  const clap_host_gui_t* mHostGui = nullptr;

  bool mActive = false;
  std::atomic<bool> mProcessing{false};

  // The block being processed: its output list, where the current slice
  // starts, and the latest time pushed so far (outputs go in time order).
  const clap_output_events_t* mOut = nullptr;
  uint32_t mBlockFrames = 0;
  uint32_t mSliceStart = 0;
  uint32_t mLastOutTime = 0;
  // The host's transport at sample mTransportTime of the block, if any.
  clap_event_transport_t mTransport{};
  bool mHasTransport = false;
  uint32_t mTransportTime = 0;

  ParamEditQueue mEdits;
  // Set by the audio thread when a host value changed what may be named.
  std::atomic<bool> mHostChangedValues{false};
  bool mValuesChangedInBlock = false;  // [audio]
  bool mResetPending = false;          // [audio] a reset that found the lock busy
  // [audio, lock held] The note id each channel's key was last struck with.
  std::array<int32_t, 16 * 128> mNoteIds;

  // The editor's window and its pump.
  bool mGuiCreated = false;
  bool mTimerRegistered = false;
  clap_id mTimerId = CLAP_INVALID_ID;
  int mFd = -1;       // the window's events
  int mTimerFd = -1;  // our own timer, for a host without one
  uint32_t mLastSeenEdits = 0;  // [main] the state edits the host was last told about
  std::string mLastNoteNames;  // [main]
  std::unique_ptr<IPluginBase> mPlugin;
};

}  // namespace velmora
