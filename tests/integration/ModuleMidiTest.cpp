// Host notes in, chords out, and parameters that must leave the chords alone.
#include "tests/integration/ModuleSupport.h"

namespace velmora::integration {
namespace {

class ModuleMidiTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    Start(host);
    // C maj in cell 0 at octave 0, A maj in cell 1 an octave up.
    const Bytes state = MakeState("scale 0 cell 0 0 0 cell 1 9 0 1");
    ASSERT_FALSE(state.empty());
    ASSERT_TRUE(host.setChunk(ChunkKind::Program, state)) << host.error();
    host.takeCapturedMidi();
  }
  std::vector<Note> Block(std::int32_t blocks = 1) {
    EXPECT_TRUE(host.process(blocks)) << host.error();
    return Notes(host.takeCapturedMidi());
  }
};

TEST_F(ModuleMidiTest, Note36PlaysCellZerosChordAtTheBlocksFirstFrame) {
  ASSERT_TRUE(host.queueMidi(100, 0x90, 36, 90));
  // The queue goes out in the block the note arrived in, at offset 0.
  EXPECT_EQ(Block(), (std::vector<Note>{{0x90, 60, 90, 0}, {0x90, 64, 90, 0}, {0x90, 67, 90, 0}}));
  EXPECT_EQ(Block(), std::vector<Note>{});
  ASSERT_TRUE(host.queueMidi(7, 0x80, 36, 0));
  EXPECT_EQ(Block(), (std::vector<Note>{{0x80, 60, 0, 0}, {0x80, 64, 0, 0}, {0x80, 67, 0, 0}}));
}

TEST_F(ModuleMidiTest, AnyChannelPlaysTheGridAndOutputStaysOnChannelOne) {
  ASSERT_TRUE(host.queueMidi(0, 0x95, 37, 64));  // channel 6, cell 1: A maj an octave up
  EXPECT_EQ(Block(), (std::vector<Note>{{0x90, 81, 64, 0}, {0x90, 85, 64, 0}, {0x90, 88, 64, 0}}));
  ASSERT_TRUE(host.queueMidi(0, 0x95, 37, 0));  // note-on with velocity 0 ends it
  EXPECT_EQ(Block(), (std::vector<Note>{{0x80, 81, 0, 0}, {0x80, 85, 0, 0}, {0x80, 88, 0, 0}}));
}

TEST_F(ModuleMidiTest, NotesOutsideTheGridAndOtherMessagesAreDropped) {
  ASSERT_TRUE(host.queueMidi(0, 0x90, 35, 100));
  ASSERT_TRUE(host.queueMidi(0, 0x90, 52, 100));
  ASSERT_TRUE(host.queueMidi(0, 0x90, 38, 100));  // an empty cell
  ASSERT_TRUE(host.queueMidi(0, 0xB0, 36, 100));  // a control change on the trigger number
  ASSERT_TRUE(host.queueMidi(0, 0x80, 36, 0));    // a note-off with nothing started
  EXPECT_EQ(Block(2), std::vector<Note>{});
}

TEST_F(ModuleMidiTest, ScalesDropdownWithNothingChosenChangesNothing) {
  const Bytes before = ProgramChunk(host);
  ASSERT_TRUE(host.setParameter(0, 0.5f));
  ASSERT_TRUE(host.setParameter(0, 0.0f));
  EXPECT_EQ(Block(), std::vector<Note>{});
  const Bytes after = ProgramChunk(host);
  // The grid, highlights and every other state text are untouched.
  EXPECT_EQ(StateTexts(after), StateTexts(before));
  ASSERT_EQ(StateTexts(after).size(), 6u);
  ASSERT_TRUE(host.queueMidi(0, 0x90, 36, 100));
  EXPECT_EQ(Block().size(), 3u);
}

TEST_F(ModuleMidiTest, RestoredStatePlaysTheSameChordsInASecondInstance) {
  const Bytes state = ProgramChunk(host);
  VstHost second;
  ASSERT_TRUE(second.load(VELMORA_MODULE)) << second.error();
  Start(second);
  ASSERT_TRUE(second.setChunk(ChunkKind::Program, state));
  ASSERT_TRUE(second.queueMidi(0, 0x90, 36, 100));
  ASSERT_TRUE(second.process(1));
  EXPECT_EQ(Notes(second.takeCapturedMidi()),
            (std::vector<Note>{{0x90, 60, 100, 0}, {0x90, 64, 100, 0}, {0x90, 67, 100, 0}}));
}

}  // namespace
}  // namespace velmora::integration
