// Redrawing only what changed gives exactly the picture of redrawing
// everything, and an idle tick paints nothing.
#include <random>

#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

std::vector<Pixel> Pixels(const RasterBitmap& surface) {
  std::vector<Pixel> all;
  for (int y = 0; y < surface.Height(); ++y) all.insert(all.end(), surface.Row(y), surface.Row(y) + surface.Width());
  return all;
}

class RedrawTest : public EditorTest {
 protected:
  // One thing a musician or the host does, picked at random.
  void Act(std::mt19937& random) {
    const int k = static_cast<int>(random() % 16);
    switch (random() % 10) {
      case 0: Click(700, RowY(k), kLeft); break;
      case 1: ui.OnMouseDown(700, RowY(k), kLeft); break;
      case 2: Click(CellCentre(k).first, CellCentre(k).second - 20, random() % 2 ? kLeft : kRight); break;
      case 3: host.HandleMidiMessage(HostNote(random() % 2 ? 0x90 : 0x80, 36 + k, 100)); break;
      case 4: Click(100 + 21 * k, 140, kRight); break;
      case 5: ui.OnMouseWheel(700, RowY(3), MouseMods(), random() % 2 ? 1.0f : -1.0f); break;
      case 6:
        host.SetChordChoice(FilterBox::kExclusions, k % 12, k);
        Host(kExclusionsDropdown, 0.5);
        break;
      case 7: Host(kRandomizeGrid, 1.0); break;
      case 8: Click(random() % 2 ? 700 : 735, 683); break;
      default: Click(CellCentre(k).first - 18, CellCentre(k).second + 17); break;  // an octave arrow
    }
    if (random() % 3 == 0) ui.OnMouseUp(700, RowY(k), MouseMods());
  }
};

TEST_F(RedrawTest, ChangedAreasAloneGiveTheFullPicture) {
  host.SetScaleChoice(2, 16);
  Host(kScalesDropdown, 194.0);
  Host(kRandomizeGrid, 1.0);
  std::mt19937 random(7);
  for (int step = 0; step < 150; ++step) {
    Act(random);
    Tick();
    const std::vector<Pixel> incremental = Pixels(*ui.DrawingSurface());
    ASSERT_TRUE(ui.RedrawAll());
    ASSERT_EQ(Pixels(*ui.DrawingSurface()), incremental) << "after step " << step;
  }
}

TEST_F(RedrawTest, AnIdleTickPaintsNothing) {
  host.SetScaleChoice(0, 0);
  Host(kScalesDropdown, 0.0);
  Host(kRandomizeGrid, 1.0);
  Tick();
  Tick();
  ui.ClearPaintedRects();
  Tick();
  EXPECT_TRUE(ui.PaintedRects().empty());
  host.HandleMidiMessage(HostNote(0x90, 37, 100));  // a cell starts sounding: only it is painted
  Tick();
  ASSERT_EQ(ui.PaintedRects().size(), 1u);
  const CellRect cell = GridCellRect(1);
  EXPECT_EQ(ui.PaintedRects()[0], Rect(cell.left, cell.top, cell.right, cell.bottom));
}

}  // namespace
}  // namespace velmora::test
