#pragma once

#include <cstdint>

namespace velmora {

// One short MIDI message; offset counts frames from the start of the block
// in which it is sent.
struct MidiMessage {
  int32_t offset = 0;
  uint8_t status = 0;
  uint8_t data1 = 0;
  uint8_t data2 = 0;
};

// One system-exclusive message; the bytes belong to the sender.
struct SysExMessage {
  int32_t offset = 0;
  int32_t size = 0;
  const uint8_t* data = nullptr;
};

}  // namespace velmora
