// Recording takes, the MIDI export and the file drag.
#include "core/Velmora.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace velmora {
namespace {

constexpr double kAssumedTempo = 120.0;

}  // namespace

int32_t Velmora::ExportSamplesPerBeat() {
  const double rate = SampleRate();
  // Without a tempo from the host now, the last one it reported (120 until it
  // reports one) keeps the ticks meaningful.
  int32_t samplesPerBeat = SamplesPerBeat(rate, HostTempo());
  if (samplesPerBeat == 0 && std::isfinite(mHostTime.tempo)) samplesPerBeat = SamplesPerBeat(rate, mHostTime.tempo);
  if (samplesPerBeat == 0) samplesPerBeat = SamplesPerBeat(rate, kAssumedTempo);
  return samplesPerBeat;
}

void Velmora::StartFileDrag() {
  std::string path;
  FileDragSource* drag = nullptr;
  {
    auto lock = Lock();
    if (!mRecorder.HasRecordedEvents()) return;
    mRecorder.EndTakeForDrag(ExportSamplesPerBeat());
    path = mRecorder.ExportPath();
    drag = mViews.drag;
  }
  // The drop target must find the whole file, and the drag loop must not
  // hold up processing.
  WaitForExports();
  // This instance's own latest take; the shared latest file only when that
  // one could not be written.
  const std::string own = mRecorder.LatestTakePath();
  if (!own.empty()) path = own;
  // Only a take that reached the disk is offered: a host that receives a
  // missing or empty file puts nothing, or a broken clip, in the arrangement.
  std::error_code error;
  const auto size = std::filesystem::file_size(std::filesystem::u8path(path), error);
  if (error || size == 0) return;
  if (drag != nullptr) drag->DragFile(path);
}

}  // namespace velmora
