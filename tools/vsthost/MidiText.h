#pragma once

#include "tools/vsthost/VstHost.h"

#include <string>

namespace velmora::host {

// "C4" for 60, "C#4" for 61, "C-1" for 0.
std::string noteName(int note);
// Accepts a number 0..127 or a name such as C4, F#3, Bb-1; false otherwise.
bool parseNote(const std::string& text, int& note);
// One readable line: block, delta, status, channel, note name, velocity.
std::string describeMidi(const CapturedMidi& event);

}  // namespace velmora::host
