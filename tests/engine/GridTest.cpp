#include <gtest/gtest.h>

#include <climits>

#include "RecordingViews.h"

namespace velmora {
namespace {

using test::Chord;
using Notes = ChordNotes;

TEST(VoiceChord, ShiftsOctavesAndRotatesInversions) {
  const Notes cMaj = {60, 64, 67};
  EXPECT_EQ(VoiceChord(cMaj, 0, 1), (Notes{64, 67, 72}));
  EXPECT_EQ(VoiceChord(cMaj, 0, 2), (Notes{67, 72, 76}));
  EXPECT_EQ(VoiceChord(cMaj, 0, 3), (Notes{72, 76, 79}));
  EXPECT_EQ(VoiceChord(cMaj, -4, 0), (Notes{12, 16, 19}));
  EXPECT_EQ(VoiceChord({60, 64, 67, 70, 74}, 0, 1), (Notes{64, 67, 70, 74, 84}));
}

TEST(VoiceChord, DropsNotesAndSkipsStepsOutsideTheMidiRange) {
  const Notes b13 = {71, 75, 78, 81, 85, 92};
  EXPECT_EQ(VoiceChord(b13, 3, 0), (Notes{107, 111, 114, 117, 121}));
  EXPECT_EQ(VoiceChord(b13, 3, 1), (Notes{107, 111, 114, 117, 121}));
  EXPECT_TRUE(VoiceChord(b13, 300000000, 2).empty());
  EXPECT_TRUE(VoiceChord(b13, INT_MIN, 0).empty());
  EXPECT_EQ(VoiceChord({60, 64, 67}, 0, INT_MAX), (Notes{120, 124, 127}));
}

class GridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    e.SeedRandom(7);
    e.SetLooseMatchLimit(4);
  }
  // C maj, C min and C dim only.
  void ListThreeChords() {
    e.IncludedRoots[0] = true;
    e.IncludedChordTypes[0] = e.IncludedChordTypes[7] = e.IncludedChordTypes[13] = true;
    e.RebuildChordList();
  }
  // The changes recorded after the grid the history started from.
  int HistorySize() const { return static_cast<int>(e.history.Snapshots().size()) - 1; }

  test::ViewedEngine v;
  ChordEngine& e = v.engine;
};

TEST(RandomSource, FollowsTheRuntimeSequence) {
  RandomSource random(1);
  for (int expected : {41, 18467, 6334, 26500, 19169}) EXPECT_EQ(random.Next(), expected);
}

TEST_F(GridTest, RandomizeWithThreeCandidatesFillsThreeCells) {
  ListThreeChords();
  e.ListOctaveShift = -2;
  e.SeedRandom(1);  // draws 41, 18467, 6334, ...: candidate, inversion, candidate, ...
  e.RandomizeGrid();
  EXPECT_EQ(e.ChordGrid[0].name, "C dim");
  EXPECT_EQ(e.ChordGrid[1].name, "C maj");
  EXPECT_EQ(e.ChordGrid[2].name, "C min");
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(e.ChordGrid[i].IsEmpty(), i >= 3) << i;
    EXPECT_EQ(e.ChordGrid[i].octave, i < 3 ? -2 : 0);
  }
  EXPECT_EQ(HistorySize(), 1);
  EXPECT_EQ(v.grid.shown.size(), 1u);
}

TEST_F(GridTest, RandomizeWithEmptyListTouchesNothing) {
  e.SetLooseMatchLimit(0);
  e.ChordGrid[4] = Chord(0, 0, 4);
  e.RandomizeGrid();
  EXPECT_EQ(e.ChordGrid[4].name, "C maj");
  EXPECT_EQ(HistorySize(), 0);
  EXPECT_TRUE(v.grid.shown.empty());
}

TEST_F(GridTest, LockedChordIsNotDealtAgain) {
  ListThreeChords();
  e.ChordGrid[5] = Chord(0, 0, 5);
  e.ChordGrid[5].locked = true;
  e.RandomizeGrid();
  EXPECT_EQ(e.ChordGrid[5].name, "C maj");
  int filled = 0;
  for (int i = 0; i < 16; ++i) {
    if (i != 5 && !e.ChordGrid[i].IsEmpty()) {
      ++filled;
      EXPECT_NE(e.ChordGrid[i].name, "C maj");
    }
  }
  EXPECT_EQ(filled, 2);
}

TEST_F(GridTest, SameSeedDealsTheSameGrid) {
  e.SetInversionEnabled(2, true);
  const std::vector<ChordEntry> list = e.ChordList;
  e.RandomizeGrid();
  ChordEngine other;
  other.SeedRandom(7);
  other.EnabledInversions = e.EnabledInversions;
  other.ChordList = list;
  other.RandomizeGrid();
  EXPECT_TRUE(SameSnapshot(e.ChordGrid, other.ChordGrid));
  for (const ChordEntry& cell : e.ChordGrid) EXPECT_TRUE(cell.inversion == 0 || cell.inversion == 2);
}

TEST_F(GridTest, OctaveShiftStopsAtFourAndSkipsLockedAndEmptyCells) {
  e.ChordGrid[0] = Chord(0, 0, 0);
  e.ChordGrid[1] = Chord(2, 7, 1);
  e.ChordGrid[1].locked = true;
  for (int i = 0; i < 5; ++i) e.ShiftGridOctave(+1);
  EXPECT_EQ(e.ChordGrid[0].octave, 4);
  EXPECT_EQ(e.ChordGrid[1].octave, 0);
  EXPECT_EQ(e.ChordGrid[2].octave, 0);
  EXPECT_EQ(HistorySize(), 4);  // the fifth shift changed nothing
  for (int i = 0; i < 9; ++i) e.ShiftGridOctave(-1);
  EXPECT_EQ(e.ChordGrid[0].octave, -4);
}

TEST_F(GridTest, MoveCellSwapsOnlyDistinctCells) {
  e.ChordGrid[0] = Chord(0, 0, 0);
  e.ChordGrid[15] = Chord(9, 7, 15);
  const CellRect from = GridCellRect(0);
  e.MoveCell(from.left, from.top, from.left + 40, from.top + 40);  // onto itself
  e.MoveCell(from.left, from.top, 500, 400);                       // outside every cell
  EXPECT_EQ(HistorySize(), 0);
  EXPECT_TRUE(v.grid.shown.empty());
  const CellRect to = GridCellRect(15);
  EXPECT_EQ(to.left, 299);
  EXPECT_EQ(to.top, 316);
  e.MoveCell(from.left, from.top, to.left + 10, to.top + 10);
  EXPECT_EQ(e.ChordGrid[0].name, "A min");
  EXPECT_EQ(e.ChordGrid[15].name, "C maj");
  EXPECT_EQ(HistorySize(), 1);
}

TEST_F(GridTest, PlaceListChordNeedsARowAndACell) {
  ChordEntry row = Chord(7, 14, 3);
  row.octave = 2;
  e.PlaceListChord(row, 7 + 33 * 3, 500, 400);  // no cell
  e.PlaceListChord(row, 900, 100, 400);         // no row
  EXPECT_EQ(HistorySize(), 0);
  e.ChordGrid[12].locked = true;
  e.ChordGrid[12].inversion = 3;
  e.PlaceListChord(row, 7 + 33 * 3, 20, 320);  // top-left cell
  const ChordEntry& cell = e.ChordGrid[12];
  EXPECT_EQ(cell.name, "G 7");
  EXPECT_EQ(cell.octave, 2);
  EXPECT_FALSE(cell.locked);
  EXPECT_EQ(cell.inversion, 0);
  EXPECT_EQ(cell.gridIndex, -1);
  EXPECT_EQ(v.grid.shown.size(), 1u);
}

TEST_F(GridTest, CellEditsRecordWithoutRefreshingTheGrid) {
  e.ChordGrid[3] = Chord(0, 0, 3);
  ChordEntry shown = e.ChordGrid[3];
  e.ToggleCellLock(shown);
  EXPECT_TRUE(e.ChordGrid[3].locked);
  shown.octave = -1;
  e.SetCellOctave(shown);
  shown.inversion = 2;
  e.SetCellInversion(shown);
  EXPECT_EQ(e.ChordGrid[3].octave, -1);
  EXPECT_EQ(e.ChordGrid[3].inversion, 2);
  shown.gridIndex = 99;  // a stray index is ignored
  e.SetCellInversion(shown);
  e.ToggleCellLock(shown);
  EXPECT_EQ(HistorySize(), 3);
  EXPECT_TRUE(v.grid.shown.empty());
}

class HistoryTest : public GridTest {
 protected:
  void Record(int root) {
    e.ChordGrid[0] = Chord(root, 0, 0);
    e.PushHistory();
  }
  std::string Shown() const { return e.ChordGrid[0].name; }
};

// The history starts at the grid as made (or restored), so the very first
// change undoes like any other.
TEST_F(HistoryTest, RecordingAfterUndoDiscardsTheRedoBranch) {
  e.UndoGrid();  // nothing before the grid it started from
  e.RedoGrid();
  EXPECT_TRUE(v.grid.shown.empty());
  Record(0);  // C
  EXPECT_TRUE(e.history.CanUndo(e.ChordGrid));
  e.UndoGrid();  // back to the empty grid it started from
  EXPECT_EQ(e.history.Cursor(), 0);
  EXPECT_TRUE(IsAllEmpty(e.ChordGrid));
  EXPECT_TRUE(v.grid.shown.back()[0].IsEmpty());
  Record(2);  // D: C's redo branch goes
  Record(4);  // E
  e.UndoGrid();
  EXPECT_EQ(Shown(), "D maj");
  EXPECT_EQ(v.grid.shown.back()[0].name, "D maj");
  Record(5);  // F: E's branch goes
  ASSERT_EQ(HistorySize(), 2);
  EXPECT_EQ(e.history.Snapshots()[2][0].name, "F maj");
  EXPECT_EQ(e.history.Cursor(), 2);
  e.RedoGrid();
  EXPECT_EQ(Shown(), "F maj");
}

TEST_F(HistoryTest, ChangeEqualToTheNewestSnapshotRecordsNothing) {
  Record(0);
  Record(2);
  e.UndoGrid();
  Record(2);
  EXPECT_EQ(e.history.Cursor(), 1);
  e.RedoGrid();
  EXPECT_EQ(Shown(), "D maj");
  e.ChordGrid[0].name = "renamed";
  e.ChordGrid[0].sounding = true;
  e.ChordGrid[0].gridIndex = 9;
  e.PushHistory();
  EXPECT_EQ(HistorySize(), 2);
}

// The first undo after a clear brings back what was cleared (the snapshot at
// the cursor, which stays); the next one steps back.
TEST_F(HistoryTest, ClearedGridIsNotRecordedButUndoable) {
  Record(0);
  Record(2);
  e.ClearGrid();
  EXPECT_TRUE(IsAllEmpty(e.ChordGrid));
  EXPECT_EQ(HistorySize(), 2);
  e.UndoGrid();
  EXPECT_EQ(Shown(), "D maj");
  EXPECT_EQ(e.history.Cursor(), 2);
  e.UndoGrid();
  EXPECT_EQ(Shown(), "C maj");
  e.ClearGrid();
  e.UndoGrid();  // at the first change too
  EXPECT_EQ(Shown(), "C maj");
  EXPECT_EQ(e.history.Cursor(), 1);
  e.RedoGrid();
  EXPECT_EQ(Shown(), "D maj");
}

TEST_F(HistoryTest, CapacityKeepsTheNewest129Snapshots) {
  for (int i = 0; i < 130; ++i) {
    e.ChordGrid[0] = Chord(0, 0, 0);
    e.ChordGrid[0].octave = i % 2;
    e.ChordGrid[0].inversion = i / 2;
    e.PushHistory();
  }
  EXPECT_EQ(e.history.Snapshots().size(), 129u);
  EXPECT_EQ(e.history.Cursor(), 128);
  // The starting grid and the first change were dropped.
  EXPECT_EQ(e.history.Snapshots().front()[0].octave, 1);
  e.ChordGrid[0].octave = 3;
  e.PushHistory();
  EXPECT_EQ(e.history.Snapshots().size(), 129u);
  EXPECT_EQ(e.history.Snapshots().front()[0].inversion, 1);
  e.UndoGrid();
  EXPECT_EQ(e.ChordGrid[0].inversion, 64);
  e.RedoGrid();
  EXPECT_EQ(e.ChordGrid[0].octave, 3);
  e.RedoGrid();  // the cursor is at the capacity
  EXPECT_EQ(e.history.Cursor(), 128);
}

}  // namespace
}  // namespace velmora
