#include "tools/vsthost/MidiText.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace velmora::host {
namespace {

const char* const kNoteNames[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
const int kLetterPitch[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G

std::string hexByte(int value) {
  char text[3];
  std::snprintf(text, sizeof text, "%02X", value & 0xFF);
  return text;
}

const char* statusKind(int status) {
  switch (status & 0xF0) {
    case 0x80: return "note-off";
    case 0x90: return "note-on";
    case 0xA0: return "aftertouch";
    case 0xB0: return "control";
    case 0xC0: return "program";
    case 0xD0: return "pressure";
    case 0xE0: return "pitch-bend";
    default: return "system";
  }
}

}  // namespace

std::string noteName(int note) {
  if (note < 0 || note > 127) return "?";
  return kNoteNames[note % 12] + std::to_string(note / 12 - 1);
}

bool parseNote(const std::string& text, int& note) {
  if (text.empty()) return false;
  std::size_t used = 0;
  int value = 0;
  if (std::isdigit(static_cast<unsigned char>(text[0]))) {
    if (text.size() > 3) return false;
    for (char c : text) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
      value = value * 10 + (c - '0');
    }
  } else {
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    if (letter < 'A' || letter > 'G') return false;
    int pitch = kLetterPitch[letter - 'A'];
    used = 1;
    if (used < text.size() && (text[used] == '#' || text[used] == 'b')) pitch += text[used++] == '#' ? 1 : -1;
    const std::string octaveText = text.substr(used);
    if (octaveText.empty() || octaveText.size() > 2) return false;
    const bool negative = octaveText[0] == '-';
    if (negative && octaveText.size() != 2) return false;
    for (std::size_t i = negative ? 1 : 0; i < octaveText.size(); ++i)
      if (!std::isdigit(static_cast<unsigned char>(octaveText[i]))) return false;
    const int octave = std::stoi(octaveText);
    value = (octave + 1) * 12 + pitch;
  }
  if (value < 0 || value > 127) return false;
  note = value;
  return true;
}

std::string describeMidi(const CapturedMidi& event) {
  std::ostringstream line;
  line << "block " << event.block << "  delta " << event.deltaFrames << "  ";
  if (event.type == kVstSysExType) {
    line << "sysex " << event.bytes.size() << " bytes:";
    for (std::uint8_t byte : event.bytes) line << ' ' << hexByte(byte);
    return line.str();
  }
  const int status = event.bytes.size() > 0 ? event.bytes[0] : 0;
  const int data1 = event.bytes.size() > 1 ? event.bytes[1] : 0;
  const int data2 = event.bytes.size() > 2 ? event.bytes[2] : 0;
  line << "status " << hexByte(status) << ' ' << statusKind(status);
  if (status >= 0xF0) {
    line << "  data " << data1 << ' ' << data2;
    return line.str();
  }
  line << "  ch " << (status & 0x0F) + 1;
  if ((status & 0xE0) == 0x80)
    line << "  " << noteName(data1) << " (" << data1 << ")  vel " << data2;
  else
    line << "  data " << data1 << ' ' << data2;
  return line.str();
}

}  // namespace velmora::host
