// velmora-screenshot <out.png> [--chunk <out.chunk>] [--scale <percent>]:
// the editor as a musician sees it in use, drawn without a window and
// written as a PNG, at 100 % or at another of the editor's scales; with
// --chunk also the program chunk of that state, for a host to restore
// (tools/readme-picture.sh takes the README's picture from the real window).
// D Dorian with a filled grid (one cell locked, one playing from a host
// note), a chord held down in the list, a pitch class every chord must
// contain, entries in both filter boxes and Record armed.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/Velmora.h"
#include "editor/VelmoraEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"

namespace {

using namespace velmora;

class Showcase : public Velmora {
 public:
  Showcase() : Velmora(PluginHost::None()) {}  // no host

  // Everything a musician would do with the mouse, done the way the
  // controls do it.
  void Prepare() {
    {
      auto lock = Lock();
      Edit();
    }
    MidiMessage note;
    note.status = 0x90;
    note.data1 = 36 + 6;  // host note 42 plays cell 6
    note.data2 = 100;
    // A host note arrives on the host's processing thread, never the editor's.
    std::thread([&] {
      auto lock = Lock();
      HandleMidiMessage(note);
    }).join();
  }

  bool WriteChunk(const char* path) {
    ChunkBuffer chunk;
    AddChunkHeader(chunk);
    if (!SaveState(chunk)) return false;
    FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(chunk.Data(), 1, size_t(chunk.Size()), file) == size_t(chunk.Size());
    return std::fclose(file) == 0 && written;
  }

 private:
  void Edit() {
    SetScaleChoice(2, 16);  // D, Dorian Mode
    SetParameter(kScalesDropdown, (16 * 12 + 2) / double(kScaleRowCount));
    mEngine.ToggleKeyboardNote(21);  // pitch class A
    for (int type : {0, 7, 9, 6, 14, 1, 2, 22}) Filter(FilterBox::kInclusions, -1, type);
    Filter(FilterBox::kExclusions, 1, 13);  // C#/Db, dim
    Filter(FilterBox::kExclusions, 8, 3);   // G#/Ab, aug
    SetParameter(kLooseMatches, 0.25);
    SetParameter(kCustomInversion1, 1.0);
    mEngine.SeedRandom(5);
    SetParameter(kRandomizeGrid, 1.0);
    SetParameter(kRandomizeGrid, 0.0);
    mEngine.ChordGrid[13].locked = true;
    mEngine.ChordGrid[2].octave = -1;
    mEngine.views.grid->GridChanged();
    SetParameter(kRecord, 1.0);
  }

  void Filter(FilterBox box, int root, int type) {
    SetChordChoice(box, root, type);
    SetParameter(box == FilterBox::kExclusions ? kExclusionsDropdown : kInclusionsDropdown, 0.5);
  }
  void SetParameter(int index, double normalized) {
    GetParam(index)->SetFromNormalized(normalized);
    if (Editor() != nullptr) Editor()->SetParamFromPlugin(index, normalized, true);
    OnParamChanged(index);
  }
};

int Usage() {
  std::fputs("usage: velmora-screenshot <out.png> [--chunk <out.chunk>] [--scale <percent>]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argv[1][0] == '-') return Usage();
  const char* chunkPath = nullptr;
  int percent = 100;
  for (int i = 2; i < argc; i += 2) {
    const std::string option = argv[i];
    if (i + 1 >= argc) return Usage();
    if (option == "--chunk") {
      chunkPath = argv[i + 1];
    } else if (option == "--scale" && IsScaleStep(std::atoi(argv[i + 1]))) {
      percent = std::atoi(argv[i + 1]);
    } else {
      return Usage();
    }
  }
  Showcase plugin;
  auto& editor = static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(plugin.EditorParts()).Graphics());
  editor.SetUserScale(percent);
  editor.OpenWindow(nullptr);
  plugin.Prepare();
  editor.OnTimerTick();
  // The third row held down, where the window shows it.
  const int x = ScaleCoordinate(700, percent), y = ScaleCoordinate(7 + 33 * 2 + 16, percent);
  editor.OnMouseDown(x, y, MouseMods(true));
  editor.OnTimerTick();
  if (!editor.SaveSurfacePng(argv[1])) {
    std::fprintf(stderr, "velmora-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  if (chunkPath != nullptr && !plugin.WriteChunk(chunkPath)) {
    std::fprintf(stderr, "velmora-screenshot: cannot write %s\n", chunkPath);
    return 1;
  }
  return 0;
}
