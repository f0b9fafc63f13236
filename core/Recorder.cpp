#include "core/Recorder.h"

#include <limits>

namespace velmora {

void Recorder::SetExportPath(const std::string& path) {
  mExportPath = path;
  mExporter.SetPath(path);
}

void Recorder::SetArmed(double value, int32_t samplesPerBeat) {
  if (value != (mRecordArmed ? 1.0 : 0.0)) mRecordArmed = value != 0.0;
  if (mRecordArmed) return;
  mRecordingActive = false;
  if (HasRecordedEvents()) ExportRecording(samplesPerBeat);
}

bool Recorder::BeginTakeIfArmed(bool transportRunning) {
  if (!transportRunning || !mRecordArmed || mRecordingActive) return false;
  mRecordPosition = 0;
  mRecordingActive = true;
  mRecordedEvents = 0;
  mExporter.NewTake();
  return true;
}

void Recorder::CaptureSent(const MidiMessage& message) {
  const int kind = message.status >> 4;
  if (kind != 0x9 && kind != 0x8) return;
  const bool on = kind == 0x9;
  mExporter.Capture(mRecordPosition, RecordedEvent{message.data1, on ? message.data2 : 0, on});
  ++mRecordedEvents;
}

void Recorder::Advance(int frames) {
  const int64_t position = int64_t{mRecordPosition} + frames;
  mRecordPosition = position > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max()
                                                                   : static_cast<int32_t>(position);
}

void Recorder::EndTake(int32_t samplesPerBeat) {
  if (HasRecordedEvents()) ExportRecording(samplesPerBeat);
  mRecordingActive = false;
}

void Recorder::EndTakeForDrag(int32_t samplesPerBeat) {
  if (!mRecordArmed) return;
  if (mRecordingActive) ExportRecording(samplesPerBeat);
  mRecordingActive = false;
}

void Recorder::ExportRecording(int32_t samplesPerBeat) {
  // Without a usable sample rate no tick can be computed.
  if (samplesPerBeat <= 0) return;
  mExporter.Export(ExportSettings{samplesPerBeat, mTicksPerQuarterNote, mRecordPosition});
}

}  // namespace velmora
