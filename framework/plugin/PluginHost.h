#pragma once

#include <cstdint>

#include "framework/plugin/HostCode.h"
#include "framework/plugin/MidiMessage.h"
#include "framework/plugin/TimeInfo.h"

namespace velmora {

// What a plug-in asks of whoever hosts it. Each format's adapter implements
// it over its binary interface and owns the plug-in; a plug-in with no
// adapter (tests, tools) gets this do-nothing one, or a recording one.
// Every answer may be "nothing": the plug-in then keeps what it had.
//
// Threads: each call is made from the thread of the plug-in entry that makes
// it, with the plug-in lock held, except LogMessage ([any]).
// - [processing] SendMidi, SendSysExMessage, ReadHostTime, HostTempo,
//   HostTimeSignature, HostSamplePosition: no allocation, no waiting.
// - [editor, under the lock] BeginParamEdit, AutomateParam, EndParamEdit,
//   RequestProcessing, EditorResized.
// - [control] the rest.
class PluginHost {
 public:
  virtual ~PluginHost() = default;

  // A user gesture on parameter index: its start, each value, its end.
  virtual void BeginParamEdit(int /*index*/) {}
  virtual void AutomateParam(int /*index*/, double /*normalized*/) {}
  virtual void EndParamEdit(int /*index*/) {}
  // Parameter names, texts or presets changed beyond their values.
  virtual void RefreshHostDisplay() {}
  virtual bool HostIsOffline() { return false; }
  virtual int HostSamplePosition() { return 0; }
  // 0 when the host gives none.
  virtual double HostTempo() { return 0.0; }
  // Leaves both untouched when the host gives none.
  virtual void HostTimeSignature(int* /*numerator*/, int* /*denominator*/) {}
  // Fills in what the host knows; leaves the rest as the caller set it.
  virtual void ReadHostTime(TimeInfo* /*timeInfo*/) {}
  // Which host this is, with its version (0 when unknown).
  virtual HostCode IdentifyHost(int32_t* version) {
    if (version) *version = 0;
    return kHostUnknown;
  }
  // The editor's window is now width x height.
  virtual void EditorResized(int /*width*/, int /*height*/) {}
  // An editor was attached, of this size.
  virtual void EditorAttached(int /*width*/, int /*height*/) {}
  virtual void LatencyChanged(int /*frames*/) {}
  // The host's setup is known (the host has been identified).
  virtual void InitForHost() {}
  // [processing] MIDI out at message.offset of the current block; false
  // when the host took none.
  virtual bool SendMidi(const MidiMessage& /*message*/) { return false; }
  virtual bool SendSysExMessage(const SysExMessage& /*message*/) { return false; }
  // MIDI was queued outside processing: a host that paused processing is
  // asked to go on.
  virtual void RequestProcessing() {}
  // [any] One line for the host's log; false when the host keeps none (the
  // plug-in then writes it to the standard error stream).
  virtual bool LogMessage(const char* /*line*/) const { return false; }

  // A host that does nothing, for plug-ins made without an adapter.
  static PluginHost& None();
};

}  // namespace velmora
