#include <gtest/gtest.h>

#include "engine/Tables.h"

namespace velmora {
namespace {

using Notes = std::vector<int>;

TEST(Tables, ScaleRowsFoldRootsGToBDown) {
  ASSERT_EQ(ScaleTable().size(), 228u);
  EXPECT_EQ(ScaleTable()[5].notes, (Notes{65, 67, 69, 70, 72, 74, 76, 77}));
  EXPECT_EQ(ScaleTable()[6].notes, (Notes{66, 68, 70, 71, 73, 75, 77, 78}));
  EXPECT_EQ(ScaleTable()[7].notes, (Notes{55, 57, 59, 60, 62, 64, 66, 67}));
  EXPECT_EQ(ScaleTable()[12].notes, (Notes{60, 62, 63, 65, 67, 68, 70, 72}));
  EXPECT_EQ(ScaleTable()[227].notes, (Notes{59, 60, 62, 63, 65, 67, 69, 71}));
  EXPECT_EQ(ScaleTable()[227].root, 11);
  EXPECT_EQ(ScaleTable()[227].scale, 18);
  EXPECT_EQ(ScaleTable()[3 * 12].notes.size(), 6u);   // pentatonic
  EXPECT_EQ(ScaleTable()[7 * 12].notes.size(), 7u);   // blues
  EXPECT_EQ(ScaleTable()[5 * 12].notes.size(), 9u);   // diminished
}

TEST(Tables, ChordRowsAreUnfoldedRootPosition) {
  ASSERT_EQ(ChordTable().size(), 360u);
  EXPECT_EQ(ChordTable()[0].notes, (ChordNotes{60, 64, 67}));
  EXPECT_EQ(ChordTable()[359].notes, (ChordNotes{71, 75, 78, 80, 85, 92}));
  EXPECT_EQ(ChordTable()[348].notes, (ChordNotes{60, 64, 67, 69, 74, 81}));
  EXPECT_EQ(ChordTable()[ChordRowIndex(7, 0)].notes, (ChordNotes{67, 71, 74}));
  EXPECT_EQ(ChordRowIndex(12, 0), -1);
  EXPECT_EQ(ChordRowIndex(0, 30), -1);
}

TEST(Tables, NamesUseOneSpaceAndTheProductSpelling) {
  EXPECT_EQ(ChordName(0, 0), "C maj");
  EXPECT_EQ(ChordName(1, 6), "C#/Db maj7");
  EXPECT_EQ(ChordName(10, 12), "A#/Bb m9");
  EXPECT_EQ(ChordName(11, 29), "B 13b9");
  EXPECT_EQ(ChordName(6, 17), "F#/Gb 7+");
  EXPECT_EQ(ScaleLongName(10), "Phyrgian Mode");
  EXPECT_EQ(ScaleShortName(17), "locrain");
  EXPECT_EQ(NoteShortName(1), "C#");
  EXPECT_EQ(NoteLongName(12), "");
  EXPECT_EQ(ChordName(-1, 0), "");
}

}  // namespace
}  // namespace velmora
