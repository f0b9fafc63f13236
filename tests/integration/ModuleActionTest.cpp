// The action buttons' parameters through the module: an action runs once per
// change to 1, reads 0 afterwards, and no reload of a saved state runs it again.
#include "tests/integration/ModuleSupport.h"

namespace velmora::integration {
namespace {

constexpr int kUndo = 4, kRedo = 5, kRandomizeGrid = 8, kClearExclusions = 13, kClearInclusions = 16,
              kClearNoteSelection = 17, kClearGrid = 18, kGridOctaveDown = 19, kGridOctaveUp = 20, kDrag = 28;

class ModuleActionTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    Start(host);
    const Bytes state = MakeState("scale 0 cell 0 0 0 cell 5 9 7 -1 cell 10 7 0 2 1");
    ASSERT_FALSE(state.empty());
    ASSERT_TRUE(host.setChunk(ChunkKind::Program, state));
  }
  std::string Grid() { return StateTexts(ProgramChunk(host)).at(0); }
  // A press as a host sends it: 1, then 0 when the button is let go.
  void Press(int index) {
    ASSERT_TRUE(host.setParameter(index, 1.0f));
    ASSERT_TRUE(host.setParameter(index, 0.0f));
  }
  // Where parameter index lies in a program chunk: after the header and the six texts.
  static size_t ParamOffset(const Bytes& chunk, int index) {
    size_t position = 8;
    for (const std::string& text : StateTexts(chunk)) position += 4 + text.size();
    return position + 8 * static_cast<size_t>(index);
  }
};

TEST_F(ModuleActionTest, NoReloadRunsAnActionAgain) {
  for (int index : {kGridOctaveUp, kRandomizeGrid, kGridOctaveDown, kUndo, kRedo, kClearExclusions,
                    kClearInclusions, kClearNoteSelection, kClearGrid, kDrag}) {
    ASSERT_TRUE(host.setParameter(index, 1.0f));
    EXPECT_EQ(host.parameter(index), 0.0f) << index;
    const Bytes saved = ProgramChunk(host);
    for (int cycle = 0; cycle < 10; ++cycle) {
      ASSERT_TRUE(host.setChunk(ChunkKind::Program, saved));
      ASSERT_EQ(ProgramChunk(host), saved) << "parameter " << index << ", reload " << cycle;
    }
    ASSERT_TRUE(host.setParameter(index, 0.0f));
  }
}

TEST_F(ModuleActionTest, AnActionRunsOncePerChangeToOne) {
  const std::string start = Grid();
  ASSERT_TRUE(host.setParameter(kGridOctaveUp, 1.0f));
  const std::string up = Grid();
  EXPECT_NE(up, start);
  ASSERT_TRUE(host.setParameter(kGridOctaveUp, 1.0f));  // a held value sent again
  EXPECT_EQ(Grid(), up);
  ASSERT_TRUE(host.setParameter(kGridOctaveUp, 0.0f));
  Press(kGridOctaveDown);
  EXPECT_EQ(Grid(), start);
  Press(kGridOctaveUp);
  EXPECT_EQ(Grid(), up);
}

// Chunks of older versions saved a pressed button as 1: they load without
// running it, and are saved again with 0.
TEST_F(ModuleActionTest, AnOldChunkHoldingOneLoadsWithoutRunningIt) {
  Bytes old = ProgramChunk(host);
  const std::string grid = StateTexts(old).at(0);
  for (int index : {kGridOctaveUp, kGridOctaveDown, kRandomizeGrid, kClearGrid, kUndo}) {
    const size_t at = ParamOffset(old, index);
    ASSERT_LE(at + 8, old.size());
    for (int b = 0; b < 8; ++b) old[at + static_cast<size_t>(b)] = b < 6 ? 0x00 : (b == 6 ? 0xF0 : 0x3F);  // 1.0
  }
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, old));
  const Bytes again = ProgramChunk(host);
  EXPECT_EQ(StateTexts(again).at(0), grid);
  EXPECT_EQ(host.parameter(kGridOctaveUp), 0.0f);
  EXPECT_EQ(again[ParamOffset(again, kClearGrid) + 7], 0x00);
}

// Undo after Clear shows the grid that was cleared, then steps back as usual.
TEST_F(ModuleActionTest, UndoAfterClearBringsBackWhatWasCleared) {
  const std::string a = Grid();
  Press(kGridOctaveUp);
  const std::string b = Grid();
  Press(kClearGrid);
  ASSERT_NE(Grid(), b);
  Press(kUndo);
  EXPECT_EQ(Grid(), b);
  Press(kUndo);
  EXPECT_EQ(Grid(), a);
  Press(kRedo);
  EXPECT_EQ(Grid(), b);
  Press(kRedo);  // nothing after b
  EXPECT_EQ(Grid(), b);
}

}  // namespace
}  // namespace velmora::integration
