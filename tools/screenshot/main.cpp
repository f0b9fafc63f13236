// velmora-screenshot <out.png>: the editor as a musician sees it in use,
// drawn without a window and written as a PNG (the README's picture).
// D Dorian with a filled grid (one cell locked, one playing from a host
// note), a chord held down in the list, a pitch class every chord must
// contain, entries in both filter boxes and Record armed.
#include <cstdio>
#include <string>

#include "core/Velmora.h"
#include "editor/VelmoraEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"

namespace {

using namespace velmora;

class Showcase : public Velmora {
 public:
  Showcase() : Velmora(nullptr) {}  // no host

  // Everything a musician would do with the mouse, done the way the
  // controls do it.
  void Prepare() {
    auto lock = Lock();
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
    MidiMessage note;
    note.status = 0x90;
    note.data1 = 36 + 6;  // host note 42 plays cell 6
    note.data2 = 100;
    HandleMidiMessage(note);
  }

 private:
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: velmora-screenshot <out.png>\n", stderr);
    return 2;
  }
  Showcase plugin;
  auto& editor = static_cast<HeadlessGraphics&>(plugin.EditorParts().Graphics());
  editor.OpenWindow(nullptr);
  plugin.Prepare();
  editor.OnTimerTick();
  editor.OnMouseDown(700, 7 + 33 * 2 + 16, MouseMods(true));  // the third row held down
  editor.OnTimerTick();
  if (!editor.SaveSurfacePng(argv[1])) {
    std::fprintf(stderr, "velmora-screenshot: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
