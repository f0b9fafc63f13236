#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/PluginHost.h"
#include "framework/plugin/vst3/Vst3Link.h"
#include "framework/plugin/vst3/Vst3Module.h"
#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora {

// The VST 3 processor: the component that plays. It owns the plug-in (made
// at initialize, gone at terminate) and is its host. Notes come in on one
// event bus and the plug-in's MIDI goes out as note events on another; a
// silent stereo output keeps hosts that want audio content. The state is the
// program chunk the other formats save, byte for byte.
//
// Threads, in the host's terms:
// - [UI] everything but the two below; getState/setState may overlap
//   processing and take the plug-in lock (processing never waits for it).
// - [audio] process, and setProcessing (either thread): process never waits
//   for the lock (a block without it goes out silent and keeps its events for
//   the next), allocates nothing and calls nothing of the host's but the
//   lists of its ProcessData.
// - [UI, under the plug-in lock] the editor's gestures (BeginParamEdit,
//   AutomateParam, EndParamEdit) go to the linked controller at once.
// - [any] addRef, release, queryInterface, LogMessage.
class Vst3Processor final : public vst3::IComponent,
                            public vst3::IAudioProcessor,
                            public vst3::IProcessContextRequirements,
                            public vst3::IConnectionPoint,
                            public PluginHost {
 public:
  static constexpr int kMaxBlock = 1 << 20;
  static constexpr int64_t kMaxStateBytes = 64 << 20;

  explicit Vst3Processor(const Vst3ModuleInfo& module);
  Vst3Processor(const Vst3Processor&) = delete;
  Vst3Processor& operator=(const Vst3Processor&) = delete;

  // FUnknown
  vst3::tresult VST3_API queryInterface(const vst3::TUID iid, void** obj) override;
  vst3::uint32 VST3_API addRef() override;
  vst3::uint32 VST3_API release() override;
  // IPluginBase
  vst3::tresult VST3_API initialize(vst3::FUnknown* context) override;
  vst3::tresult VST3_API terminate() override;
  // IComponent
  vst3::tresult VST3_API getControllerClassId(vst3::TUID classId) override;
  vst3::tresult VST3_API setIoMode(vst3::IoMode mode) override;
  vst3::int32 VST3_API getBusCount(vst3::MediaType type, vst3::BusDirection dir) override;
  vst3::tresult VST3_API getBusInfo(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                    vst3::BusInfo& bus) override;
  vst3::tresult VST3_API getRoutingInfo(vst3::RoutingInfo& inInfo, vst3::RoutingInfo& outInfo) override;
  vst3::tresult VST3_API activateBus(vst3::MediaType type, vst3::BusDirection dir, vst3::int32 index,
                                     vst3::TBool state) override;
  vst3::tresult VST3_API setActive(vst3::TBool state) override;
  vst3::tresult VST3_API setState(vst3::IBStream* state) override;
  vst3::tresult VST3_API getState(vst3::IBStream* state) override;
  // IAudioProcessor
  vst3::tresult VST3_API setBusArrangements(vst3::SpeakerArrangement* inputs, vst3::int32 numIns,
                                            vst3::SpeakerArrangement* outputs, vst3::int32 numOuts) override;
  vst3::tresult VST3_API getBusArrangement(vst3::BusDirection dir, vst3::int32 index,
                                           vst3::SpeakerArrangement& arr) override;
  vst3::tresult VST3_API canProcessSampleSize(vst3::int32 symbolicSampleSize) override;
  vst3::uint32 VST3_API getLatencySamples() override;
  vst3::tresult VST3_API setupProcessing(vst3::ProcessSetup& setup) override;
  vst3::tresult VST3_API setProcessing(vst3::TBool state) override;
  vst3::tresult VST3_API process(vst3::ProcessData& data) override;
  vst3::uint32 VST3_API getTailSamples() override;
  // IProcessContextRequirements
  vst3::uint32 VST3_API getProcessContextRequirements() override;
  // IConnectionPoint
  vst3::tresult VST3_API connect(vst3::IConnectionPoint* other) override;
  vst3::tresult VST3_API disconnect(vst3::IConnectionPoint* other) override;
  vst3::tresult VST3_API notify(vst3::IMessage* message) override;

  // PluginHost: what the plug-in asks of the host.
  void BeginParamEdit(int index) override;
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void ReadHostTime(TimeInfo* timeInfo) override;
  bool SendMidi(const MidiMessage& message) override;
  void EditorResized(int width, int height) override;

  // [UI] For a controller of this process and module: the plug-in that plays
  // (null outside initialize..terminate), and where its gestures go.
  velmora::IPluginBase* Plugin() const { return mPlugin.get(); }
  void Link(Vst3EditSink* sink);
  void Unlink(Vst3EditSink* sink);
  // Counted when the count has not reached zero (FindLinkedProcessor).
  bool AddRefUnlessGone() { return mRefs.AddUnlessGone(); }
  bool Bypassed() const { return mBypass.load(std::memory_order_relaxed); }

 private:
  ~Vst3Processor();
  void DropPlugin();
  void Announce();
  bool LoadChunk(const std::vector<uint8_t>& bytes);
  void SetBypass(bool on);

  // Processing (Vst3Process.cpp).
  void RunBlock(vst3::ProcessData& data);
  void GoOutWithoutLock(vst3::ProcessData& data);
  void SilenceOutputs(vst3::ProcessData& data) const;
  void KeepEvents(vst3::ProcessData& data);
  void PlayKeptEvents();
  void PlayInOrder(vst3::ProcessData& data);
  void RunSlice(int start, int frames);
  void HandleEvent(const vst3::Event& event);
  void HandleNote(bool on, int channel, int pitch, double velocity);
  bool IsEcho(int index, double plain);
  void PassThrough(const vst3::Event& event);
  void ApplyHostValue(vst3::ParamID id, double normalized);
  void PushKeptValues(vst3::IParameterChanges* out);
  bool AddOutEvent(vst3::Event& event, int frame);

  const Vst3ModuleInfo& mModule;
  Vst3RefCount mRefs;
  vst3::IHostApplication* mHost = nullptr;
  vst3::IConnectionPoint* mPeer = nullptr;
  std::unique_ptr<velmora::IPluginBase> mPlugin;
  Vst3EditSink* mSink = nullptr;

  bool mActive = false;
  std::atomic<bool> mProcessing{false};
  std::atomic<bool> mBypass{false};
  int mSampleSize = vst3::kSample32;

  // [audio, lock held] The block being processed.
  vst3::IEventList* mOut = nullptr;
  vst3::ProcessContext mContext{};
  bool mHasContext = false;
  int mBlockFrames = 0;
  int mSliceStart = 0;
  int mLastOutFrame = 0;
  // [audio] Values the plug-in did not keep, for the host to hear; one slot
  // per parameter, sized at initialize.
  std::vector<double> mKeptValues;
  std::vector<uint8_t> mValueKept;
  // [under the plug-in lock] The value the editor last handed the host per
  // parameter, and the blocks processed since (-1: none pending). Until its
  // echo comes back through the host, what comes for that parameter is the
  // editor's own edits on their way back, whose change has run already (a
  // press, its spring-back, its release): skipped. A host that never echoes
  // leaves it pending only kEchoBlocks blocks.
  static constexpr int kEchoBlocks = 16;
  std::vector<double> mEchoValues;
  std::vector<int> mEchoAges;
  void AgeEchoes();
};

}  // namespace velmora
