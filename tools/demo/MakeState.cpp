// velmora-make-state: writes a program state chunk, byte for byte what
// effGetChunk (program) answers, for an instance set up from the command line.
//   velmora-make-state [scale <row>] [cell <index> <root> <chordType> [<octave> [<inversion>]]]... <out>
// Rows, roots and chord types are the table numbers (scale row = scale * 12 +
// root; 0 is C Major). <out> "-" writes to standard output.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Velmora.h"
#include "engine/Tables.h"

namespace {

using velmora::ChordEngine;

// A whole decimal number in [low, high]; false otherwise.
bool ParseInt(const std::string& text, int low, int high, int& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  out = static_cast<int>(value);
  return true;
}

// One grid cell filled with the table chord of root and chordType.
struct Cell {
  int index = 0, root = 0, chordType = 0, octave = 0, inversion = 0;
};

struct Request {
  int scaleRow = -1;
  std::vector<Cell> cells;
  std::string out;
};

int Usage() {
  std::fputs(
      "usage: velmora-make-state [scale <row 0-227>]\n"
      "         [cell <index 0-15> <root 0-11> <chordType 0-29> [<octave -4..4> [<inversion 0-5>]]]...\n"
      "         <out file | ->\n",
      stderr);
  return 2;
}

bool ParseCell(const std::vector<std::string>& words, size_t& i, Cell& cell) {
  if (i + 3 >= words.size()) return false;
  if (!ParseInt(words[i + 1], 0, velmora::kGridCellCount - 1, cell.index) ||
      !ParseInt(words[i + 2], 0, velmora::kPitchClassCount - 1, cell.root) ||
      !ParseInt(words[i + 3], 0, velmora::kChordTypeCount - 1, cell.chordType))
    return false;
  i += 3;
  // The optional numbers stop at the next word that is not one; the output
  // name is always left over.
  if (i + 2 < words.size() && ParseInt(words[i + 1], velmora::kMinOctave, velmora::kMaxOctave, cell.octave)) {
    ++i;
    if (i + 2 < words.size() && ParseInt(words[i + 1], 0, velmora::kInversionCount - 1, cell.inversion)) ++i;
  }
  return true;
}

bool ParseRequest(const std::vector<std::string>& words, Request& request) {
  if (words.empty()) return false;
  for (size_t i = 0; i + 1 < words.size(); ++i) {
    if (words[i] == "scale" && i + 2 < words.size()) {
      if (!ParseInt(words[++i], 0, velmora::kScaleRowCount - 1, request.scaleRow)) return false;
    } else if (words[i] == "cell") {
      Cell cell;
      if (!ParseCell(words, i, cell)) return false;
      request.cells.push_back(cell);
    } else {
      return false;
    }
  }
  request.out = words.back();
  return true;
}

// A plug-in whose engine state is set straight from the request.
class StateMaker : public velmora::Velmora {
 public:
  StateMaker() : Velmora(velmora::PluginHost::None()) {}  // no host: every host call answers 0

  void Apply(const Request& request) {
    auto lock = Lock();
    if (request.scaleRow >= 0) mEngine.SelectScale(request.scaleRow);
    for (const Cell& cell : request.cells) {
      velmora::ChordEntry entry =
          velmora::EntryFromChordRow(velmora::ChordRowIndex(cell.root, cell.chordType), cell.index);
      entry.octave = cell.octave;
      entry.inversion = cell.inversion;
      mEngine.ChordGrid[static_cast<size_t>(cell.index)] = entry;
    }
  }
};

bool Write(const velmora::ChunkBuffer& chunk, const std::string& path) {
  FILE* file = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const size_t size = static_cast<size_t>(chunk.Size());
  bool ok = std::fwrite(chunk.Data(), 1, size, file) == size;
  ok = (file == stdout ? std::fflush(file) == 0 : std::fclose(file) == 0) && ok;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  Request request;
  if (!ParseRequest(std::vector<std::string>(argv + 1, argv + argc), request)) return Usage();
  StateMaker plugin;
  plugin.Apply(request);
  velmora::ChunkBuffer chunk;
  velmora::IPluginBase::AddChunkHeader(chunk);
  if (!plugin.SaveState(chunk)) {
    std::fputs("velmora-make-state: the state could not be written\n", stderr);
    return 1;
  }
  if (!Write(chunk, request.out)) {
    std::fprintf(stderr, "velmora-make-state: cannot write %s\n", request.out.c_str());
    return 1;
  }
  return 0;
}
