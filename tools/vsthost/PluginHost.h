#pragma once

#include "framework/plugin/vst2/Vst2Abi.h"

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::host {

// effGetChunk/effSetChunk index: 0 the whole bank, 1 one program.
enum class ChunkKind : std::int32_t { Bank = 0, Program = 1 };

// One event the plug-in sent through audioMasterProcessEvents.
struct CapturedMidi {
  std::int64_t block = -1;  // the processing block it was sent in; -1 outside processing
  std::int32_t deltaFrames = 0;
  std::int32_t type = kVstMidiType;  // kVstMidiType or kVstSysExType
  std::vector<std::uint8_t> bytes;   // status and two data bytes, or the whole dump
};

// One automation call of the plug-in.
struct AutomationRecord {
  enum class Kind { Automate, BeginEdit, EndEdit };
  Kind kind = Kind::Automate;
  std::int32_t index = 0;
  float value = 0.0f;  // Automate only
};

// What the session language needs of a host for one plug-in instance,
// whatever the plug-in's format (VstHost, ClapHost). Values of parameters
// are normalised (0..1) here for both formats.
class PluginHost {
public:
  virtual ~PluginHost() = default;

  virtual bool load(const std::string& path) = 0;
  virtual void close() = 0;
  virtual bool isLoaded() const = 0;
  virtual const std::string& error() const = 0;

  virtual void open() = 0;
  virtual void setSampleRate(double rate) = 0;
  virtual bool setBlockSize(std::int32_t frames) = 0;
  virtual void resume() = 0;
  virtual void suspend() = 0;
  virtual std::int32_t blockSize() const = 0;

  virtual void setTempo(double beatsPerMinute) = 0;
  virtual void setTransportPlaying(bool playing) = 0;
  virtual void setOffline(bool offline) = 0;

  virtual bool queueMidi(std::int32_t deltaFrames, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) = 0;
  virtual bool process(std::int32_t blocks = 1) = 0;
  virtual std::int64_t blocksProcessed() const = 0;
  virtual float outputPeak() const = 0;

  virtual std::vector<CapturedMidi> capturedMidi() const = 0;
  virtual std::vector<CapturedMidi> takeCapturedMidi() = 0;
  virtual std::vector<AutomationRecord> automation() const = 0;
  virtual std::vector<AutomationRecord> takeAutomation() = 0;

  virtual std::int32_t parameterCount() const = 0;
  virtual float parameter(std::int32_t index) const = 0;
  virtual bool setParameter(std::int32_t index, float value) = 0;
  virtual std::string parameterName(std::int32_t index) = 0;
  virtual std::string parameterDisplay(std::int32_t index) = 0;
  virtual std::string parameterLabel(std::int32_t index) = 0;
  virtual std::int32_t findParameter(const std::string& name) = 0;

  virtual std::intptr_t canDo(const std::string& capability) = 0;
  virtual bool getChunk(ChunkKind kind, std::vector<std::uint8_t>& data) = 0;
  virtual bool setChunk(ChunkKind kind, const std::vector<std::uint8_t>& data) = 0;
  // The plug-in's identity and record, for the session's info command.
  virtual void describe(std::ostream& out) = 0;
};

}  // namespace velmora::host
