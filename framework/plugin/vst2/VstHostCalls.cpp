// The plug-in-to-host operations of IPluginVST. A host may answer any of
// them with 0 or null; the plug-in then keeps what it had.
#include <algorithm>
#include <cmath>
#include <limits>

#include "framework/plugin/vst2/HostIdentity.h"
#include "framework/plugin/vst2/IPluginVST.h"

namespace velmora {

namespace {

constexpr int32_t kTimeRequest =
    kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
constexpr size_t kProductTextSize = 256;

// Transport numbers from a host are used only when they are real numbers
// not below zero; a NaN or an infinity is as good as no answer.
bool Usable(double v) { return std::isfinite(v) && v >= 0.0; }

}  // namespace

void IPluginVST::BeginParamEdit(int index) { CallHost(audioMasterBeginEdit, index); }

void IPluginVST::AutomateParam(int index, double normalized) {
  CallHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(normalized));
}

void IPluginVST::EndParamEdit(int index) { CallHost(audioMasterEndEdit, index); }

void IPluginVST::RefreshHostDisplay() { CallHost(audioMasterUpdateDisplay); }

bool IPluginVST::HostIsOffline() {
  return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

const VstTimeInfo* IPluginVST::HostTime(int32_t request) {
  return reinterpret_cast<const VstTimeInfo*>(CallHost(audioMasterGetTime, 0, request));
}

int IPluginVST::HostSamplePosition() {
  const VstTimeInfo* time = HostTime(0);
  if (!time || !Usable(time->samplePos)) return 0;
  double rounded = std::floor(time->samplePos + 0.5);
  constexpr double kLargest = std::numeric_limits<int32_t>::max();
  return rounded >= kLargest ? std::numeric_limits<int32_t>::max() : static_cast<int>(rounded);
}

double IPluginVST::HostTempo() {
  const VstTimeInfo* time = HostTime(kVstTempoValid);
  if (!time || !(time->flags & kVstTempoValid) || !Usable(time->tempo)) return 0.0;
  return time->tempo;
}

void IPluginVST::HostTimeSignature(int* numerator, int* denominator) {
  const VstTimeInfo* time = HostTime(kVstTimeSigValid);
  if (!time || !(time->flags & kVstTimeSigValid)) return;
  if (time->timeSigNumerator < 0 || time->timeSigDenominator < 0) return;
  if (numerator) *numerator = time->timeSigNumerator;
  if (denominator) *denominator = time->timeSigDenominator;
}

void IPluginVST::ReadHostTime(TimeInfo* timeInfo) {
  if (!timeInfo) return;
  const VstTimeInfo* time = HostTime(kTimeRequest);
  if (!time || !(time->flags & kTimeRequest)) return;
  TimeInfo& info = *timeInfo;
  int32_t flags = time->flags;
  // Positions before the song start may be negative; only NaN and
  // infinities are refused.
  if (std::isfinite(time->samplePos)) info.samplePos = time->samplePos;
  if ((flags & kVstPpqPosValid) && Usable(time->ppqPos)) info.ppqPos = time->ppqPos;
  if ((flags & kVstTempoValid) && Usable(time->tempo) && time->tempo > 0.0)
    info.tempo = time->tempo;
  if ((flags & kVstBarsValid) && Usable(time->barStartPos)) info.lastBar = time->barStartPos;
  if ((flags & kVstCyclePosValid) && Usable(time->cycleStartPos) && Usable(time->cycleEndPos)) {
    info.cycleStart = time->cycleStartPos;
    info.cycleEnd = time->cycleEndPos;
  }
  if ((flags & kVstTimeSigValid) && time->timeSigNumerator > 0 && time->timeSigDenominator > 0) {
    info.numerator = time->timeSigNumerator;
    info.denominator = time->timeSigDenominator;
  }
  info.transportIsRunning = (flags & kVstTransportPlaying) != 0;
  info.transportLoopEnabled = (flags & kVstTransportCycleActive) != 0;
}

HostCode IPluginVST::IdentifyHost(int32_t* version) {
  char product[kProductTextSize];
  product[0] = '\0';
  CallHost(audioMasterGetProductString, 0, 0, product);
  // A host that fills the whole buffer still leaves us a terminated text.
  product[kProductTextSize - 1] = '\0';
  if (version) *version = product[0] ? PackHostVersion(CallHost(audioMasterGetVendorVersion)) : 0;
  return HostCodeFromProduct(product);
}

// One event list on the stack per message: nothing is allocated, so this is
// safe on the processing thread. The offset counts from the current slice;
// outputs keep time order and stay inside the block.
bool IPluginVST::SendMidi(const MidiMessage& message) {
  const int64_t wanted = int64_t{mSliceStart} + std::max(message.offset, 0);
  const int64_t last = std::max<int64_t>(mBlockFrames > 0 ? mBlockFrames - 1 : 0, mLastOutFrame);
  mLastOutFrame = static_cast<int>(std::clamp<int64_t>(wanted, mLastOutFrame, last));
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = mLastOutFrame;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

bool IPluginVST::SendSysExMessage(const SysExMessage& message) {
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.dumpBytes = message.size;
  // The host only reads the dump; the record's field is not const.
  event.sysexDump = reinterpret_cast<char*>(const_cast<uint8_t*>(message.data));
  VstEvents events{};
  events.numEvents = 1;
  events.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &events) == 1;
}

}  // namespace velmora
