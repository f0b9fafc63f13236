#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/ChordAuditions.h"
#include "core/CoreViews.h"
#include "core/KeyPressQueue.h"
#include "core/Parameters.h"
#include "core/PluginEditor.h"
#include "core/Recorder.h"
#include "core/ViewChanges.h"
#include "engine/ChordEngine.h"
#include "framework/plugin/IPluginBase.h"

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

// The two filter boxes and their popups.
enum class FilterBox { kExclusions, kInclusions };

// What one filter box holds: its roots and its chord types.
struct FilterFlags {
  std::array<bool, kPitchClassCount> roots{};
  std::array<bool, kChordTypeCount> types{};
};

// The plug-in object: one per instance the host loads. It owns the engine
// state, the auditions and the recorder, defines the parameters and turns
// every parameter change, host block and editor action into engine
// operations and MIDI.
//
// Threads (tags as in IPluginBase.h).
// - [processing] ProcessBlock and HandleMidiMessage arrive with the plug-in
//   lock held by the adapter, which never waits for it (a block that cannot
//   have it goes out silent and its host notes come with the next); they
//   allocate nothing and make no system call. Checked builds catch them on
//   the editor's thread or without the lock.
// - [control] Parameters, state and reset arrive with the lock held too.
// - [editor] The editor's thread calls the entries marked so; each takes the
//   lock itself (it is re-entrant) and holds it briefly. StartFileDrag
//   releases it before the drag loop; SetPressedKey takes no lock, and only
//   the editor's thread may call it.
// - The engine and the core tell the controls what changed only through
//   ViewChanges; the editor copies the data at its own tick (ReadForEditor).
class Velmora : public IPluginBase {
 public:
  static constexpr int kPresetCount = 8;
  static constexpr int32_t kVersion = 0x00010400;
  static constexpr int32_t kUniqueId = ('V' << 24) | ('e' << 16) | ('l' << 8) | 'm';
  static constexpr const char* kExportFileName = "/velmora-midi.mid";
  // The one-shot parameters (Undo, Randomize, Clear, ...): they run once per
  // change to 1, read 0 again, and are not automatable.
  static bool IsAction(int index);

  // The host outlives the plug-in: a format's adapter, or PluginHost::None().
  explicit Velmora(PluginHost& host);
  ~Velmora() override;

  // [control] The caller holds the lock.
  void OnReset() override;
  void OnParamChanged(int index) override;
  // [editor] A press in the editor is always a new change of its parameter.
  void SetParameterFromEditor(int index, double normalized) override;
  // [processing]
  void ProcessBlock(double** inputs, double** outputs, int frames) override;
  void HandleMidiMessage(const MidiMessage& message) override;
  // [control]
  bool SaveState(ChunkBuffer& chunk) override;
  // The next position, or -1 when the chunk is damaged: then the restore ends
  // at the first text that cannot be read and no parameter is restored.
  int LoadState(const ChunkBuffer& chunk, int position) override;
  // What trigger note 36..51 plays: "Cell 1: C maj", "Cell 2: empty".
  bool MidiNoteName(int note, std::string* text) override;
  // Every sounding chord and held trigger note gets its note-offs queued.
  void ReleaseAllNotes() override;

  // [editor] Auditions from chord list rows and grid cells.
  void StartChord(const ChordNotes& notes, int octave, int inversion, int velocity);
  void StopChord(const ChordNotes& notes, int octave, int inversion);

  // [editor] Grid edits from the cell controls and list rows.
  void ToggleCellLock(const ChordEntry& entry);
  void SetCellOctave(const ChordEntry& entry);
  void SetCellInversion(const ChordEntry& entry);
  void MoveCell(int left, int top, int x, int y);
  void PlaceListChord(const ChordEntry& rowChord, int rowTop, int x, int y);

  // [editor] The keyboard. The held key (-1 for none) is written without the
  // lock; each new press waits in a queue until ProcessBlock takes it, or the
  // editor's next tick when no block comes (TakeKeyPresses), so a tap shorter
  // than a block still marks its key.
  void ToggleKeyboardNote(int key);
  void SetPressedKey(int key);
  int PressedKey() const { return mPressedKey.load(std::memory_order_relaxed); }
  // [editor] Handles the presses no block has taken; not blocking, it leaves
  // them for the next tick when the lock is busy.
  void TakeKeyPresses(bool blocking);

  // [editor] The filter boxes: clear one flag, reset the matching popup's
  // choice so that it does not add the entry again, rebuild the list.
  void RemoveFilterRoot(FilterBox box, int root);
  void RemoveFilterChordType(FilterBox box, int chordType);

  // [editor] The popups' choices, which the dispatch reads.
  ScalePopupChoice ScaleChoice() const;
  void SetScaleChoice(int root, int scale);
  ChordPopupChoice ChordChoice(FilterBox box) const;
  void SetChordChoice(FilterBox box, int root, int chordType);
  // [editor] The entries of a filter box, which its menus tick.
  FilterFlags FilterEntries(FilterBox box) const;

  // [editor] The chord list and its octave selector. A page is count
  // entries from first (fewer at the end); the answer is the list's length.
  std::vector<ChordEntry> ChordListCopy() const;
  int ChordListPage(int first, int count, std::vector<ChordEntry>& page) const;
  int ListOctaveShift() const;
  void SetListOctaveShift(int shift);

  // [editor] The drag button: ends a take and exports it, then offers the file.
  void StartFileDrag();
  // [editor] or [control]: returns when every export asked for so far is written.
  // Without the lock.
  void WaitForExports() { mRecorder.WaitForExports(); }

  // [editor] What a drag out of the editor offers: the chord of a list row
  // (cell -1) or of grid cell `cell` as it plays, or every filled cell of
  // the grid in trigger order, as a new MIDI file at the host's tempo. The
  // file's path; "" when there is nothing to offer or it could not be
  // written. The lock is held only to copy what goes in.
  std::string WriteChordDragFile(const ChordEntry& chord, int cell);
  std::string WriteGridDragFile();

  // [editor] The editor's sync: f(const ViewChanges&, const ChordEngine&)
  // under the lock. Not blocking, it answers false at once when the lock is
  // busy (the next tick catches up).
  template <typename F>
  bool ReadForEditor(bool blocking, F&& f) const {
    std::unique_lock<PluginLock> lock(Mutex(), std::defer_lock);
    if (blocking) {
      lock.lock();
    } else if (!lock.try_lock()) {
      return false;
    }
    std::forward<F>(f)(static_cast<const ViewChanges&>(mChanges), static_cast<const ChordEngine&>(mEngine));
    return true;
  }
  // [editor] The drag source of the platform; null for none. Before the
  // editor goes, it sets null again.
  void SetFileDragSource(FileDragSource* drag);

  const std::string& ExportFilePath() const { return mRecorder.ExportPath(); }
  // The editor built by the constructor (its controls, sync and drag).
  PluginEditor& EditorParts() const { return *mEditorParts; }

 protected:
  // The parts tests look into, with the lock held.
  ChordEngine mEngine;
  ChordAuditions mAuditions;
  Recorder mRecorder;
  ViewChanges mChanges;
  CoreViews mViews;
  TimeInfo mHostTime;
  int32_t mLastPressedKey = -1;
  int32_t mLastPressedNote = -1;
  std::array<std::string, kStateTextCount> mStateTexts;
  std::string mAppDataFolder;

 private:
  static PluginDescriptor Descriptor();
  void DefineParameters();
  void StartVoicing(const Voicing& voicing, int velocity);
  // Note-offs for every sounding chord and held trigger note; the lock is held.
  void StopEverything();
  void BeginTakeIfArmed();
  void SendQueue(bool capturing);
  void PollKeyboard();
  void HandleKeyPress(int key);
  void OnActionParam(int index, double v);
  void RunAction(int index);
  void RestoreScaleChoice();
  void ShiftGridOctave(int delta, SwitchView* shownSwitch);
  void RemoveFilterFlag(bool& flag, FilterBox box);
  ChordPopupChoice& ChoiceOf(FilterBox box);
  int32_t ExportSamplesPerBeat();
  // The host's tempo now, else the last it reported, else 120; the lock is held.
  double DragTempo();
  std::string WriteBarsFile(const std::vector<Voicing>& bars, double tempo, const std::string& what);
  StateTextResult ReadStateTexts();

  std::atomic<int> mPressedKey{-1};
  KeyPressQueue mKeyPresses;
  // Per parameter: whether the last value written to it was 1, so that a
  // host resending a held 1 runs no action again.
  std::array<bool, kParamCount> mActionHeld{};
  // Set while a restore announces the restored values: they run no action.
  bool mRestoring = false;
  // Set while the editor pushes a value (SetParameterFromEditor).
  bool mEditorEdit = false;
  std::unique_ptr<PluginEditor> mEditorParts;
};

}  // namespace velmora
