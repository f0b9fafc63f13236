#pragma once

#include "framework/plugin/vst2/Vst2Abi.h"
#include "tools/vsthost/PluginHost.h"
#include "tools/vsthost/PluginModule.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace velmora::host {

// A minimal VST 2.4 host for one plug-in instance: loads the module, drives
// the effect record through its entries, and answers the plug-in's calls with
// a transport of its own. Single-threaded use; the plug-in may call back from
// other threads, which only the capture lists and the transport's time are
// guarded against.
class VstHost : public PluginHost {
public:
  static constexpr std::int32_t kMaxBlockSize = 1 << 16;
  static constexpr std::int32_t kMaxChannels = 256;
  static constexpr std::int32_t kHostVendorVersion = 10400;
  static constexpr const char* kProductString = "Velmora Host";
  static constexpr const char* kVendorString = "Velmora";

  VstHost();
  ~VstHost();
  VstHost(const VstHost&) = delete;
  VstHost& operator=(const VstHost&) = delete;

  // Loads the module and creates the instance through VSTPluginMain (or main).
  bool load(const std::string& path) override;
  // effMainsChanged(0) when resumed, effClose, then unloads the module.
  void close() override;
  bool isLoaded() const override { return effect_ != nullptr; }
  AEffect* effect() const { return effect_; }
  // Why the last failing operation failed.
  const std::string& error() const override { return error_; }

  std::intptr_t dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                         void* ptr = nullptr, float opt = 0.0f);

  void open() override;
  void setSampleRate(double rate) override;
  bool setBlockSize(std::int32_t frames) override;
  void resume() override;
  void suspend() override;
  bool isResumed() const { return resumed_; }
  double sampleRate() const { return sampleRate_; }
  std::int32_t blockSize() const override { return blockSize_; }

  void setTempo(double beatsPerMinute) override;
  void setTransportPlaying(bool playing) override;
  bool isTransportPlaying() const { return playing_; }
  void setOffline(bool offline) override { offline_ = offline; }
  // The snapshot audioMasterGetTime answers with, at the current position.
  const VstTimeInfo& timeInfo();

  // Queues a short MIDI message for the next processing blocks; deltaFrames
  // counts from the start of the next block and may reach into later blocks.
  bool queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) override;
  std::size_t pendingMidiCount() const { return pending_.size(); }

  // Runs blocks of blockSize() frames through processReplacing (or the
  // accumulating entry when there is none), each preceded by effProcessEvents
  // with the queued events that fall into it.
  bool process(std::int32_t blocks = 1) override;
  std::int64_t blocksProcessed() const override { return blocksProcessed_; }
  std::int32_t outputCount() const { return static_cast<std::int32_t>(outputs_.size()); }
  // The last block's output of one channel (empty outside the range).
  const std::vector<float>& output(std::int32_t channel) const;
  float outputPeak() const override;

  std::vector<CapturedMidi> capturedMidi() const override;
  std::vector<CapturedMidi> takeCapturedMidi() override;
  std::vector<AutomationRecord> automation() const override;
  std::vector<AutomationRecord> takeAutomation() override;
  std::int64_t wantMidiCalls() const { return wantMidiCalls_; }

  std::int32_t parameterCount() const override;
  float parameter(std::int32_t index) const override;
  bool setParameter(std::int32_t index, float value) override;
  std::string parameterName(std::int32_t index) override;
  std::string parameterDisplay(std::int32_t index) override;
  std::string parameterLabel(std::int32_t index) override;
  // Index of the parameter with that exact name, or -1.
  std::int32_t findParameter(const std::string& name) override;

  std::intptr_t canDo(const std::string& capability) override;
  std::string effectName();
  std::string vendorString();
  std::string productString();

  bool getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) override;
  bool setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) override;
  // The effect record and the plug-in's names.
  void describe(std::ostream& out) override;

  // The host callback's answer for this instance.
  std::intptr_t answer(std::int32_t opcode, std::int32_t index, std::intptr_t value, void* ptr, float opt);

private:
  struct PendingMidi {
    std::int32_t offset;
    std::uint8_t bytes[3];
  };

  bool ready(const char* action);
  bool prepareBuffers();
  void sendEventsForBlock();
  void runBlock();
  std::string dispatchText(std::int32_t opcode, std::int32_t index);
  // With timeMutex_ held.
  void fillTimeInfo(VstTimeInfo& info) const;
  void captureEvents(const VstEvents* events);
  std::intptr_t answerCanDo(const char* capability) const;

  PluginModule module_;
  AEffect* effect_ = nullptr;
  std::string error_;
  bool resumed_ = false;
  bool offline_ = false;
  std::atomic<bool> inProcess_{false};

  // The transport: the processing thread and the plug-in's other threads read it.
  mutable std::mutex timeMutex_;
  double sampleRate_ = 44100.0;
  std::int32_t blockSize_ = 512;
  double tempo_ = 120.0;
  bool playing_ = false;
  bool transportChanged_ = false;
  double position_ = 0.0;
  VstTimeInfo timeInfo_{};
  bool timeInfoFresh_ = false;

  std::vector<PendingMidi> pending_;
  std::vector<VstMidiEvent> blockEvents_;
  std::vector<unsigned char> eventList_;

  std::vector<std::vector<float>> inputs_;
  std::vector<std::vector<float>> outputs_;
  std::vector<float*> inputPointers_;
  std::vector<float*> outputPointers_;
  std::int64_t blocksProcessed_ = 0;

  mutable std::mutex captureMutex_;
  std::vector<CapturedMidi> captured_;
  std::vector<AutomationRecord> automation_;
  std::int64_t wantMidiCalls_ = 0;
};

}  // namespace velmora::host
