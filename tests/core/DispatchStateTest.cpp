#include <cmath>

#include "CoreTestSupport.h"

namespace velmora::test {
namespace {

class DispatchTest : public CoreTest {
 protected:
  int Marks() { return static_cast<int>(std::count(engine().NoteMarks.begin(), engine().NoteMarks.end(), true)); }
  // List rebuilds and filter box redraws the editor was told of.
  int Pages() { return static_cast<int>(host.Changes().chordList); }
  int FilterRedraws() {
    return static_cast<int>(host.Changes().exclusions.redraws + host.Changes().inclusions.redraws);
  }
};

TEST_F(DispatchTest, DropDownRangesFollowTheTablesAndTheExportFollowsTheDataFolder) {
  EXPECT_EQ(host.GetParam(kScalesDropdown)->Max(), double(ScaleTable().size()));
  EXPECT_EQ(host.GetParam(kInclusionsDropdown)->Max(), double(ChordTable().size()));
  EXPECT_EQ(host.GetParam(kExclusionsDropdown)->Max(), double(ChordTable().size()));
  EXPECT_EQ(host.ExportFilePath(), (home.path / "velmora-midi.mid").string());
}

TEST_F(DispatchTest, DropDownsActOnlyOnAChoice) {
  engine().scalePopup.chosenRoot = 1;
  engine().exclusionPopup = {3, 7};
  for (int i : {kScalesDropdown, kExclusionsDropdown, kInclusionsDropdown}) host.OnParamChanged(i);  // -1
  host.SetParam(kScalesDropdown, 25);  // root but no scale
  EXPECT_EQ(Marks(), 0);
  EXPECT_EQ(Pages(), 0);
  engine().scalePopup.chosenScale = 2;
  host.SetParam(kScalesDropdown, 25);
  EXPECT_GT(Marks(), 0);
  host.SetParam(kExclusionsDropdown, 43);
  EXPECT_TRUE(engine().ExcludedRoots[3] && engine().ExcludedChordTypes[7]);
  EXPECT_EQ(Pages(), 3);  // the scale, then one per flag
  EXPECT_EQ(FilterRedraws(), 2);
  host.SetParam(kInclusionsDropdown, 5);  // inclusion popup without a choice
  EXPECT_EQ(Pages(), 3);
}

// A host resending a held 1 runs nothing again; the button reads 0 after its
// action, so a write of 0 and then 1 is a new press.
TEST_F(DispatchTest, ButtonsActOncePerChangeToOne) {
  for (int i = 0; i < 3; ++i) {
    engine().ChordGrid[i] = Chord(i, 7, i);
    engine().PushHistory();
  }
  host.SetParam(kUndo, 0.0);
  EXPECT_FALSE(engine().ChordGrid[2].IsEmpty());
  host.SetParam(kUndo, 1.0);
  host.SetParam(kUndo, 1.0);
  EXPECT_FALSE(engine().ChordGrid[1].IsEmpty());
  EXPECT_EQ(host.GetParam(kUndo)->Value(), 0.0);
  host.SetParam(kUndo, 0.0);
  host.SetParam(kUndo, 1.0);
  EXPECT_TRUE(engine().ChordGrid[1].IsEmpty());
  host.SetParam(kRedo, 1.0);
  EXPECT_FALSE(engine().ChordGrid[1].IsEmpty());
  host.SetParam(kClearGrid, 1.0);
  EXPECT_TRUE(IsAllEmpty(engine().ChordGrid));
  engine().scalePopup = {0, 0, "C", "Major"};
  host.SetParam(kScalesDropdown, 0);
  host.SetParam(kRandomizeGrid, 1.0);
  EXPECT_FALSE(engine().ChordGrid[0].IsEmpty());
  host.SetParam(kClearNoteSelection, 1.0);
  EXPECT_EQ(Marks(), 0);
  engine().exclusionPopup = {1, 2};
  engine().inclusionPopup = {4, 9};
  host.SetParam(kExclusionsDropdown, 0);
  host.SetParam(kInclusionsDropdown, 0);
  host.SetParam(kClearExclusions, 1.0);
  host.SetParam(kClearInclusions, 1.0);
  EXPECT_FALSE(engine().ExcludedRoots[1] || engine().IncludedChordTypes[9]);
}

TEST_F(DispatchTest, OctaveSwitchesShiftOnceAndSpringBack) {
  engine().ChordGrid[0] = Chord(0, 0, 0);
  engine().ChordGrid[0].octave = 4;
  engine().ChordGrid[1] = Chord(2, 7, 1);
  engine().ChordGrid[1].locked = true;
  host.SetParam(kGridOctaveUp, 1.0);
  EXPECT_EQ(engine().ChordGrid[0].octave, 4);
  EXPECT_EQ(engine().history.Snapshots().size(), 2u);  // recorded even so, after the grid it started from
  EXPECT_EQ(host.GetParam(kGridOctaveUp)->Value(), 0.0);
  host.SetParam(kGridOctaveDown, 1.0);
  host.SetParam(kGridOctaveDown, 0.0);
  EXPECT_EQ(engine().ChordGrid[0].octave, 3);
  EXPECT_EQ(engine().ChordGrid[1].octave, 0);
  EXPECT_EQ(host.Changes().octaveUp.resets, 1u);  // the switches spring back on screen
  EXPECT_EQ(host.Changes().octaveDown.resets, 1u);
}

TEST_F(DispatchTest, LooseMatchesInversionsAndBindingOnlyIndices) {
  host.SetParam(kLooseMatches, 2.0);
  EXPECT_EQ(engine().LooseMatchLimit, 2);
  host.SetParam(kCustomInversion3, 0.5);
  const int pages = Pages();
  host.SetParam(kCustomInversion3, 0.5);  // unchanged, still rebuilt
  EXPECT_TRUE(engine().EnabledInversions[3]);
  EXPECT_EQ(Pages(), pages + 1);
  engine().exclusionPopup = {3, 7};
  for (int i : std::initializer_list<int>{kNoteDropdown, kOptionsPopup, kGridControl, kChordListControl, kChordListRows, kGridCellControls,
                kExclusionsControl, kInclusionsControl, kDrag, kDragDim, -1, 30}) {
    if (host.GetParam(i)) host.GetParam(i)->SetClamped(1.0);
    host.OnParamChanged(i);
  }
  EXPECT_EQ(Pages(), pages + 1);
}

TEST_F(DispatchTest, FilterRemovalsClearOneFlagAndResetTheirPopup) {
  engine().ExcludedRoots[3] = engine().ExcludedChordTypes[7] = engine().IncludedRoots[5] = true;
  engine().exclusionPopup = {3, 7};
  engine().inclusionPopup = {5, 9};
  host.RemoveFilterRoot(FilterBox::kExclusions, 3);
  EXPECT_FALSE(engine().ExcludedRoots[3]);
  EXPECT_TRUE(engine().ExcludedChordTypes[7]);
  EXPECT_EQ(engine().exclusionPopup.chosenType, -1);
  EXPECT_EQ(engine().inclusionPopup.chosenRoot, 5);
  host.RemoveFilterRoot(FilterBox::kInclusions, 5);
  EXPECT_FALSE(engine().IncludedRoots[5]);
  EXPECT_EQ(engine().inclusionPopup.chosenRoot, -1);
  host.RemoveFilterRoot(FilterBox::kExclusions, 12);
  host.RemoveFilterChordType(FilterBox::kInclusions, -1);
  EXPECT_EQ(Pages(), 2);
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  while (n-- > 0) out += s;
  return out;
}

ChunkBuffer Body(const std::vector<std::string>& texts, std::vector<std::pair<int, double>> changes = {}) {
  std::vector<double> params(30, 0.0);
  for (int i : {kScalesDropdown, kExclusionsDropdown, kNoteDropdown, kInclusionsDropdown}) params[i] = -1.0;
  params[kCustomInversionRoot] = 1.0;
  for (auto [index, value] : changes) params[index] = value;
  ChunkBuffer chunk;
  for (const std::string& t : texts) chunk.PutText(t);
  for (double v : params) chunk.PutDouble(v);
  return chunk;
}

const std::vector<std::string> kFresh = {Repeat("-1 ,", 16), "", ",", "", Repeat("0 ", 16), ","};
const std::vector<std::string> kCMajor = {"0 0 1 1 ," + Repeat("-1 ,", 4) + "9 7 0 0 ," + Repeat("-1 ,", 10),
                                          "48 60 50 62 52 64 53 41 55 43 57 45 59 47 ",
                                          "1 6 ,13 ",
                                          "",
                                          "2 " + Repeat("0 ", 15),
                                          ","};

using StateTest = CoreTest;

std::vector<uint8_t> Bytes(const ChunkBuffer& c) { return {c.Data(), c.Data() + c.Size()}; }

TEST_F(StateTest, AFreshInstanceSavesSixTextsAndThirtyValuesAndLoadsThemBack) {
  ChunkBuffer saved;
  ASSERT_TRUE(host.SaveState(saved));
  EXPECT_EQ(Bytes(saved), Bytes(Body(kFresh)));
  EXPECT_EQ(host.LoadState(saved, 0), saved.Size());
  // Undo reaches back to the restored grid, and no further.
  ASSERT_EQ(engine().history.Snapshots().size(), 1u);
  EXPECT_TRUE(IsAllEmpty(engine().history.Snapshots().front()));
}

TEST_F(StateTest, LoadsTheCMajorExample) {
  const ChunkBuffer body = Body(kCMajor);
  ASSERT_EQ(host.LoadState(body, 0), body.Size());
  const ChordEntry& c = engine().ChordGrid[0];
  EXPECT_TRUE(c.name == "C maj" && c.octave == 1 && c.locked && c.inversion == 2);
  EXPECT_EQ(engine().ChordGrid[5].name, "A min");
  EXPECT_TRUE(engine().ExcludedRoots[1] && engine().ExcludedRoots[6] && engine().ExcludedChordTypes[13]);
  EXPECT_TRUE(engine().NoteMarks[47] && !engine().NoteMarks[49]);
  ChunkBuffer again;
  host.SaveState(again);
  for (int i = 0; i < kStateTextCount; ++i) EXPECT_EQ(host.StateTexts()[i], kCMajor[i]) << i;
}

TEST_F(StateTest, ADamagedChunkEndsTheRestoreWithoutTheParameters) {
  for (const std::string grid : {"5 ,", "x 1 0 0 ,", "99999999999 ,"}) {
    std::vector<std::string> texts = kCMajor;
    texts[kGridText] = "0 0 0 0 ," + grid;
    EXPECT_EQ(host.LoadState(Body(texts, {{kLooseMatches, 3.0}}), 0), -1) << grid;
    EXPECT_EQ(engine().ChordGrid[0].name, "C maj");  // what the reader did before the error stays
    EXPECT_FALSE(engine().ExcludedRoots[1]);         // later readers never ran
    EXPECT_EQ(host.GetParam(kLooseMatches)->Value(), 0.0);
  }
  const ChunkBuffer body = Body(kCMajor, {{kLooseMatches, 3.0}});
  ChunkBuffer cut;
  cut.PutBytes(body.Data(), 20);
  EXPECT_EQ(host.LoadState(cut, 0), -1);
  EXPECT_EQ(host.GetParam(kLooseMatches)->Value(), 0.0);
}

// Settings apply; action buttons saved pressed (older chunks) and the
// popups' live choice run nothing.
TEST_F(StateTest, RestoredParametersApplyInIndexOrderAndRunNoAction) {
  std::vector<std::string> texts = kFresh;
  texts[kGridText] = "0 0 3 0 ,";
  const ChunkBuffer body = Body(texts, {{kGridOctaveDown, 1.0}, {kGridOctaveUp, 1.0}, {kClearGrid, 1.0},
                                        {kCustomInversion3, 0.5}, {kRecord, 1.0}, {kLooseMatches, NAN},
                                        {kScalesDropdown, 228.0}, {kExclusionsDropdown, 3.0}});
  engine().exclusionPopup = {3, 7};
  ASSERT_EQ(host.LoadState(body, 0), body.Size());
  EXPECT_EQ(engine().ChordGrid[0].octave, 3);
  EXPECT_EQ(engine().history.Snapshots().size(), 1u);
  EXPECT_EQ(host.GetParam(kGridOctaveUp)->Value(), 0.0);
  EXPECT_FALSE(engine().ExcludedRoots[3]);
  EXPECT_TRUE(engine().EnabledInversions[3]);
  EXPECT_TRUE(host.RecordArmed());
  EXPECT_EQ(engine().LooseMatchLimit, 0);
}

// The scale box shows the restored root and scale while the restored marks
// are that scale's, and "-" once they were changed by hand.
TEST_F(StateTest, TheScaleBoxShowsTheRestoredScale) {
  const uint32_t shown = host.Changes().scaleChoice;
  ASSERT_GT(host.LoadState(Body(kCMajor, {{kScalesDropdown, 21.0}}), 0), 0);  // A minor: the same notes
  EXPECT_EQ(engine().scalePopup.chosenRoot, 9);
  EXPECT_EQ(engine().scalePopup.chosenScale, 1);
  EXPECT_EQ(engine().scalePopup.noteLabel, NoteShortName(9));
  EXPECT_EQ(engine().scalePopup.scaleLabel, ScaleShortName(1));
  EXPECT_GT(host.Changes().scaleChoice, shown);
  std::vector<std::string> texts = kCMajor;
  texts[kHighlightsText] = "48 60 50 62 ";
  ASSERT_GT(host.LoadState(Body(texts, {{kScalesDropdown, 21.0}}), 0), 0);
  EXPECT_EQ(engine().scalePopup.chosenScale, -1);
  EXPECT_EQ(engine().scalePopup.scaleLabel, "-");
  // D Dorian with both its A keys ringed ("must contain"): still D Dorian.
  constexpr int kDDorian = 16 * 12 + 2;
  host.SetScaleChoice(2, 16);
  host.SetParam(kScalesDropdown, kDDorian);
  host.ToggleKeyboardNote(9);
  host.ToggleKeyboardNote(21);
  ChunkBuffer saved;
  ASSERT_TRUE(host.SaveState(saved));
  HostedVelmora restored;
  ASSERT_GT(restored.LoadState(saved, 0), 0);
  EXPECT_EQ(restored.Engine().scalePopup.chosenRoot, 2);
  EXPECT_EQ(restored.Engine().scalePopup.chosenScale, 16);
}

TEST_F(StateTest, PresetBankRoundTrip) {
  ASSERT_GT(host.LoadState(Body(kCMajor), 0), 0);
  host.FillEmptyPresets(Velmora::kPresetCount);
  ChunkBuffer bank;
  ASSERT_TRUE(host.SerializePresets(bank));
  HostedVelmora other;
  EXPECT_EQ(other.UnserializePresets(bank, 0), bank.Size());
  EXPECT_EQ(other.Engine().ChordGrid[0].name, "C maj");
}

}  // namespace
}  // namespace velmora::test
