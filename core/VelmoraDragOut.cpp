// Chords and the grid dragged out of the editor as MIDI files.
#include "core/Velmora.h"

#include <cmath>
#include <filesystem>

#include "core/DragFiles.h"

namespace velmora {

double Velmora::DragTempo() {
  const double now = HostTempo();
  if (now > 0.0 && std::isfinite(now)) return now;
  if (mHostTime.tempo > 0.0 && std::isfinite(mHostTime.tempo)) return mHostTime.tempo;
  return kDragDefaultTempo;
}

std::string Velmora::WriteChordDragFile(const ChordEntry& chord, int cell) {
  if (chord.IsEmpty()) return std::string();
  const Voicing voicing = VoiceChord(chord.notes, chord.octave, chord.inversion);
  // A chord shifted out of MIDI's notes altogether has nothing to offer.
  if (voicing.empty()) return std::string();
  double tempo = kDragDefaultTempo;
  {
    auto lock = Lock();
    tempo = DragTempo();
  }
  const std::string what = cell < 0 ? chord.name : "Cell " + std::to_string(cell + 1) + " - " + chord.name;
  return WriteBarsFile({voicing}, tempo, what);
}

std::string Velmora::WriteGridDragFile() {
  GridCells cells;
  double tempo = kDragDefaultTempo;
  {
    auto lock = Lock();
    cells = mEngine.ChordGrid;
    tempo = DragTempo();
  }
  std::vector<Voicing> bars;
  for (const ChordEntry& cell : cells) {
    if (!cell.IsEmpty()) bars.push_back(VoiceChord(cell.notes, cell.octave, cell.inversion));
  }
  if (bars.empty()) return std::string();
  return WriteBarsFile(bars, tempo, "Velmora grid");
}

std::string Velmora::WriteBarsFile(const std::vector<Voicing>& bars, double tempo, const std::string& what) {
  MidiFile file = BuildChordBarsFile(bars, tempo);
  file.SetMessageSink([this](const std::string& line) { LogMessage(line.c_str()); });
  const std::filesystem::path drags =
      std::filesystem::u8path(mAppDataFolder) / MidiExporter::kTakesFolder / kDragsFolder;
  return WriteDragFile(drags.u8string(), DragFileName(what), file);
}

}  // namespace velmora
