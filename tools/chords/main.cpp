// velmora-chords: lists the chords of a scale and deals a random grid from them,
// using the same engine as the plug-in.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "engine/ChordEngine.h"

namespace {

using velmora::ChordEngine;
using velmora::ChordEntry;

struct Options {
  int root = -1;
  int scale = -1;
  int loose = 0;
  long long seed = -1;  // -1: seed from the clock
};

enum class Parsed { Run, Help, Error };

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// A whole decimal number in 0..max, or -1.
int ParseIndex(const std::string& text, int max) {
  if (text.empty() || text.size() > 9) return -1;
  if (!std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); })) return -1;
  const int value = std::stoi(text);
  return value <= max ? value : -1;
}

// "C", "c#", "Db", "C#/Db" or 0..11.
int ParseRoot(const std::string& text) {
  const std::string wanted = Lower(text);
  for (int p = 0; p < velmora::kPitchClassCount; ++p) {
    const std::string longName = Lower(velmora::NoteLongName(p));
    const size_t slash = longName.find('/');
    if (wanted == longName || wanted == Lower(velmora::NoteShortName(p))) return p;
    if (slash != std::string::npos && wanted == longName.substr(slash + 1)) return p;
  }
  return ParseIndex(text, velmora::kPitchClassCount - 1);
}

// "Major", "dorian mode", "maj" or 0..18.
int ParseScale(const std::string& text) {
  const std::string wanted = Lower(text);
  for (int s = 0; s < velmora::kScaleCount; ++s) {
    if (wanted == Lower(velmora::ScaleLongName(s)) || wanted == Lower(velmora::ScaleShortName(s))) return s;
  }
  return ParseIndex(text, velmora::kScaleCount - 1);
}

Parsed Fail(const std::string& message) {
  std::fprintf(stderr, "velmora-chords: %s\n", message.c_str());
  return Parsed::Error;
}

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: velmora-chords --root NOTE --scale SCALE [--loose N] [--seed N]\n"
               "  NOTE   C, C#, Db, ... B (any case) or 0..11\n"
               "  SCALE  a scale name such as Major, \"Dorian Mode\" or dorian, or 0..18\n"
               "  --loose N  chord notes allowed outside the scale, 0..4 (default 0)\n"
               "  --seed N   seed for the random grid (default: the current time)\n");
}

Parsed ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--help" || flag == "-h") return Parsed::Help;
    if (i + 1 >= argc) {
      std::fprintf(stderr, "velmora-chords: %s needs a value\n", flag.c_str());
      return Parsed::Error;
    }
    const std::string value = argv[++i];
    if (flag == "--root") {
      options.root = ParseRoot(value);
    } else if (flag == "--scale") {
      options.scale = ParseScale(value);
    } else if (flag == "--loose") {
      options.loose = ParseIndex(value, 4);
    } else if (flag == "--seed") {
      options.seed = ParseIndex(value, 999999999);
      if (options.seed < 0) return Fail("--seed needs a number 0..999999999");
    } else {
      return Fail("unknown option " + flag);
    }
  }
  if (options.root < 0) return Fail("--root needs a note name or 0..11");
  if (options.scale < 0) return Fail("--scale needs a scale name or 0..18");
  if (options.loose < 0) return Fail("--loose needs a number 0..4");
  return Parsed::Run;
}

std::string TrimRight(std::string text) {
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// MIDI 60 is C4.
std::string NoteName(int note) {
  return velmora::NoteShortName(note % 12) + std::to_string(note / 12 - 1);
}

std::string VoicingText(const ChordEntry& cell) {
  std::string text;
  for (int note : velmora::VoiceChord(cell.notes, cell.octave, cell.inversion)) {
    if (!text.empty()) text += ' ';
    text += NoteName(note);
  }
  return text;
}

void PrintChordList(const ChordEngine& engine, const Options& options) {
  std::printf("%s on %s, loose matches %d: %zu chords\n", velmora::ScaleLongName(options.scale).c_str(),
              velmora::NoteLongName(options.root).c_str(), options.loose, engine.ChordList.size());
  int number = 1;
  for (const ChordEntry& chord : engine.ChordList) std::printf("%4d. %s\n", number++, chord.name.c_str());
}

// Row 3 at the top and cell 0 at the bottom left, as the editor shows the grid.
void PrintGrid(const ChordEngine& engine, unsigned seed) {
  std::printf("\nGrid (seed %u):\n", seed);
  for (int row = 3; row >= 0; --row) {
    std::string names;
    std::string voicings;
    for (int column = 0; column < 4; ++column) {
      const int index = row * 4 + column;
      const ChordEntry& cell = engine.ChordGrid[index];
      char label[64];
      std::snprintf(label, sizeof label, "[%2d] %-22s", index, cell.IsEmpty() ? "-" : cell.name.c_str());
      char voicing[64];
      std::snprintf(voicing, sizeof voicing, "     %-22s", VoicingText(cell).c_str());
      names += label;
      voicings += voicing;
    }
    std::printf("%s\n%s\n", TrimRight(names).c_str(), TrimRight(voicings).c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const Parsed parsed = ParseOptions(argc, argv, options);
  if (parsed != Parsed::Run) {
    PrintUsage(parsed == Parsed::Help ? stdout : stderr);
    return parsed == Parsed::Help ? 0 : 2;
  }
  const unsigned seed = options.seed >= 0 ? static_cast<unsigned>(options.seed)
                                          : static_cast<unsigned>(std::time(nullptr));

  ChordEngine engine;
  engine.SeedRandom(seed);
  engine.scalePopup.chosenRoot = options.root;
  engine.scalePopup.chosenScale = options.scale;
  engine.SelectScale(options.scale * velmora::kPitchClassCount + options.root);
  engine.SetLooseMatchLimit(options.loose);
  PrintChordList(engine, options);
  engine.RandomizeGrid();
  PrintGrid(engine, seed);
  return 0;
}
