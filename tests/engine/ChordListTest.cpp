#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingViews.h"

namespace velmora {
namespace {

using test::Names;
using Strings = std::vector<std::string>;

class ChordListTest : public ::testing::Test {
 protected:
  test::ViewedEngine v;
  ChordEngine& e = v.engine;
};

TEST_F(ChordListTest, LooseLimitAloneListsEveryThreeAndFourNoteChord) {
  e.RebuildChordList();
  EXPECT_TRUE(e.ChordList.empty());
  e.SetLooseMatchLimit(4);
  ASSERT_EQ(e.ChordList.size(), 204u);
  for (const ChordEntry& c : e.ChordList) {
    EXPECT_LE(c.notes.size(), 4u) << c.name;
    EXPECT_EQ(c.gridIndex, -1);
  }
}

TEST_F(ChordListTest, CMajorListsFiftyOneChordsInTableOrder) {
  e.SelectScale(0);
  const Strings expected = {
      "C maj", "F maj", "G maj", "C sus2", "D sus2", "F sus2", "G sus2", "A sus2", "C sus4", "D sus4",
      "E sus4", "G sus4", "A sus4", "C 6", "F 6", "G 6", "C 6add9", "F 6add9", "G 6add9", "C maj7",
      "F maj7", "D min", "E min", "A min", "D m6", "D m7", "E m7", "A m7", "B m7b5", "D m9", "A m9",
      "B dim", "G 7", "D 7sus4", "E 7sus4", "G 7sus4", "A 7sus4", "C add9", "F add9", "G add9",
      "C maj9", "F maj9", "G 9", "D 9sus4", "G 9sus4", "A 9sus4", "G 11", "G 13", "C 13b9", "F 13b9",
      "G 13b9"};
  EXPECT_EQ(Names(e.ChordList), expected);
  EXPECT_EQ(v.list.resets, 1);
  EXPECT_EQ(Names(v.list.pages.back()), expected);
  e.SetLooseMatchLimit(1);
  EXPECT_EQ(e.ChordList.size(), 151u);
}

TEST_F(ChordListTest, ExclusionWinsOverInclusion) {
  e.SetLooseMatchLimit(4);
  e.exclusionPopup.chosenRoot = 0;
  e.inclusionPopup.chosenRoot = 0;
  e.ApplyExclusionChoice();
  e.ApplyInclusionChoice();
  EXPECT_TRUE(e.ChordList.empty());
  e.inclusionPopup = {1, 7};
  e.ApplyInclusionChoice();  // roots C, C#; type min: C excluded, C# min remains
  EXPECT_EQ(Names(e.ChordList), Strings{"C#/Db min"});
}

TEST_F(ChordListTest, ChoiceAddsTwoFlagsAndClearResetsThePopup) {
  e.exclusionPopup = {3, 7};
  e.ApplyExclusionChoice();
  EXPECT_TRUE(e.ExcludedRoots[3] && e.ExcludedChordTypes[7]);
  EXPECT_EQ(v.list.pages.size(), 2u);
  EXPECT_EQ(v.exclusions.redraws, 2);
  e.ClearExclusions();
  EXPECT_FALSE(e.ExcludedRoots[3] || e.ExcludedChordTypes[7]);
  EXPECT_EQ(e.exclusionPopup.chosenRoot, -1);
  EXPECT_EQ(e.exclusionPopup.chosenType, -1);
  EXPECT_EQ(v.exclusions.scrollResets, 1);
  EXPECT_EQ(v.inclusions.redraws, 0);
}

TEST_F(ChordListTest, InversionSwitchesFilterByNoteCount) {
  e.SetLooseMatchLimit(4);
  e.SetInversionEnabled(0, false);
  e.SetInversionEnabled(3, true);
  ASSERT_FALSE(e.ChordList.empty());
  for (const ChordEntry& c : e.ChordList) EXPECT_GE(c.notes.size(), 4u) << c.name;
  e.SetInversionEnabled(3, false);
  EXPECT_TRUE(e.ChordList.empty());
}

TEST_F(ChordListTest, KeyboardNoteRequiresPitchClassAndMarksBothOctaves) {
  e.ToggleKeyboardNote(16);
  EXPECT_TRUE(e.PitchClassSelection[4]);
  EXPECT_TRUE(e.NoteMarks[52] && e.NoteMarks[64]);
  EXPECT_EQ(e.KeyboardHighlights, (std::vector<int>{52, 64}));
  EXPECT_EQ(v.keyboard.highlights.back(), (std::vector<int>{52, 64}));
  e.SetLooseMatchLimit(2);
  const Strings expected = {"C maj", "E maj", "A maj", "D sus2", "E sus2", "A sus2", "E sus4", "A sus4", "B sus4",
                            "C aug", "E aug", "G#/Ab aug", "C#/Db min", "E min", "A min", "C#/Db dim", "E dim",
                            "A#/Bb dim"};
  EXPECT_EQ(Names(e.ChordList), expected);
  e.SetLooseMatchLimit(1);
  EXPECT_TRUE(e.ChordList.empty());
}

TEST_F(ChordListTest, SelectScaleOnFLowersTheRowAndHighlightsInPairs) {
  e.PitchClassSelection[3] = true;
  e.SelectScale(5);
  EXPECT_EQ(e.KeyboardHighlights, (std::vector<int>{41, 53, 43, 55, 45, 57, 46, 58, 48, 60, 50, 62, 52, 64}));
  for (int n = 0; n < 128; ++n) {
    const int pc = n % 12;
    const bool inF = pc == 5 || pc == 7 || pc == 9 || pc == 10 || pc == 0 || pc == 2 || pc == 4;
    EXPECT_EQ(e.NoteMarks[n], inF && n >= 53 && n <= 76) << n;
  }
  EXPECT_FALSE(e.PitchClassSelection[3]);
  EXPECT_EQ(v.keyboard.redraws, 1);
}

TEST_F(ChordListTest, SelectScaleOutsideTheTableIsIgnored) {
  e.SelectScale(0);
  const auto marks = e.NoteMarks;
  const size_t pages = v.list.pages.size();
  e.SelectScale(228);
  e.SelectScale(-1);
  EXPECT_EQ(e.NoteMarks, marks);
  EXPECT_EQ(e.KeyboardHighlights.size(), 14u);
  EXPECT_EQ(v.list.pages.size(), pages);
}

TEST_F(ChordListTest, ToggleHighlightedKeyTogglesNoteAndPartner) {
  e.PitchClassSelection[0] = true;
  e.ToggleHighlightedKey(60);
  EXPECT_EQ(e.KeyboardHighlights, (std::vector<int>{60, 48}));
  EXPECT_TRUE(e.NoteMarks[60] && e.NoteMarks[48]);
  EXPECT_TRUE(e.PitchClassSelection[0]);
  e.ToggleHighlightedKey(60);
  EXPECT_TRUE(e.KeyboardHighlights.empty());
  EXPECT_FALSE(e.PitchClassSelection[0]);
  EXPECT_FALSE(e.NoteMarks[60]);
  e.ToggleHighlightedKey(60);
  e.ToggleHighlightedKey(48);  // 48's partner is 60
  EXPECT_TRUE(e.KeyboardHighlights.empty());
  EXPECT_EQ(v.keyboard.highlights.size(), 4u);
}

TEST_F(ChordListTest, MarkingNotesResetsTheScalePopupOnlyWhenBothAreChosen) {
  e.scalePopup = {2, -1, "D", "-"};
  e.SetMarkedNotes({60});
  EXPECT_EQ(e.scalePopup.chosenRoot, 2);
  e.scalePopup = {2, 1, "D", "min"};
  e.SetMarkedNotes({60, 500, -3});
  EXPECT_EQ(e.scalePopup.chosenRoot, -1);
  EXPECT_EQ(e.scalePopup.scaleLabel, "-");
  EXPECT_EQ(std::count(e.NoteMarks.begin(), e.NoteMarks.end(), true), 1);
  e.scalePopup = {0, 0, "C", "maj"};
  e.ToggleKeyboardNote(16);
  e.ClearNoteSelection();
  EXPECT_EQ(std::count(e.NoteMarks.begin(), e.NoteMarks.end(), true), 0);
  EXPECT_FALSE(e.PitchClassSelection[4]);
  EXPECT_TRUE(v.keyboard.highlights.back().empty());
  EXPECT_EQ(e.scalePopup.noteLabel, "-");
}

TEST_F(ChordListTest, EqualLooseLimitDoesNotRebuild) {
  e.SetLooseMatchLimit(2);
  const size_t pages = v.list.pages.size();
  e.SetLooseMatchLimit(2.0);
  EXPECT_EQ(v.list.pages.size(), pages);
  EXPECT_EQ(v.list.resets, static_cast<int>(pages));
  e.SetLooseMatchLimit(2.5);  // compared before truncation
  EXPECT_EQ(v.list.pages.size(), pages + 1);
  EXPECT_EQ(e.LooseMatchLimit, 2);
  e.SetLooseMatchLimit(1e300);
  EXPECT_EQ(e.LooseMatchLimit, 4);
}

}  // namespace
}  // namespace velmora
