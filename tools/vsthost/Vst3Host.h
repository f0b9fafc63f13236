#pragma once

#include "framework/plugin/vst3/Vst3Abi.h"
#include "tools/vsthost/PluginHost.h"
#include "tools/vsthost/PluginModule.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace velmora::host {

namespace vst3 = velmora::vst3;

// One event the plug-in added to the output list.
struct Vst3OutEvent {
  std::int64_t block = -1;
  vst3::Event event{};
};

// One call of the controller on the host's component handler.
struct Vst3Edit {
  enum class Kind { Begin, Perform, End };
  Kind kind = Kind::Perform;
  vst3::ParamID id = 0;
  double value = 0.0;  // Perform only
  bool onMainThread = true;
};

// A timer or descriptor the plug-in registered with the host's run loop.
struct Vst3LoopEntry {
  vst3::FUnknown* handler = nullptr;
  std::uint64_t milliseconds = 0;  // timers
  int fd = -1;                     // descriptors
};

class Vst3HostParts;

// A small VST 3 host for the first processor class of one module: loads the
// bundle (ModuleEntry, the factory), creates the processor and its
// controller, connects them through proxies that pass messages only on the
// loading thread (as the reference host does), and drives them the way
// hosts do: setup, activation, process blocks with events, parameter changes
// and a process context, state through streams that move a few bytes a
// call, the editor in a frame whose run loop the test drives. Everything
// the plug-in does to the host is recorded for tests. The loading thread is
// the UI thread and, unless a test says otherwise, the audio thread too.
class Vst3Host : public PluginHost {
public:
  static constexpr std::int32_t kMaxBlockSize = 1 << 16;
  static constexpr std::int32_t kStreamPiece = 7;
  // What the host's lists hold at most; made before any processing.
  static constexpr std::int32_t kMaxEvents = 4096;
  static constexpr std::int32_t kMaxQueues = 64;
  static constexpr std::int32_t kMaxPoints = 256;

  Vst3Host();
  ~Vst3Host() override;
  Vst3Host(const Vst3Host&) = delete;
  Vst3Host& operator=(const Vst3Host&) = delete;

  // A bundle folder (Name.vst3), or the binary inside one.
  bool load(const std::string& path) override;
  void close() override;
  bool isLoaded() const override { return component_ != nullptr; }
  const std::string& error() const override { return error_; }

  void open() override {}
  void setSampleRate(double rate) override;
  bool setBlockSize(std::int32_t frames) override;
  // setupProcessing, setActive(true), setProcessing(true); suspend undoes it.
  void resume() override;
  void suspend() override;
  bool isActive() const { return active_; }
  std::int32_t blockSize() const override { return blockSize_; }

  void setTempo(double beatsPerMinute) override { tempo_ = beatsPerMinute; }
  void setTransportPlaying(bool playing) override { playing_ = playing; }
  void setOffline(bool) override {}
  // No process context at all.
  void setContextAbsent(bool absent) { contextAbsent_ = absent; }
  // The song position of the next block, in samples (a count-in is below 0).
  void setSongPosition(std::int64_t samples);

  // Notes become note events; other MIDI has no event in VST 3: false.
  bool queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  bool queueNote(std::int32_t offset, bool on, std::int16_t pitch, float velocity, std::int16_t channel = 0);
  bool queueParamChange(std::int32_t offset, vst3::ParamID id, double normalized);
  bool process(std::int32_t blocks = 1) override;
  // A block of numSamples 0 carrying the queued parameter changes.
  bool flush();
  std::int64_t blocksProcessed() const override { return blocksProcessed_; }
  float outputPeak() const override { return peak_; }
  // Whether every block's output had its silence flags set.
  bool silenceFlagged() const { return silenceFlagged_; }

  std::vector<Vst3OutEvent> outEvents() const;
  std::vector<Vst3OutEvent> takeOutEvents();
  bool outputsInOrder() const { return outputsInOrder_; }
  std::vector<CapturedMidi> capturedMidi() const override;
  std::vector<CapturedMidi> takeCapturedMidi() override;
  std::vector<AutomationRecord> automation() const override;
  std::vector<AutomationRecord> takeAutomation() override;
  std::vector<Vst3Edit> edits() const;
  std::vector<Vst3Edit> takeEdits();

  std::int32_t parameterCount() const override;
  bool parameterInfo(std::int32_t index, vst3::ParameterInfo& info) const;
  float parameter(std::int32_t index) const override;
  // The controller hears it, and the processor at once in a flush (or with
  // the next block while inactive), as a host's generic editor does it.
  bool setParameter(std::int32_t index, float value) override;
  std::string parameterName(std::int32_t index) override;
  std::string parameterDisplay(std::int32_t index) override;
  std::string parameterLabel(std::int32_t index) override;
  std::int32_t findParameter(const std::string& name) override;
  std::string valueText(vst3::ParamID id, double normalized);

  // 1 when the processor or the controller answers the interface of that
  // name (IUnitInfo, IConnectionPoint, ...).
  std::intptr_t canDo(const std::string& capability) override;
  // The processor's state, handed to the controller as hosts do. Only the
  // program kind: VST 3 has no bank.
  bool getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) override;
  bool setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) override;
  bool getControllerState(std::vector<std::uint8_t>& data);
  bool setControllerState(const std::vector<std::uint8_t>& data);
  void describe(std::ostream& out) override;

  // The editor in the host's window (an X window id or an HWND).
  bool openEditor(std::uintptr_t parent);
  void closeEditor();
  vst3::IPlugView* view() const { return view_; }
  std::vector<Vst3LoopEntry> timers() const;
  std::vector<Vst3LoopEntry> descriptors() const;
  void fireTimers();
  void fireDescriptor(int fd);
  // The frame answers no run loop (set before openEditor).
  void withholdRunLoop(bool withhold) { withholdRunLoop_ = withhold; }

  // What the controller asked of the host, counted.
  int dirtyMarks() const;
  int programListChanges() const;
  int restarts() const;
  // Messages a proxy dropped because they came from another thread.
  int droppedMessages() const;

  vst3::IPluginFactory* factory() const { return factory_; }
  vst3::IComponent* component() const { return component_; }
  vst3::IAudioProcessor* processor() const { return processor_; }
  vst3::IEditController* controller() const { return controller_; }
  vst3::FUnknown* hostContext() const;
  // The thread the proxies treat as the UI thread (the loading one).
  std::thread::id uiThread() const { return uiThread_; }

  // For the host parts.
  void recordEdit(Vst3Edit::Kind kind, vst3::ParamID id, double value);
  void recordDirty();
  void recordProgramListChange();
  void recordRestart();
  void recordDroppedMessage();
  bool registerTimer(vst3::FUnknown* handler, std::uint64_t milliseconds);
  bool unregisterTimer(vst3::FUnknown* handler);
  bool registerDescriptor(vst3::FUnknown* handler, int fd);
  bool unregisterDescriptor(vst3::FUnknown* handler);
  bool runLoopWithheld() const { return withholdRunLoop_; }

private:
  struct Queued {
    std::int32_t offset = 0;
    bool isParam = false;
    vst3::Event event{};
    vst3::ParamID id = 0;
    double value = 0.0;
  };

  bool fail(const std::string& message);
  bool openModule(const std::string& path);
  bool createInstances();
  void runBlock(std::int32_t frames);
  void collectOutputs();
  void fillContext(vst3::ProcessContext& context) const;
  template <typename Interface>
  Interface* query(vst3::FUnknown* object) const;

  PluginModule module_;
  std::unique_ptr<Vst3HostParts> parts_;
  vst3::IPluginFactory* factory_ = nullptr;
  vst3::IComponent* component_ = nullptr;
  vst3::IAudioProcessor* processor_ = nullptr;
  vst3::IEditController* controller_ = nullptr;
  vst3::IPlugView* view_ = nullptr;
  std::string error_;
  std::thread::id uiThread_;

  double sampleRate_ = 44100.0;
  std::int32_t blockSize_ = 512;
  bool active_ = false;
  double tempo_ = 120.0;
  bool playing_ = false;
  bool contextAbsent_ = false;
  bool withholdRunLoop_ = false;
  std::int64_t songSamples_ = 0;
  std::int64_t blocksProcessed_ = 0;
  float peak_ = 0.0f;
  bool silenceFlagged_ = true;
  std::mutex pendingMutex_;  // edits may come from another thread than processing
  std::vector<Queued> pending_;

  mutable std::mutex mutex_;
  std::vector<Vst3OutEvent> out_;
  std::vector<CapturedMidi> captured_;
  std::vector<AutomationRecord> automation_;
  std::vector<Vst3Edit> edits_;
  std::vector<Vst3LoopEntry> timers_;
  std::vector<Vst3LoopEntry> descriptors_;
  bool outputsInOrder_ = true;
  int dirtyMarks_ = 0;
  int programListChanges_ = 0;
  int restarts_ = 0;
  std::atomic<int> droppedMessages_{0};
};

}  // namespace velmora::host
