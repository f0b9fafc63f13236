#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/PluginFactory.h"
#include "framework/plugin/vst2/Vst2Abi.h"

namespace velmora {

// A plug-in as a VST 2.4 effect: the adapter owns the plug-in, publishes one
// effect record whose object field points back here, answers the host's
// dispatcher opcodes and its audio and parameter entries under the plug-in
// lock, and is the plug-in's PluginHost over the callback the entry point
// received. Every host answer may be 0 or null; the plug-in then carries on
// with what it had.
//
// Threads: the dispatcher and the parameter entries are [control], the
// audio and event entries [processing]. A dispatcher call takes the plug-in
// lock for the whole call, except effClose (waits for the lock, then
// deletes without it), the idle calls ([editor], without the lock), the
// editor's window opcodes (the lock only for the plug-in's hooks) and
// effProcessEvents (queues without it). The audio entries never wait for
// the lock: a block that cannot have it at once goes out silent and leaves
// its events to the next (IPluginBase::TryLockForBlock). setParameter on the
// processing thread defers the same way. The host callbacks (SendMidi,
// ReadHostTime, ...) are made from whichever entry is running.
class IPluginVST : public PluginHost {
 public:
  // Keeps hosts that announce absurd block sizes from making us allocate
  // without bound; a longer block still works, the scratch grows to it.
  static constexpr int kMaxAnnouncedBlockSize = 1 << 20;
  // More events than this in one effProcessEvents call are not believed.
  static constexpr int32_t kMaxEventsPerCall = 1 << 16;

  // Makes the plug-in with make; throws what make throws.
  IPluginVST(audioMasterCallback hostCallback, const PluginFactory& make);
  ~IPluginVST() override;

  // The record handed to the host, and the adapter behind a record (null for
  // a null record or one whose object is gone).
  AEffect* Effect() { return &mEffect; }
  static IPluginVST* FromEffect(AEffect* effect);
  IPluginBase& Plugin() const { return *mPlugin; }

  // The plug-in's host operations.
  void BeginParamEdit(int index) override;
  void AutomateParam(int index, double normalized) override;
  void EndParamEdit(int index) override;
  void RefreshHostDisplay() override;
  bool HostIsOffline() override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void ReadHostTime(TimeInfo* timeInfo) override;
  HostCode IdentifyHost(int32_t* version) override;
  void EditorResized(int width, int height) override;
  void EditorAttached(int width, int height) override;
  void LatencyChanged(int frames) override;
  void InitForHost() override;
  bool SendMidi(const MidiMessage& message) override;
  bool SendSysExMessage(const SysExMessage& message) override;

  // Any host call; 0 when the host gave no callback.
  intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);

  const ERect& EditorRect() const { return mEditorRect; }
  const VstSpeakerArrangement& InputArrangement() const { return mInputArrangement; }
  const VstSpeakerArrangement& OutputArrangement() const { return mOutputArrangement; }
  bool HostInitDone() const { return mHostInitDone; }

 private:
  // Host-to-plug-in entries of the effect record.
  static intptr_t VST_CALL VstDispatcher(AEffect* effect, int32_t opcode, int32_t index,
                                         intptr_t value, void* ptr, float opt);
  static void VST_CALL VstProcess(AEffect* effect, float** inputs, float** outputs,
                                  int32_t frames);
  static void VST_CALL VstProcessReplacing(AEffect* effect, float** inputs, float** outputs,
                                           int32_t frames);
  static void VST_CALL VstProcessDoubleReplacing(AEffect* effect, double** inputs,
                                                 double** outputs, int32_t frames);
  static void VST_CALL VstSetParameter(AEffect* effect, int32_t index, float value);
  static float VST_CALL VstGetParameter(AEffect* effect, int32_t index);

  void FillEffectRecord();
  void FillArrangements();
  void ProcessFloat(float** inputs, float** outputs, int frames, bool accumulate);
  void ProcessDouble(double** inputs, double** outputs, int frames);
  template <typename Sample>
  std::unique_lock<PluginLock> EnterBlock(Sample** outputs, int frames, bool silence);
  template <typename RunSlice>
  void PlayBlock(int frames, RunSlice&& runSlice);
  template <typename RunSlice>
  void RunSliceAt(int start, int length, RunSlice& runSlice);
  void ApplyHostEvent(const HostEventRing::Event& event);
  template <typename Sample>
  static void OffsetBuffers(Sample** buffers, int count, int start, Sample** sliced);
  template <typename Sample>
  void SilenceHostOutputs(Sample** outputs, int frames);
  void SetParameterFromHost(int index, float value);
  void ApplyParamFromHost(int index, double normalized);
  void HandleSysExNow(const VstMidiSysexEvent& sysex);
  float ParameterForHost(int index) const;
  const VstTimeInfo* HostTime(int32_t request);
  // A host's normalised value inside 0..1; NaN goes to 0.
  static double HostNormalized(float value);

  // The opcodes (VstDispatch.cpp), called with the lock held.
  intptr_t Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t DispatchProgram(int32_t opcode, int32_t index, intptr_t value, void* ptr);
  intptr_t DispatchParamText(int32_t opcode, int32_t index, void* ptr);
  intptr_t DispatchEditor(int32_t opcode, intptr_t value, void* ptr);
  intptr_t DispatchSetup(int32_t opcode, intptr_t value, float opt);
  intptr_t DispatchInfo(int32_t opcode, int32_t index, void* ptr);
  intptr_t CanBeAutomated(int32_t index) const;
  intptr_t ProcessEvents(const VstEvents* events);
  intptr_t String2Parameter(int index, const void* text);
  intptr_t PinProperties(bool input, int index, void* ptr);
  intptr_t VendorSpecific(int32_t index, intptr_t value, void* ptr, float opt);
  intptr_t CanDo(const void* text) const;
  intptr_t SetSpeakerArrangement(const VstSpeakerArrangement* input,
                                 const VstSpeakerArrangement* output);
  intptr_t GetSpeakerArrangement(intptr_t input, void* output);
  intptr_t MidiKeyNameFor(void* ptr);
  intptr_t ParameterPropertiesFor(int index, void* ptr);

  // The chunk opcodes (VstChunks.cpp).
  intptr_t GetChunk(bool bank, void* ptr);
  intptr_t SetChunk(bool bank, intptr_t size, const void* data);

  // [processing] The block being played: its length, where the current
  // slice starts, and the latest frame sent so far (outputs go in time order).
  int mBlockFrames = 0;
  int mSliceStart = 0;
  int mLastOutFrame = 0;
  std::atomic<std::thread::id> mProcessingThread{};
  ERect mEditorRect{};
  audioMasterCallback mHostCallback = nullptr;
  VstSpeakerArrangement mInputArrangement{};
  VstSpeakerArrangement mOutputArrangement{};
  bool mHostInitDone = false;
  ChunkBuffer mProgramChunk;
  ChunkBuffer mBankChunk;
  AEffect mEffect{};
  // Kept with the class's fields: reserved for host vendor extensions; none
  // is supported and nothing reads it.
  int32_t mHostExtensions = 0;
  std::unique_ptr<IPluginBase> mPlugin;
};

}  // namespace velmora
