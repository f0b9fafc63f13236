#pragma once

#include "framework/plugin/IPluginBase.h"

namespace velmora::test {

// The test plug-ins' descriptor: the maker and version of Velmora, state
// chunks, an instrument doing MIDI, unless a test changes the fields.
inline PluginDescriptor TestDescriptor(int paramCount, const char* channelIO, int presetCount, const char* effectName,
                                       int32_t uniqueId) {
  PluginDescriptor d;
  d.paramCount = paramCount;
  d.channelIO = channelIO;
  d.presetCount = presetCount;
  d.effectName = effectName;
  d.makerString = "LumarexLLC";
  d.version = 0x00010400;
  d.uniqueId = uniqueId;
  d.stateChunks = true;
  d.isInstrument = true;
  d.doesMidi = true;
  return d;
}

// The same without state chunks and MIDI, as a plain effect-like instrument.
inline PluginDescriptor WithoutChunksOrMidi(PluginDescriptor d) {
  d.stateChunks = false;
  d.doesMidi = false;
  return d;
}

}  // namespace velmora::test
