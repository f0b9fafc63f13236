#pragma once

#include <cstdint>
#include <string>

#include "core/MidiExporter.h"
#include "framework/plugin/MidiMessage.h"

namespace velmora {

// The recorder of one instance: whether Record is armed, the take in
// progress and its position, and the hand-off of what block processing
// sends to the writer of the exported file.
//
// Threads: [any, under the plug-in lock] for every call but WaitForExports,
// the processing thread included; none of them allocates, waits or touches
// the disk (the [writer] thread does). WaitForExports is [editor] or
// [control], without the lock.
class Recorder {
 public:
  // The file every export writes; set once, at construction.
  void SetExportPath(const std::string& path);
  // Where the take's writer sends its messages.
  void SetMessageSink(MessageSink sink) { mExporter.SetMessageSink(std::move(sink)); }
  const std::string& ExportPath() const { return mExportPath; }
  // The latest take's own file ("" before one was written); without the lock.
  std::string LatestTakePath() { return mExporter.LatestTakePath(); }

  // The Record parameter's value. Off ends a take and, when events exist,
  // exports them (again at every later notification with 0).
  void SetArmed(double value, int32_t samplesPerBeat);
  // A take starts when the transport runs and Record is armed; answers
  // whether one did.
  bool BeginTakeIfArmed(bool transportRunning);
  // What the block sends while the transport runs with Record armed, take
  // or no take (then it lands at the frozen position until the next take).
  void CaptureSent(const MidiMessage& message);
  void Advance(int frames);
  // A take in progress while Record is armed, which a stopped transport ends.
  bool TakeInProgress() const { return mRecordArmed && mRecordingActive; }
  // Ends the take, exporting it when events exist.
  void EndTake(int32_t samplesPerBeat);
  // Ends a take in progress first (the drag's order), exporting it.
  void EndTakeForDrag(int32_t samplesPerBeat);
  // Writes RecordedEvents to ExportPath, in ticks of samplesPerBeat (nothing
  // when it is not positive); the take state stays.
  void ExportRecording(int32_t samplesPerBeat);

  bool RecordArmed() const { return mRecordArmed; }
  bool RecordingActive() const { return mRecordingActive; }
  int32_t RecordPosition() const { return mRecordPosition; }
  int32_t TicksPerQuarterNote() const { return mTicksPerQuarterNote; }
  bool HasRecordedEvents() const { return mRecordedEvents > 0; }

  void WaitForExports() { mExporter.WaitForExports(); }
  // RecordedEvents as the writer holds them; editor or control thread.
  std::vector<PositionedEvent> RecordedEvents() { return mExporter.TakeCopy(); }

 private:
  bool mRecordArmed = false;
  bool mRecordingActive = false;
  int32_t mRecordPosition = 0;
  int32_t mTicksPerQuarterNote = 120;
  int64_t mRecordedEvents = 0;
  std::string mExportPath;
  MidiExporter mExporter;
};

}  // namespace velmora
