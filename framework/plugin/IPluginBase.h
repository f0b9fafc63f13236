#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/plugin/ChunkBuffer.h"
#include "framework/plugin/HostCode.h"
#include "framework/plugin/HostEventRing.h"
#include "framework/plugin/IEditorLink.h"
#include "framework/plugin/MidiMessage.h"
#include "framework/plugin/Param.h"
#include "framework/plugin/PluginHost.h"
#include "framework/plugin/PluginLock.h"
#include "framework/plugin/TimeInfo.h"

namespace velmora {

constexpr int32_t kChunkMagic = 0x70666674;
constexpr int32_t FrameworkVersion = 0x00010000;

struct ChannelIOPair {
  int32_t inputs = 0;
  int32_t outputs = 0;
};

// What a plug-in is, as its base is built from it: every field named, so a
// plug-in says "isInstrument = true" rather than a third bare true.
struct PluginDescriptor {
  int paramCount = 0;
  const char* channelIO = "";  // e.g. "0-1 0-2"
  int presetCount = 0;
  const char* effectName = "";
  const char* productName = "";
  const char* makerString = "";
  int32_t version = 0;  // 0xVVVVRRMM
  int32_t uniqueId = 0;
  int latency = 0;
  bool stateChunks = false;  // the state travels as one opaque chunk
  bool isInstrument = false;
  bool doesMidi = false;
};

// Parses a channel I/O text such as "0-1 0-2" into its pairs.
std::vector<ChannelIOPair> ParseChannelIO(const char* text);

struct PresetSlot {
  bool initialized = false;
  std::string name;
  ChunkBuffer chunk;
};

struct InputChannel {
  bool connected = false;
  std::vector<double> scratch;  // one block long
  std::string label;
};

struct OutputChannel {
  bool connected = false;
  float* destination = nullptr;  // host buffer of the current block
  std::vector<double> scratch;
  std::string label;
};

// Host-independent core of the plug-in: parameters, presets, channels,
// identity, the one re-entrant lock, and the byte layouts of state chunks.
// A plug-in derives from it; the operations marked [wrapper] reach the host
// through the PluginHost it was made with, which each format's adapter
// implements around the plug-in it owns.
//
// Threads. The tags used across the tree:
//   [processing] the host's processing thread, with the plug-in lock held
//                by the adapter; never the editor's thread;
//   [control]    the host's control thread (dispatcher, parameter entries),
//                with the plug-in lock held by the adapter;
//   [editor]     the editor's thread (see IGraphics);
//   [writer]     the MIDI exporter's own thread;
//   [any]        any thread; the object guards itself;
//   [any, under the plug-in lock]  any thread that holds Lock().
// Here: ProcessBlock, HandleMidiMessage and the block adapters are
// [processing]; Lock/Mutex are [any]; SetParameterFromEditor takes the lock
// itself ([editor]); everything else is [any, under the plug-in lock] (the
// operations that need it take it again, it is re-entrant). Construction
// and destruction happen on the thread that creates and closes the plug-in.
class IPluginBase {
 public:
  static constexpr int kMaxNameLength = 127;         // 128-byte identity buffers
  static constexpr int kMaxPresetNameLength = 255;
  static constexpr int kMaxChannels = 256;

  // The host outlives the plug-in.
  IPluginBase(PluginHost& host, const PluginDescriptor& descriptor);
  IPluginBase(const IPluginBase&) = delete;
  IPluginBase& operator=(const IPluginBase&) = delete;

  // Virtual operations. Nothing outside the module sees this table, so their
  // order binds nothing; the members nothing calls stay where they are and
  // are marked "kept": the empty hooks UnusedHook and UnusedHook2, the
  // queries UnusedQuery and InterfaceKind, StateEquals, and OnParamRightClick.
  virtual ~IPluginBase();
  virtual void OnReset() {}
  virtual void OnParamChanged(int /*index*/) {}
  virtual void ProcessBlock(double** inputs, double** outputs, int frames);
  virtual void OnEditorOpened() {}
  virtual void OnEditorClosing() {}
  virtual void UnusedHook() {}  // kept
  virtual void OnActiveChanged(bool /*active*/) {}
  virtual void HandleMidiMessage(const MidiMessage& message);
  virtual void HandleSysEx(const SysExMessage& /*message*/) {}
  virtual bool MidiNoteName(int note, std::string* text);
  virtual bool SaveState(ChunkBuffer& chunk);
  virtual int LoadState(const ChunkBuffer& chunk, int position);
  virtual bool StateEquals(const double* values, int count, int start);  // kept
  virtual void OnEditorResized() {}
  virtual bool UnusedQuery() { return false; }  // kept
  virtual void OnHostKnown() {}
  virtual void OnParamRightClick(int /*index*/, int /*x*/, int /*y*/) {}  // kept
  virtual void SetParameterFromEditor(int index, double normalized);
  virtual void BeginParamEdit(int index) { mHost.BeginParamEdit(index); }  // [wrapper]
  virtual void AutomateParam(int index, double normalized) {  // [wrapper]
    mHost.AutomateParam(index, normalized);
  }
  virtual void EndParamEdit(int index) { mHost.EndParamEdit(index); }  // [wrapper]
  virtual void RefreshHostDisplay() { mHost.RefreshHostDisplay(); }  // [wrapper]
  virtual bool HostIsOffline() { return mHost.HostIsOffline(); }  // [wrapper]
  virtual int HostSamplePosition() { return mHost.HostSamplePosition(); }  // [wrapper]
  virtual double HostTempo() { return mHost.HostTempo(); }  // [wrapper]
  // 0 / 0 when the host gives none.
  virtual void HostTimeSignature(int* numerator, int* denominator);  // [wrapper]
  virtual void ReadHostTime(TimeInfo* timeInfo) { mHost.ReadHostTime(timeInfo); }  // [wrapper]
  // Asks the host once; Host() and HostVersion() keep the answer.
  virtual HostCode IdentifyHost();  // [wrapper]
  virtual int InterfaceKind() { return mInterfaceCode; }  // kept
  virtual void OnEditorSizeChanged(int width, int height) {  // [wrapper]
    mHost.EditorResized(width, height);
  }
  virtual void InitForHost() { mHost.InitForHost(); }  // [wrapper]
  virtual void AttachEditor(std::unique_ptr<IEditorLink> editor);  // [wrapper extends]
  virtual void SetLatencyFrames(int frames);  // [wrapper extends]
  virtual bool SendMidi(const MidiMessage& message) { return mHost.SendMidi(message); }  // [wrapper]
  virtual bool SendSysExMessage(const SysExMessage& message) {  // [wrapper]
    return mHost.SendSysExMessage(message);
  }
  virtual void PushParamsToEditor();
  virtual void UnusedHook2() {}  // kept
  virtual void OnPresetsChanged() {}
  virtual void SetMaxBlockSize(int frames);
  // The editor's pump, for every host format: on the host's user-interface
  // thread and WITHOUT the plug-in lock. Platforms without a window message
  // loop (X11) drain their window events and run the timer step here; the
  // controls take the lock themselves where they change plug-in state.
  // Drawing never happens under the lock, so processing never waits for it.
  virtual void OnIdle() {
    if (IEditorLink* editor = Editor()) editor->Idle();
  }
  // A host's reset: note-offs for every note the plug-in holds.
  virtual void ReleaseAllNotes() {}
  // [any] One line for the host's log; the standard error stream when the
  // host keeps none.
  virtual void LogMessage(const char* line) const;  // [wrapper]
  // [editor, under the plug-in lock] MIDI was queued outside processing:
  // a host that has paused processing is asked to go on.
  virtual void RequestProcessing() { mHost.RequestProcessing(); }  // [wrapper]

  // The lock serialises host calls, editor calls and processing. It is
  // re-entrant: SaveState takes it inside a dispatcher call that holds it.
  PluginLock& Mutex() const { return mMutex; }
  [[nodiscard]] std::unique_lock<PluginLock> Lock() const { return std::unique_lock<PluginLock>(mMutex); }
  // Checked builds: breaks the contract when a processing entry runs on the
  // editor's window thread or without the lock.
  void ExpectProcessingEntry() const;

  // [processing] The lock for one block, without waiting for it: a short
  // spin, then an empty lock. A block that goes out without it leaves its
  // host events in HostEvents() for the next one (SkipBlock).
  std::unique_lock<PluginLock> TryLockForBlock() const;
  // [processing] A block went out without the lock: its events turn late
  // and its frames are counted, so that positions stay exact.
  void SkipBlock(int frames);
  // [processing] Host events waiting for a block that holds the lock.
  HostEventRing& HostEvents() { return mHostEvents; }

  // [any] Counts the changes to the saved state that the host cannot see
  // (the editor's edits), so that an adapter can tell the host its project
  // changed without comparing whole states.
  void MarkStateEdited() { mStateEdits.fetch_add(1, std::memory_order_relaxed); }
  uint32_t StateEdits() const { return mStateEdits.load(std::memory_order_relaxed); }

  // Parameters.
  Param* GetParam(int index);
  const Param* GetParam(int index) const;
  int NParams() const { return static_cast<int>(mParams.size()); }
  void NotifyAllParams();
  bool SerializeParams(ChunkBuffer& chunk);
  int UnserializeParams(const ChunkBuffer& chunk, int position);

  // The program chunk both host formats save and restore: the header, then
  // SaveState. Loading accepts a chunk without the header as well; false
  // when it is damaged (the restore then ended where it went wrong).
  bool SaveProgramChunk(ChunkBuffer& chunk);
  bool LoadProgramChunk(const ChunkBuffer& chunk);

  // Chunk header.
  static void AddChunkHeader(ChunkBuffer& chunk);
  // Answers the framework version and moves *position past the header.
  // Without the magic: 0, *position unchanged. Magic but no version: 0 and
  // *position = -1.
  static int32_t ReadChunkHeader(const ChunkBuffer& chunk, int* position);

  // Presets.
  int NPresets() const { return static_cast<int>(mPresets.size()); }
  const PresetSlot* GetPreset(int index) const;
  int CurrentPresetIndex() const { return mCurrentPresetIndex; }
  void FillEmptyPresets(int count);
  bool LoadPreset(int index);
  const char* PresetName(int index) const;
  void ModifyCurrentPreset(const char* name = nullptr);
  bool SerializePresets(ChunkBuffer& chunk);
  int UnserializePresets(const ChunkBuffer& chunk, int position);

  // Channels.
  const std::vector<ChannelIOPair>& ChannelIOPairs() const { return mChannelIOPairs; }
  bool LegalIO(int inputs, int outputs) const;
  void LimitToTwoChannels();
  int NInChannels() const { return static_cast<int>(mInChannels.size()); }
  int NOutChannels() const { return static_cast<int>(mOutChannels.size()); }
  bool IsInChannelConnected(int index) const;
  bool IsOutChannelConnected(int index) const;
  // An unconnected channel's slot points at its own (silent) scratch.
  void SetInChannelConnected(int index, bool connected);
  void SetOutChannelConnected(int index, bool connected);
  const char* InChannelLabel(int index) const;
  const char* OutChannelLabel(int index) const;
  void SetInChannelLabel(int index, const char* label);
  void SetOutChannelLabel(int index, const char* label);

  // [processing] Block adapters, called by host wrappers with the lock held.
  void AttachInputBuffers(int count, float* const* inputs, int frames);
  void AttachOutputBuffers(int count, float* const* outputs);
  void ProcessBuffersFloat(int frames);
  void ProcessBuffersAccumulating(int frames);
  void ProcessBuffersDouble(int nInputs, double* const* inputs, int nOutputs,
                            double* const* outputs, int frames);

  // Identity and host facts.
  const char* EffectName() const { return mEffectName.c_str(); }
  const char* ProductName() const { return mProductName.c_str(); }
  const char* MakerString() const { return mMakerString.c_str(); }
  int32_t UniqueId() const { return mUniqueId; }
  int32_t Version() const { return mVersion; }  // 0xVVVVRRMM
  int32_t DecimalVersion() const;                // major * 10000 + minor * 100 + patch
  HostCode Host() const { return mHostCode; }
  int32_t HostVersion() const { return mHostVersion; }
  bool StateChunks() const { return mStateChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  bool DoesMidi() const { return mDoesMidi; }
  double SampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int MaxBlockSize() const { return mMaxBlockSize; }
  int Latency() const { return mLatency; }
  int TailSize() const { return mTailSize; }
  IEditorLink* Editor() const { return mEditor.get(); }

 protected:
  // Called from ProcessBlock by a plug-in that makes no sound, instead of
  // writing zeros: the block adapters then put silence straight into the
  // host's buffers and skip the per-sample conversion.
  void MarkOutputsSilent() { mOutputsSilent = true; }
  void SetTailSize(int frames) { mTailSize = frames; }
  // [processing, under the lock] The frames of the blocks that went out
  // without the lock since the last call.
  int64_t TakeSkippedFrames();

 private:
  // A broken contract of this instance: the handler a program installed, or
  // else one line in the host's log, once.
  void ReportBreach(const char* what) const;
  void CreateChannels();
  bool EnsureScratch(int frames);
  void BindScratchSlots();
  void WriteOutputs(int frames, bool accumulate);
  void SilenceOutputs(int frames);
  void SilenceOutputSlots(int frames);
  int UnserializePreset(PresetSlot& slot, std::string& name, const ChunkBuffer& chunk,
                        int position);

  PluginHost& mHost;
  mutable PluginLock mMutex;
  std::vector<ChannelIOPair> mChannelIOPairs;
  std::string mEffectName;
  std::string mProductName;
  std::string mMakerString;
  int32_t mUniqueId = 0;
  int32_t mVersion = 0;
  int32_t mInterfaceCode = 0;
  HostCode mHostCode = kHostUninit;
  int32_t mHostVersion = 0;
  bool mStateChunks = false;
  bool mIsInstrument = false;
  bool mDoesMidi = false;
  int mCurrentPresetIndex = 0;
  double mSampleRate = 44100.0;
  int mMaxBlockSize = 0;
  int mLatency = 0;
  int mTailSize = 0;
  std::unique_ptr<IEditorLink> mEditor;
  std::vector<Param> mParams;
  std::vector<PresetSlot> mPresets;
  std::vector<double*> mInputPtrs;
  std::vector<double*> mOutputPtrs;
  bool mOutputsSilent = false;  // set by the current ProcessBlock
  HostEventRing mHostEvents;    // [processing]
  int64_t mSkippedFrames = 0;   // [processing]
  mutable std::atomic<bool> mBreachLogged{false};
  std::atomic<uint32_t> mStateEdits{0};
  int mScratchFrames = 0;       // every channel's scratch holds at least this many
  std::vector<InputChannel> mInChannels;
  std::vector<OutputChannel> mOutChannels;
};

}  // namespace velmora
