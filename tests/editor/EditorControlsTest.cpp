// The editor's controls as a musician uses them, through the real panel.
#include <algorithm>

#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

// C major, every loose match: a list far longer than a page.
class ListTest : public EditorTest {
 protected:
  ListTest() {
    host.SetScaleChoice(0, 0);
    Host(kScalesDropdown, 0.0);
    Host(kLooseMatches, 1.0);
    Tick();
  }
  // The rows of the thumb drawn in the position bar at column x: the first
  // and one past the last.
  std::pair<int, int> ThumbRows(int x, int top, int height) const {
    int first = -1, end = -1;
    for (int y = top; y < top + height; ++y) {
      if (At(x, y) != Rgb(150, 150, 142)) continue;
      if (first < 0) first = y;
      end = y + 1;
    }
    return {first, end};
  }
};

TEST_F(ListTest, PagesByWholeNotchesAndRefusesPartialScrolls) {
  ListOfChordsControl& list = *Controls().chordList;
  const std::vector<ChordEntry> all = host.ChordListCopy();
  ASSERT_GT(all.size(), 25u);
  EXPECT_EQ(Row(0).Label(), all[0].name);
  ui.OnMouseWheel(700, RowY(3), MouseMods(), 1.0f);  // away from the user at the top: refused
  EXPECT_EQ(list.ScrollOffset(), 0);
  ui.OnMouseWheel(700, RowY(3), MouseMods(), -1.0f);
  EXPECT_EQ(list.ScrollOffset(), 1);
  EXPECT_EQ(Row(0).Label(), all[1].name);
  const int last = static_cast<int>(all.size()) - 20;
  ui.OnMouseWheel(700, RowY(3), MouseMods(), -float(last));  // one notch past the end: refused as a whole
  EXPECT_EQ(list.ScrollOffset(), 1);
  ui.OnMouseWheel(700, RowY(3), MouseMods(), -float(last - 1));
  EXPECT_EQ(list.ScrollOffset(), last);
  EXPECT_EQ(Row(19).Label(), all.back().name);
  Host(kLooseMatches, 0.0);  // a rebuild starts at the top again
  Tick();
  EXPECT_EQ(list.ScrollOffset(), 0);
}

TEST_F(ListTest, TheBarPagesByAPressBesideItsThumbAndDragsTheListAlong) {
  Host(kLooseMatches, 4.0);  // the longest list C major has
  Tick();
  ListOfChordsControl& list = *Controls().chordList;
  const std::vector<ChordEntry> all = host.ChordListCopy();
  const int last = static_cast<int>(all.size()) - 20;
  ASSERT_GT(last, 300);
  const int x = ListOfChordsControl::kBarX, top = ListOfChordsControl::kBarTop;
  const int bottom = top + ListOfChordsControl::kBarHeight;
  // Hit beside the rows, never on them.
  EXPECT_EQ(ui.GetControl(ui.ControlAt(ListOfChordsControl::kBarHitLeft - 1, RowY(5))), &Row(5));
  EXPECT_EQ(ui.GetControl(ui.ControlAt(ListOfChordsControl::kBarHitLeft, RowY(5))), &list);
  EXPECT_EQ(ui.GetControl(ui.ControlAt(ListOfChordsControl::kBarHitRight - 1, RowY(5))), &list);
  EXPECT_NE(ui.GetControl(ui.ControlAt(ListOfChordsControl::kBarHitRight, RowY(5))), &list);
  host.SendBlock();
  Click(ListOfChordsControl::kBarHitLeft, bottom - 1);  // below the thumb: a page on
  EXPECT_EQ(list.ScrollOffset(), 20);
  EXPECT_EQ(Row(0).Label(), all[20].name);
  Click(ListOfChordsControl::kBarHitRight - 1, top);  // above it: a page back
  EXPECT_EQ(list.ScrollOffset(), 0);
  ui.OnMouseWheel(700, RowY(3), MouseMods(), -float(last - 5));
  Click(x, bottom - 1);  // the last page, not past it
  EXPECT_EQ(list.ScrollOffset(), last);
  EXPECT_EQ(Row(19).Label(), all.back().name);
  ui.OnMouseDown(x, top, kLeft);  // a page press drags nothing
  ui.OnMouseDrag(x, bottom, kLeft);
  ui.OnMouseUp(x, bottom, MouseMods());
  EXPECT_EQ(list.ScrollOffset(), last - 20);
  ui.OnMouseWheel(700, RowY(3), MouseMods(), float(last - 20));
  ASSERT_EQ(list.ScrollOffset(), 0);
  Tick();
  const auto [thumbTop, thumbEnd] = ThumbRows(x, top, ListOfChordsControl::kBarHeight);
  ASSERT_EQ(thumbTop, top);
  const int travel = ListOfChordsControl::kBarHeight - (thumbEnd - thumbTop);
  const int grip = (thumbTop + thumbEnd) / 2;
  ui.OnMouseDown(x + 1, grip, kLeft);
  ui.OnMouseDrag(x + 1, grip + travel / 2, kLeft);  // half the travel: half the list
  EXPECT_NEAR(list.ScrollOffset(), last / 2, 1);
  EXPECT_EQ(Row(0).Label(), all[static_cast<size_t>(list.ScrollOffset())].name);
  Tick();
  EXPECT_NEAR(ThumbRows(x, top, ListOfChordsControl::kBarHeight).first, thumbTop + travel / 2, 1);
  ui.OnMouseDrag(x + 1, bottom + 50, kLeft);  // past the end: the last page
  EXPECT_EQ(list.ScrollOffset(), last);
  ui.OnMouseDrag(300, grip, kLeft);  // only the height counts: back where it pressed
  EXPECT_EQ(list.ScrollOffset(), 0);
  ui.OnMouseUp(300, grip, MouseMods());
  ui.OnMouseDrag(x + 1, bottom, kLeft);  // let go: nothing follows
  EXPECT_EQ(list.ScrollOffset(), 0);
  EXPECT_TRUE(host.SendBlock().empty());  // no chord played on the way
}

// Both columns of the inclusion box scrolled: 12 roots and 20 chord types.
TEST_F(ListTest, FilterBarsPageAndDragWithoutRemovingAndKeepClearOfTheMarks) {
  for (int root = 0; root < 12; ++root) {
    host.SetChordChoice(FilterBox::kInclusions, root, -1);
    Host(kInclusionsDropdown, 0.5);
  }
  for (int type = 0; type < 20; ++type) {
    host.SetChordChoice(FilterBox::kInclusions, -1, type);
    Host(kInclusionsDropdown, 0.5);
  }
  Tick();
  FilterListControl& box = *Controls().inclusions;
  const int top = 330, height = 8 * 16, bottom = top + height;  // the rows of the box at 491, 322
  Click(544, bottom - 1);  // the left bar's first column, below its thumb: a page, up to 12 - 8
  EXPECT_EQ(box.LeftScrollOffset(), 4);
  Click(550, top);  // its last column, above
  EXPECT_EQ(box.LeftScrollOffset(), 0);
  Click(608, bottom - 1);  // the right bar, over the box's frame
  EXPECT_EQ(box.RightScrollOffset(), 8);
  Click(602, bottom - 1);
  EXPECT_EQ(box.RightScrollOffset(), 12);
  EXPECT_EQ(std::count(engine().IncludedRoots.begin(), engine().IncludedRoots.end(), true), 12);
  EXPECT_EQ(std::count(engine().IncludedChordTypes.begin(), engine().IncludedChordTypes.end(), true), 20);
  Tick();
  const auto [thumbTop, thumbEnd] = ThumbRows(604, top, height);
  ASSERT_EQ(thumbEnd, bottom);
  const int travel = height - (thumbEnd - thumbTop);
  ui.OnMouseDown(605, thumbTop + 1, kLeft);
  ui.OnMouseDrag(605, thumbTop + 1 - travel / 2, kLeft);
  EXPECT_EQ(box.RightScrollOffset(), 6);
  ui.OnMouseDrag(605, top - 40, kLeft);
  EXPECT_EQ(box.RightScrollOffset(), 0);
  ui.OnMouseUp(605, top - 40, MouseMods());
  EXPECT_EQ(std::count(engine().IncludedChordTypes.begin(), engine().IncludedChordTypes.end(), true), 20);
  // Two clear columns and more between the marks and the bar; the marks
  // still remove up to their edge.
  Tick();
  int marks = 0;
  for (int y = top; y < bottom; ++y) {
    marks += At(600, y) == Rgb(211, 211, 211);
    for (int x = 601; x <= 603; ++x) EXPECT_EQ(At(x, y), At(x, top - 2)) << x << ", " << y;
  }
  EXPECT_GT(marks, 0);
  Click(600, top + 8);
  EXPECT_FALSE(engine().IncludedChordTypes[0]);
}

TEST_F(ListTest, OctaveRowStopsAtFourEitherWayAndShiftsWhatRowsPlay) {
  // The number keeps two columns from the arrows' frames (columns 710 and
  // 726) and sits in their triangles' rows, 678 to 688.
  auto expectNumberBetweenTheArrows = [&] {
    Tick();
    int inked = 0;
    for (int y = 670; y < 697; ++y) {
      for (int x = 711; x < 726; ++x) {
        if (PixelGreen(At(x, y)) <= 30) continue;
        ++inked;
        EXPECT_TRUE(x >= 713 && x < 724 && y >= 678 && y < 689) << x << ", " << y;
      }
    }
    EXPECT_GT(inked, 20);
  };
  for (int i = 0; i < 6; ++i) Click(735, 683);
  EXPECT_EQ(Controls().chordList->ListOctaveShift(), 4);
  EXPECT_EQ(host.ListOctaveShift(), 4);
  EXPECT_EQ(Row(0).Chord().octave, 4);
  expectNumberBetweenTheArrows();
  for (int i = 0; i < 10; ++i) Click(700, 683);
  EXPECT_EQ(Controls().chordList->ListOctaveShift(), -4);
  expectNumberBetweenTheArrows();
  Click(720, 683);  // between the arrows: nothing
  EXPECT_EQ(Controls().chordList->ListOctaveShift(), -4);
  host.SendBlock();
  ui.OnMouseDown(700, RowY(0), kLeft);
  const Sent sent = host.SendBlock();
  ASSERT_FALSE(sent.empty());
  EXPECT_EQ(host.sent[0].data1, Row(0).Chord().notes[0] - 48);
  ui.OnMouseUp(700, RowY(0), MouseMods());
}

TEST_F(ListTest, PressPlaysTheRowAndReleaseStopsIt) {
  const ChordEntry chord = Row(2).Chord();
  ui.OnMouseDown(700, RowY(2), kLeft);
  Sent on;
  for (int n : chord.notes) on.push_back(On(n));
  EXPECT_EQ(host.SendBlock(), on);
  EXPECT_EQ(host.sent[0].data2, 100);
  Tick();
  // Sounding: green outline and the green play triangle.
  EXPECT_EQ(At(625, 7 + 33 * 2 + 2), Rgb(52, 211, 108));
  EXPECT_EQ(At(933, 7 + 33 * 2 + 18), Rgb(52, 211, 108));
  ui.OnMouseUp(700, RowY(2), MouseMods());
  Sent off;
  for (int n : chord.notes) off.push_back(Off(n));
  EXPECT_EQ(host.SendBlock(), off);
  Click(700, RowY(2), kRight);  // a list row's press ignores the right button
  const Sent afterRight = host.SendBlock();  // the release only ends what nobody holds
  EXPECT_EQ(std::count_if(afterRight.begin(), afterRight.end(), [](int64_t m) { return (m >> 40) == 0x90; }), 0);
}

TEST_F(ListTest, ARowDroppedOnACellFillsItWithTheRowsOctave) {
  Click(735, 683);  // list octave +1
  const ChordEntry chord = Row(1).Chord();
  ChunkBuffer before;
  host.SaveState(before);
  const size_t snapshots = engine().history.Snapshots().size();
  Drag(700, RowY(1), 100, 400);  // the top left cell
  const int cell = 12;
  EXPECT_EQ(engine().ChordGrid[cell].name, chord.name);
  EXPECT_EQ(engine().ChordGrid[cell].octave, 1);
  EXPECT_EQ(engine().history.Snapshots().size(), snapshots + 1);
  ChunkBuffer after;
  host.SaveState(after);
  EXPECT_NE(std::vector<uint8_t>(after.Data(), after.Data() + after.Size()),
            std::vector<uint8_t>(before.Data(), before.Data() + before.Size()));
  Tick();
  EXPECT_EQ(Cell(cell).Label(), chord.name);
  Drag(700, RowY(1), 420, 400);  // outside the grid: only stops the chord
  EXPECT_EQ(engine().history.Snapshots().size(), snapshots + 1);
}

// Cells 0 (C maj) and 5 (A min) filled; the grid shown.
class GridTest : public EditorTest {
 protected:
  GridTest() {
    {
      auto lock = host.Lock();
      engine().ChordGrid[0] = Chord(0, 0, 0);
      engine().ChordGrid[5] = Chord(9, 7, 5);
      engine().views.grid->GridChanged();
    }
    Tick();
  }
  void ClickCell(int i, int dx, int dy, const MouseMods& mods = kLeft) {
    const CellRect r = GridCellRect(i);
    Click(r.left + dx, r.top + dy, mods);
  }
};

TEST_F(GridTest, ArrowsShiftTheOctaveToItsLimitsAndTheCornerCyclesInversions) {
  const size_t snapshots = engine().history.Snapshots().size();
  for (int i = 0; i < 6; ++i) ClickCell(0, 28, 64);  // left arrow
  EXPECT_EQ(Cell(0).Chord().octave, -4);
  EXPECT_EQ(engine().ChordGrid[0].octave, -4);
  EXPECT_EQ(engine().history.Snapshots().size(), snapshots + 4);  // one per effective click
  ClickCell(0, 64, 64);  // right arrow
  EXPECT_EQ(engine().ChordGrid[0].octave, -3);
  for (int expected : {1, 2, 0}) {
    ClickCell(0, 84, 8);  // inversion corner: a triad cycles 0, 1, 2
    EXPECT_EQ(engine().ChordGrid[0].inversion, expected);
  }
  ClickCell(1, 28, 64);  // an empty cell's arrows do nothing
  EXPECT_TRUE(engine().ChordGrid[1].IsEmpty());
}

TEST_F(GridTest, RightClickLocksAndRandomizeKeepsTheLockedCell) {
  ClickCell(5, 47, 30, kRight);
  EXPECT_TRUE(engine().ChordGrid[5].locked);
  Tick();
  const CellRect r = GridCellRect(5);
  EXPECT_EQ(At(r.left + 5, r.top + 40), Rgb(0, 148, 224));  // the lock fill
  EXPECT_EQ(At(r.left + 28, r.top + 64), Rgb(204, 234, 249));  // light blue arrows
  host.SetScaleChoice(0, 0);
  Host(kScalesDropdown, 0.0);
  Host(kRandomizeGrid, 1.0);
  EXPECT_EQ(engine().ChordGrid[5].name, "A min");
  EXPECT_TRUE(engine().ChordGrid[5].locked);
  ClickCell(5, 47, 30, kRight);
  Tick();
  EXPECT_FALSE(engine().ChordGrid[5].locked);
  EXPECT_NE(At(r.left + 5, r.top + 40), Rgb(0, 148, 224));
}

TEST_F(GridTest, ACellDraggedOntoAnotherSwapsThemAndPlaysWhilePressed) {
  const auto [x0, y0] = CellCentre(0);
  const auto [x1, y1] = CellCentre(5);
  ui.OnMouseDown(x0, y0 - 20, kLeft);
  EXPECT_EQ(host.SendBlock(), (Sent{On(60), On(64), On(67)}));
  ui.OnMouseDrag(x1, y1, kLeft);
  ui.OnMouseUp(x1, y1 - 20, MouseMods());
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60), Off(64), Off(67)}));
  EXPECT_EQ(engine().ChordGrid[0].name, "A min");
  EXPECT_EQ(engine().ChordGrid[5].name, "C maj");
  Tick();
  EXPECT_EQ(Cell(5).Label(), "C maj");
}

TEST_F(GridTest, HostNotesShowTheirCellSounding) {
  host.HandleMidiMessage(HostNote(0x90, 36, 100));
  Tick();
  const CellRect r = GridCellRect(0);
  EXPECT_TRUE(Cell(0).Chord().sounding);
  EXPECT_EQ(At(r.left + 1, r.top + 30), Rgb(52, 211, 108));  // the green outline
  host.HandleMidiMessage(HostNote(0x80, 36, 0));
  Tick();
  EXPECT_FALSE(Cell(0).Chord().sounding);
  EXPECT_NE(At(r.left + 1, r.top + 30), Rgb(52, 211, 108));
}

TEST_F(EditorTest, KeyboardKeysRingsAndPresses) {
  const IKeyboardControl& keys = *Controls().keyboard;
  EXPECT_EQ(keys.KeyAt(86 + 147 + 10, 80), 13);
  EXPECT_EQ(keys.KeyAt(86 + 147 + 5, 80), 12);
  EXPECT_EQ(keys.KeyAt(86 + 147 + 5, 130), 12);
  EXPECT_EQ(keys.KeyAt(530, 80), 36);
  EXPECT_EQ(keys.KeyAt(85, 80), -1);
  host.Block();
  // Left press on key 19 (G, note 55): the blocks toggle it once while held.
  ui.OnMouseDown(86 + 147 + 84 + 5, 140, kLeft);
  host.Block();
  host.Block();
  EXPECT_EQ(engine().KeyboardHighlights, (std::vector<int>{55, 43}));
  Tick();
  const Pixel marked = At(86 + 21 * 11 + 10, 150);  // the blue block over G
  EXPECT_TRUE(PixelBlue(marked) > 200 && PixelRed(marked) < 40) << std::hex << marked;
  ui.OnMouseUp(86 + 147 + 84 + 5, 140, MouseMods());
  EXPECT_EQ(host.PressedKey(), -1);
  // Right click on F (key 5): pitch class 5, ringed in both octaves.
  Click(86 + 63 + 5, 140, kRight);
  EXPECT_TRUE(engine().PitchClassSelection[5]);
  Tick();
  EXPECT_EQ(At(149, 119 + 20), Rgb(105, 204, 255));
  EXPECT_EQ(At(296, 119 + 20), Rgb(105, 204, 255));
  Click(86 + 63 - 10, 140, kRight);  // E, key 4: outside 5..28
  EXPECT_FALSE(engine().PitchClassSelection[4]);
}

TEST_F(EditorTest, FilterBoxesListRemoveAndScroll) {
  for (int root : {0, 4, 7}) {
    host.SetChordChoice(FilterBox::kExclusions, root, -1);
    Host(kExclusionsDropdown, 0.5);
  }
  for (int type : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
    host.SetChordChoice(FilterBox::kExclusions, -1, type);
    Host(kExclusionsDropdown, 0.5);
  }
  Tick();
  FilterListControl& box = *Controls().exclusions;
  Click(520, 528 + 16 + 8);  // the "E" row
  EXPECT_FALSE(engine().ExcludedRoots[4]);
  EXPECT_TRUE(engine().ExcludedRoots[7]);
  EXPECT_EQ(host.ChordChoice(FilterBox::kExclusions).chosenType, -1);
  ui.OnMouseWheel(580, 560, MouseMods(), -1.0f);
  ui.OnMouseWheel(580, 560, MouseMods(), -1.0f);
  EXPECT_EQ(box.RightScrollOffset(), 2);
  ui.OnMouseWheel(580, 560, MouseMods(), -1.0f);  // 3 > 10 - 8: refused
  EXPECT_EQ(box.RightScrollOffset(), 2);
  Click(580, 528 + 8);  // removes type 2 (the first shown) and scrolls up by one
  EXPECT_FALSE(engine().ExcludedChordTypes[2]);
  EXPECT_EQ(box.RightScrollOffset(), 1);
  Click(580, 528 + 8, kRight);  // the right button does nothing
  EXPECT_TRUE(engine().ExcludedChordTypes[1]);
  Tick();
  EXPECT_EQ(At(536, 528 + 4), Rgb(211, 211, 211));  // the first row's mark
  Host(kClearExclusions, 1.0);
  Tick();
  EXPECT_EQ(box.RightScrollOffset(), 0);
}

TEST_F(EditorTest, ScalePopupChoosesMinorThenDAndSelectsDMinor) {
  ui.ScriptPopupChoice(1);  // "Minor"
  Click(300, 200);
  EXPECT_DOUBLE_EQ(host.GetParam(kScalesDropdown)->ToNormalized() * 228, 11.0);
  EXPECT_EQ(std::count(engine().NoteMarks.begin(), engine().NoteMarks.end(), true), 0);
  Tick();  // it asked for a redraw: drawn in two passes before a press pushes again
  Tick();
  ui.ScriptPopupChoice(2);  // "D"
  Click(255, 200);
  EXPECT_DOUBLE_EQ(host.GetParam(kScalesDropdown)->Value(), 14.0);
  EXPECT_TRUE(engine().NoteMarks[62] && engine().NoteMarks[65] && !engine().NoteMarks[66]);
  Tick();
  EXPECT_EQ(Controls().scalePopup->NoteLabel(), "D");
  EXPECT_EQ(Controls().scalePopup->ScaleLabel(), "min");
  ASSERT_EQ(ui.ShownMenus().size(), 2u);
  EXPECT_EQ(ui.ShownMenus()[0].labels.size(), 19u);
  EXPECT_EQ(ui.ShownMenus()[1].labels[1], "C#/Db");
  ui.ScriptPopupDismiss();
  Click(2, 2);  // the options menu, dismissed
  ui.ScriptPopupChoice(0);
  Click(2, 2);
  ASSERT_EQ(ui.OpenedUrls().size(), 1u);
  EXPECT_EQ(ui.OpenedUrls()[0].title, "Our website");
}

TEST_F(EditorTest, ChordPopupsAddRootAndTypeAsTwoFlags) {
  ui.ScriptPopupChoice(4);  // root E
  Click(500, 680);
  EXPECT_TRUE(engine().ExcludedRoots[4]);
  ui.ScriptPopupChoice(9);  // type m7
  Click(580, 680);
  EXPECT_TRUE(engine().ExcludedChordTypes[9]);
  ui.ScriptPopupChoice(0);
  Click(550, 480);  // between the inclusion popup's areas: no menu, choices re-applied
  EXPECT_EQ(ui.ShownMenus().size(), 2u);
  EXPECT_FALSE(engine().IncludedRoots[0]);
}

TEST_F(EditorTest, OverlapsHitTheControlAddedLater) {
  const int dim = ui.ControlAt(880, 680);
  ASSERT_GE(dim, 0);
  EXPECT_EQ(ui.GetControl(dim)->ParamIdx(), kDragDim);  // the drag button above it is hidden
  EXPECT_EQ(ui.GetControl(ui.ControlAt(60, 270))->ParamIdx(), kRedo);
  EXPECT_EQ(ui.GetControl(ui.ControlAt(100, 400))->ParamIdx(), kGridCellControls);  // never the container
  EXPECT_EQ(ui.GetControl(ui.ControlAt(700, 680))->ParamIdx(), kChordListControl);
}

TEST_F(EditorTest, TheDragButtonShowsWhenATakeStartsAndOffersTheFile) {
  {
    auto lock = host.Lock();
    engine().ChordGrid[0] = Chord(0, 0, 0);
  }
  host.hostTime.transportIsRunning = true;
  Host(kRecord, 1.0);
  host.Block();
  host.HandleMidiMessage(HostNote(0x90, 36, 100));
  host.Block();
  host.HandleMidiMessage(HostNote(0x80, 36, 0));
  host.Block();
  Tick();
  const int drag = ui.ControlAt(880, 680);
  ASSERT_EQ(ui.GetControl(drag)->ParamIdx(), kDrag);
  Click(880, 680);
  ASSERT_EQ(ui.Drags().size(), 1u);
  EXPECT_EQ(ui.Drags()[0][0].type, "text/uri-list");
  // The take's own file, which later takes leave alone.
  EXPECT_NE(ui.Drags()[0][0].bytes.find("velmora-takes/velmora-take-"), std::string::npos);
  ASSERT_EQ(ui.Drags()[0].size(), 3u);  // and the same file for Windows drop targets
  EXPECT_EQ(ui.Drags()[0][2].type, DragData::kWindowsFileList);
  EXPECT_NE(ui.Drags()[0][2].bytes.find("velmora-takes/velmora-take-"), std::string::npos);
  EXPECT_FALSE(host.RecordingActive());  // the drag ended the take and wrote it first
  EXPECT_TRUE(fs::exists(host.ExportFilePath()));
}

}  // namespace
}  // namespace velmora::test
