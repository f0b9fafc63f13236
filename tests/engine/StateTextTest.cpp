#include <gtest/gtest.h>

#include "RecordingViews.h"
#include "engine/StateTextScanner.h"

namespace velmora {
namespace {

using test::Chord;
using test::Names;
using R = StateTextResult;

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

class StateTextTest : public ::testing::Test {
 protected:
  test::ViewedEngine v;
  ChordEngine& e = v.engine;
};

TEST_F(StateTextTest, FreshObjectWritesEmptyTextsAndRestoresNothing) {
  EXPECT_EQ(e.WriteGridText(), Repeat("-1 ,", 16));
  EXPECT_EQ(e.WriteHighlightsText(), "");
  EXPECT_EQ(e.WriteExclusionsText(), ",");
  EXPECT_EQ(e.WritePitchClassText(), "");
  EXPECT_EQ(e.WriteInversionsText(), Repeat("0 ", 16));
  EXPECT_EQ(e.WriteInclusionsText(), ",");
  ChordEngine loaded;
  EXPECT_EQ(loaded.ReadGridText(e.WriteGridText(), e.WriteInversionsText()), R::kOk);
  EXPECT_EQ(loaded.ReadHighlightsText("", ""), R::kOk);
  EXPECT_EQ(loaded.ReadExclusionsText(","), R::kOk);
  EXPECT_EQ(loaded.ReadInclusionsText(","), R::kOk);
  EXPECT_TRUE(IsAllEmpty(loaded.ChordGrid));
  // The history starts at the restored grid, empty as it is.
  ASSERT_EQ(loaded.history.Snapshots().size(), 1u);
  EXPECT_TRUE(IsAllEmpty(loaded.history.Snapshots().front()));
  EXPECT_TRUE(loaded.ChordList.empty());
}

TEST_F(StateTextTest, CMajorExampleWritesAndRestores) {
  e.SelectScale(0);
  e.ChordGrid[0] = Chord(0, 0, 0);
  e.ChordGrid[0].octave = 1;
  e.ChordGrid[0].locked = true;
  e.ChordGrid[0].inversion = 2;
  e.ChordGrid[5] = Chord(9, 7, 5);
  e.ExcludedRoots[1] = e.ExcludedRoots[6] = e.ExcludedChordTypes[13] = true;
  e.RebuildChordList();
  const std::string grid = "0 0 1 1 ," + Repeat("-1 ,", 4) + "9 7 0 0 ," + Repeat("-1 ,", 10);
  EXPECT_EQ(e.WriteGridText(), grid);
  EXPECT_EQ(e.WriteHighlightsText(), "48 60 50 62 52 64 53 41 55 43 57 45 59 47 ");
  EXPECT_EQ(e.WriteExclusionsText(), "1 6 ,13 ");
  EXPECT_EQ(e.WritePitchClassText(), "");
  EXPECT_EQ(e.WriteInversionsText(), "2 " + Repeat("0 ", 15));
  EXPECT_EQ(e.WriteInclusionsText(), ",");

  test::ViewedEngine w;
  ChordEngine& loaded = w.engine;
  ASSERT_EQ(loaded.ReadGridText(grid, e.WriteInversionsText()), R::kOk);
  ASSERT_EQ(loaded.ReadHighlightsText(e.WriteHighlightsText(), ""), R::kOk);
  ASSERT_EQ(loaded.ReadExclusionsText(e.WriteExclusionsText()), R::kOk);
  ASSERT_EQ(loaded.ReadInclusionsText(","), R::kOk);
  EXPECT_TRUE(SameSnapshot(loaded.ChordGrid, e.ChordGrid));
  EXPECT_EQ(loaded.ChordGrid[5].name, "A min");
  EXPECT_EQ(loaded.ChordGrid[5].gridIndex, 5);
  EXPECT_EQ(loaded.history.Snapshots().size(), 1u);
  EXPECT_EQ(w.grid.shown.size(), 1u);
  EXPECT_EQ(w.keyboard.highlights.back(), e.KeyboardHighlights);
  for (int n = 0; n < 128; ++n) EXPECT_EQ(loaded.NoteMarks[n], n < 116 && e.NoteMarks[n + 12]) << n;
  EXPECT_EQ(Names(loaded.ChordList), Names(e.ChordList));
  EXPECT_EQ(w.exclusions.redraws, 1);
}

TEST_F(StateTextTest, GridGroupsReadFourTokensAndOnlyOneLocks) {
  e.ChordGrid[3] = Chord(2, 2, 3);
  ASSERT_EQ(e.ReadGridText("5 7 0 1 2 3 ,5 7 -2 2 ,", ""), R::kOk);
  EXPECT_EQ(e.ChordGrid[0].name, "F min");
  EXPECT_TRUE(e.ChordGrid[0].locked);
  EXPECT_FALSE(e.ChordGrid[1].locked);
  EXPECT_EQ(e.ChordGrid[1].octave, -2);
  EXPECT_EQ(e.ChordGrid[3].name, "D sus4");  // no completed group: kept
  ASSERT_EQ(e.ReadGridText("0 0 1 1 ,2 ", ""), R::kOk);
  EXPECT_EQ(e.ChordGrid[1].name, "F min");
}

TEST_F(StateTextTest, RootPastElevenSelectsTheRowItsIndexNames) {
  ASSERT_EQ(e.ReadGridText("12 0 0 0 ,", ""), R::kOk);
  EXPECT_EQ(e.ChordGrid[0].name, "C sus2");
}

TEST_F(StateTextTest, InversionsUseTheFirstSixteenAndDefaultToZero) {
  const std::string grid = Repeat("0 0 0 0 ,", 16);
  ASSERT_EQ(e.ReadGridText(grid, "1 2 3 4 5 0 1 2 3 4 5 0 1 2 3 4 5 5 5 x "), R::kOk);
  EXPECT_EQ(e.WriteInversionsText(), "1 2 3 4 5 0 1 2 3 4 5 0 1 2 3 4 ");
  ASSERT_EQ(e.ReadGridText(grid, "3 1"), R::kOk);
  EXPECT_EQ(e.WriteInversionsText(), "3 " + Repeat("0 ", 15));
}

TEST_F(StateTextTest, FlagTextsSplitAtTheFirstComma) {
  e.ExcludedChordTypes[9] = true;
  ASSERT_EQ(e.ReadExclusionsText("3 ,"), R::kOk);
  EXPECT_TRUE(e.ExcludedRoots[3]);
  EXPECT_FALSE(e.ExcludedChordTypes[9]);
  ASSERT_EQ(e.ReadExclusionsText(",3 "), R::kOk);
  EXPECT_FALSE(e.ExcludedRoots[3]);
  EXPECT_TRUE(e.ExcludedChordTypes[3]);
  ASSERT_EQ(e.ReadExclusionsText(","), R::kOk);
  EXPECT_FALSE(e.ExcludedChordTypes[3]);
  ASSERT_EQ(e.ReadInclusionsText("4 1x,7 ,8 2"), R::kOk);  // "1x" is dropped by the comma; "2" ends unseparated
  EXPECT_TRUE(e.IncludedRoots[4]);
  EXPECT_FALSE(e.IncludedRoots[1]);
  EXPECT_TRUE(e.IncludedChordTypes[7] && e.IncludedChordTypes[8]);
  EXPECT_FALSE(e.IncludedChordTypes[2]);
  EXPECT_EQ(v.inclusions.redraws, 1);
}

TEST_F(StateTextTest, ErrorsEndTheReaderKeepingWhatItChanged) {
  e.ChordGrid[1] = Chord(2, 0, 1);
  EXPECT_EQ(e.ReadGridText("0 0 1 1 ,x 0 0 0 ,", ""), R::kInvalidNumber);
  EXPECT_EQ(e.ChordGrid[0].name, "C maj");
  EXPECT_EQ(e.ChordGrid[1].name, "D maj");
  EXPECT_EQ(e.history.Snapshots().size(), 1u);  // a failed restore records nothing
  EXPECT_TRUE(v.grid.shown.empty());
  EXPECT_EQ(e.ReadGridText(Repeat("7 7 0 0 ,", 16), "1 99999999999 "), R::kOutOfRange);
  EXPECT_EQ(e.ChordGrid[0].name, "C maj");  // the inversions failed before any cell

  const size_t pages = v.list.pages.size();
  e.PitchClassSelection[2] = true;
  EXPECT_EQ(e.ReadHighlightsText("48 60 abc 62 ", "4 "), R::kInvalidNumber);
  EXPECT_EQ(e.KeyboardHighlights, (std::vector<int>{48, 60}));
  EXPECT_TRUE(e.PitchClassSelection[2]);
  EXPECT_TRUE(v.keyboard.highlights.empty());
  EXPECT_EQ(e.ReadHighlightsText("48 ", "4 -2147483649 "), R::kOutOfRange);
  EXPECT_TRUE(e.PitchClassSelection[4] && !e.PitchClassSelection[2]);

  EXPECT_EQ(e.ReadExclusionsText("1 2147483648 ,"), R::kOutOfRange);
  EXPECT_TRUE(e.ExcludedRoots[1]);
  EXPECT_EQ(v.list.pages.size(), pages);
  EXPECT_EQ(v.exclusions.redraws, 0);
}

TEST_F(StateTextTest, GroupsNamingNoRowEndTheRestore) {
  EXPECT_EQ(e.ReadGridText("3 ,", ""), R::kOutOfRange);  // chordType stays -1
  EXPECT_EQ(e.ReadGridText("0 30 0 0 ,", ""), R::kOutOfRange);
  EXPECT_EQ(e.ReadGridText("2147483647 2147483647 0 0 ,", ""), R::kOutOfRange);
  EXPECT_EQ(e.ReadGridText("-2147483648 2147483647 0 0 ,", ""), R::kOutOfRange);
  EXPECT_TRUE(IsAllEmpty(e.ChordGrid));
}

TEST_F(StateTextTest, HostileValuesAreBoundedOrSkipped) {
  ASSERT_EQ(e.ReadGridText("0 0 9 0 ,0 0 -100 0 ,0 0 2147483647 1 ,", "40 -2 7 "), R::kOk);
  EXPECT_EQ(e.ChordGrid[0].octave, 4);
  EXPECT_EQ(e.ChordGrid[1].octave, -4);
  EXPECT_EQ(e.ChordGrid[2].octave, 4);
  EXPECT_EQ(e.ChordGrid[0].inversion, 5);
  EXPECT_EQ(e.ChordGrid[1].inversion, 0);
  ASSERT_EQ(e.ReadExclusionsText("40 -3 ,-3 99 5 "), R::kOk);
  EXPECT_EQ(e.WriteExclusionsText(), ",5 ");
  ASSERT_EQ(e.ReadHighlightsText("500 -4 60 ", "12 -1 4 "), R::kOk);
  EXPECT_EQ(e.KeyboardHighlights, (std::vector<int>{60}));
  EXPECT_EQ(e.WritePitchClassText(), "4 ");
  ASSERT_EQ(e.ReadHighlightsText(Repeat("60 ", 100000), ""), R::kOk);
  EXPECT_EQ(e.KeyboardHighlights.size(), static_cast<size_t>(kMaxKeyboardHighlights));
}

TEST(ConvertToken, ReadsLikeTheRuntimeConversion) {
  int value = 0;
  EXPECT_EQ(ConvertToken("\t+7abc", value), R::kOk);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(ConvertToken("-2147483648", value), R::kOk);
  EXPECT_EQ(value, -2147483648LL);
  EXPECT_EQ(ConvertToken("", value), R::kInvalidNumber);
  EXPECT_EQ(ConvertToken("-", value), R::kInvalidNumber);
  EXPECT_EQ(ConvertToken("2147483648", value), R::kOutOfRange);
  EXPECT_EQ(ConvertToken(std::string(5000, '9'), value), R::kOutOfRange);
}

}  // namespace
}  // namespace velmora
