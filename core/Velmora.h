#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/CoreViews.h"
#include "core/MidiExporter.h"
#include "core/MidiQueue.h"
#include "core/Parameters.h"
#include "core/Recording.h"
#include "core/VelmoraBase.h"
#include "engine/ChordEngine.h"

namespace velmora {

// The six state texts, in chunk order.
enum StateTextIndex : int {
  kGridText = 0,
  kHighlightsText,
  kExclusionsText,
  kPitchClassText,
  kInversionsText,
  kInclusionsText,
  kStateTextCount
};

// The plug-in object: one per instance the host loads. It owns the engine
// state and the playback and recording state, defines the parameters and
// turns every parameter change, host block and editor action into engine
// operations and MIDI.
//
// Threads. The processing thread (ProcessBlock, HandleMidiMessage) and the
// host's control thread (parameters, state, reset) arrive with the plug-in
// lock held by the adapter; the editor thread calls the public entries below,
// each of which takes the lock itself. The lock is re-entrant, so every entry
// takes it again. No file is written under the lock: exports are handed to a
// worker thread of this instance.
class Velmora : public VelmoraBase {
 public:
  static constexpr int kPresetCount = 8;
  static constexpr int32_t kVersion = 0x00010400;
  static constexpr int32_t kUniqueId = ('V' << 24) | ('e' << 16) | ('l' << 8) | 'm';
  static constexpr const char* kExportFileName = "/velmora-midi.mid";

  // Leading arguments, if any, go to the base before the plug-in's identity
  // (a host adapter's own construction arguments).
  template <typename... HostArgs>
  explicit Velmora(HostArgs&&... hostArgs)
      : VelmoraBase(std::forward<HostArgs>(hostArgs)..., kParamCount, "0-1 0-2", kPresetCount, "Velmora", "",
                    "LumarexLLC", kVersion, kUniqueId, 0, true, true, true) {
    Construct();
  }
  ~Velmora() override;

  // Host side; the caller holds the lock.
  void OnReset() override;
  void OnParamChanged(int index) override;
  void ProcessBlock(double** inputs, double** outputs, int frames) override;
  void HandleMidiMessage(const MidiMessage& message) override;
  bool SaveState(ChunkBuffer& chunk) override;
  // The next position, or -1 when the chunk is damaged: then the restore ends
  // at the first text that cannot be read and no parameter is restored.
  int LoadState(const ChunkBuffer& chunk, int position) override;

  // Auditions: chord list rows and grid cells (editor thread), MIDI input.
  void StartChord(const std::vector<int>& notes, int octave, int inversion, int velocity);
  void StopChord(const std::vector<int>& notes, int octave, int inversion);

  // Grid edits from the cell controls and list rows (editor thread).
  void ToggleCellLock(const ChordEntry& entry);
  void SetCellOctave(const ChordEntry& entry);
  void SetCellInversion(const ChordEntry& entry);
  void MoveCell(int left, int top, int x, int y);
  void PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y);

  // Keyboard (editor thread). The keyboard control writes the pressed key
  // (-1 for none) without the lock; ProcessBlock reads it once per block.
  void ToggleKeyboardNote(int key);
  void SetPressedKey(int key) { PressedKey.store(key, std::memory_order_relaxed); }

  // Filter boxes (editor thread): clear one flag, reset the matching popup's
  // choice so that it does not add the entry again, rebuild the list.
  void RemoveExcludedRoot(int root);
  void RemoveExcludedChordType(int chordType);
  void RemoveIncludedRoot(int root);
  void RemoveIncludedChordType(int chordType);

  // Chord list control (editor thread).
  std::vector<ChordEntry> ChordListCopy() const;
  void SetListOctaveShift(int shift);

  // Any other engine access from the editor: f(ChordEngine&) under the lock.
  template <typename F>
  decltype(auto) WithEngine(F&& f) {
    auto lock = Lock();
    return std::forward<F>(f)(mEngine);
  }

  // The editor wires its controls in (and null views out before it goes).
  void SetViews(const EngineViews& engineViews, const CoreViews& coreViews);

  // Recorder.
  void BeginTakeIfArmed();
  // Queues the export of RecordedEvents to path; the file appears shortly
  // after (WaitForExports). Does not change the take.
  void ExportRecording(const std::string& path);
  // Drag button (editor thread): ends a take, exports, then offers the file.
  void StartFileDrag();
  // Returns when every export queued so far is written. Call without the lock.
  void WaitForExports();

  // Caller holds the lock.
  ChordEngine& Engine() { return mEngine; }
  const std::string& ExportFilePath() const { return ExportPath; }

  std::atomic<int> PressedKey{-1};

 protected:
  // Used only by StopChord: the notes of voicing that other sounding voicings
  // hold (with repeats); removes the last voicing equal to it.
  std::vector<int> ReleaseVoicing(const std::vector<int>& voicing);

  bool RecordArmed = false;
  bool RecordingActive = false;
  TimeInfo HostTime;
  int32_t RecordPosition = 0;
  int32_t TicksPerQuarterNote = 120;
  std::string ExportPath;
  velmora::MidiQueue MidiQueue;
  int32_t LastPressedKey = -1;
  int32_t LastPressedNote = -1;
  std::string AppDataFolder;
  bool KeyPressPending = false;
  std::array<bool, kNoteCount> NoteOnState{};
  std::array<int32_t, kNoteCount> NoteOnCount{};
  std::vector<std::vector<int>> SoundingVoicings;
  std::array<ChordEntry, kGridCellCount> TriggeredCells{};
  std::array<std::string, kStateTextCount> StateTexts;
  RecordedEventMap RecordedEvents;

 private:
  void Construct();
  void DefineParameters();
  void SendQueue(bool capture);
  void CaptureSent(const MidiMessage& message);
  void PollKeyboard();
  void EndTakeIfStopped();
  void SetRecordArmed(double value);
  void ShiftGridOctave(int delta, SwitchView* shownSwitch);
  void QueueNoteOff(int note, int count);
  void RemoveFilterFlag(bool& flag, ChordPopupChoice& popup, FilterListView* view);
  int32_t ExportSamplesPerBeat();
  StateTextResult ReadStateTexts();

  ChordEngine mEngine;
  CoreViews mViews;
  MidiExporter mExporter;
};

}  // namespace velmora
