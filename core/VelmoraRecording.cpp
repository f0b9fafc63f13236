// Recording takes, the MIDI export and the file drag.
#include <cmath>

#include "core/Velmora.h"

namespace velmora {
namespace {

constexpr double kAssumedTempo = 120.0;
// Room for a few minutes of chords, so that captures rarely reallocate.
constexpr size_t kTakeReserve = 4096;

}  // namespace

void Velmora::BeginTakeIfArmed() {
  auto lock = Lock();
  if (!HostTime.transportIsRunning) ReadHostTime(&HostTime);
  if (!HostTime.transportIsRunning || !RecordArmed || RecordingActive) return;
  RecordPosition = 0;
  RecordingActive = true;
  RecordedEvents.clear();
  RecordedEvents.reserve(kTakeReserve);
  if (mViews.dragButton != nullptr && mViews.dragButton->IsHidden()) mViews.dragButton->SetHidden(false);
}

int32_t Velmora::ExportSamplesPerBeat() {
  const double rate = SampleRate();
  // Without a tempo from the host now, the last one it reported (120 until it
  // reports one) keeps the ticks meaningful.
  int32_t samplesPerBeat = SamplesPerBeat(rate, HostTempo());
  if (samplesPerBeat == 0 && std::isfinite(HostTime.tempo)) samplesPerBeat = SamplesPerBeat(rate, HostTime.tempo);
  if (samplesPerBeat == 0) samplesPerBeat = SamplesPerBeat(rate, kAssumedTempo);
  return samplesPerBeat;
}

void Velmora::ExportRecording(const std::string& path) {
  auto lock = Lock();
  ExportJob job;
  job.samplesPerBeat = ExportSamplesPerBeat();
  if (job.samplesPerBeat == 0) return;  // no usable sample rate: no ticks can be computed
  job.ticksPerQuarterNote = TicksPerQuarterNote;
  job.path = path;
  job.events = mExporter.TakeEventBuffer();
  job.events.assign(RecordedEvents.begin(), RecordedEvents.end());
  mExporter.Submit(std::move(job));
}

void Velmora::WaitForExports() { mExporter.WaitUntilIdle(); }

void Velmora::StartFileDrag() {
  std::string path;
  FileDragSource* drag = nullptr;
  {
    auto lock = Lock();
    if (RecordedEvents.empty()) return;
    if (RecordArmed) {
      if (RecordingActive) ExportRecording(ExportPath);
      RecordingActive = false;
    }
    path = ExportPath;
    drag = mViews.drag;
  }
  // The drop target must find the whole file, and the drag loop must not
  // hold up processing.
  WaitForExports();
  if (drag != nullptr) drag->DragFile(path);
}

}  // namespace velmora
