// Program and bank chunks between instances, and chunks that are damaged.
#include <random>

#include "tests/integration/ModuleSupport.h"

namespace velmora::integration {
namespace {

class ModuleChunkTest : public ModuleTest {
 protected:
  void SetUp() override {
    ModuleTest::SetUp();
    Start(host);
    state = MakeState("scale 14 cell 0 2 1 cell 5 7 3 -1 cell 15 11 12 2 1");
    ASSERT_FALSE(state.empty());
  }
  // The instance still answers every kind of request.
  void ExpectAlive(VstHost& h) {
    EXPECT_EQ(h.dispatch(effGetVendorVersion), 10400);
    Bytes chunk;
    EXPECT_TRUE(h.getChunk(ChunkKind::Program, chunk));
    EXPECT_TRUE(h.getChunk(ChunkKind::Bank, chunk));
    EXPECT_TRUE(h.process(2));
    EXPECT_EQ(h.parameterName(0), "ScalesD");
  }
  Bytes state;
};

// A restore clamps the drop-downs' "nothing chosen" (-1) into their range,
// so chunks are compared from the first restored instance on.
TEST_F(ModuleChunkTest, ProgramAndBankChunksComeBackFromASecondInstance) {
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, state));
  EXPECT_EQ(StateTexts(ProgramChunk(host)), StateTexts(state));
  ASSERT_TRUE(host.setParameter(11, 0.5f));  // LooseMatches 2
  ASSERT_EQ(host.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Mine")), 0);
  Bytes program, bank;
  ASSERT_TRUE(host.getChunk(ChunkKind::Program, program));
  ASSERT_TRUE(host.getChunk(ChunkKind::Bank, bank));
  ASSERT_EQ(Bytes(program.begin(), program.begin() + 8),
            (Bytes{0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00}));

  VstHost second;
  ASSERT_TRUE(second.load(VELMORA_MODULE)) << second.error();
  Start(second);
  ASSERT_TRUE(second.setChunk(ChunkKind::Program, program));
  EXPECT_EQ(ProgramChunk(second), program);
  EXPECT_EQ(second.parameterDisplay(11), "2");

  VstHost third;
  ASSERT_TRUE(third.load(VELMORA_MODULE)) << third.error();
  Start(third);
  ASSERT_TRUE(third.setChunk(ChunkKind::Bank, bank));
  EXPECT_EQ(ProgramChunk(third), program);
  char name[64] = {};
  third.dispatch(effGetProgramName, 0, 0, name);
  EXPECT_STREQ(name, "Mine");
  Bytes thirdBank;
  ASSERT_TRUE(third.getChunk(ChunkKind::Bank, thirdBank));

  VstHost fourth;
  ASSERT_TRUE(fourth.load(VELMORA_MODULE)) << fourth.error();
  Start(fourth);
  ASSERT_TRUE(fourth.setChunk(ChunkKind::Bank, thirdBank));
  Bytes fourthBank;
  ASSERT_TRUE(fourth.getChunk(ChunkKind::Bank, fourthBank));
  EXPECT_EQ(fourthBank, thirdBank);
}

TEST_F(ModuleChunkTest, DamagedProgramChunksNeverCrashTheInstance) {
  std::vector<Bytes> damaged;
  damaged.emplace_back(state.begin(), state.begin() + static_cast<std::ptrdiff_t>(state.size() / 2));
  damaged.emplace_back(state.begin(), state.begin() + 9);
  Bytes huge(state.begin(), state.begin() + 8);
  huge.insert(huge.end(), {0xFF, 0xFF, 0xFF, 0x7F, 'x'});  // length 2^31 - 1
  damaged.push_back(huge);
  std::mt19937 random(7);
  for (int i = 0; i < 16; ++i) {
    Bytes noise(static_cast<size_t>(1 + random() % 600));
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    damaged.push_back(noise);
  }
  for (const Bytes& bytes : damaged) {
    for (ChunkKind kind : {ChunkKind::Program, ChunkKind::Bank}) {
      host.setChunk(kind, bytes);  // 0 or a partial restore; either is fine
      ExpectAlive(host);
    }
  }
  // And a good chunk still restores exactly.
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, state));
  EXPECT_EQ(StateTexts(ProgramChunk(host)), StateTexts(state));
}

TEST_F(ModuleChunkTest, ATextTheReadersRejectIsRefused) {
  Bytes bad(state.begin(), state.begin() + 8);
  bad.insert(bad.end(), {3, 0, 0, 0, 'z', 'z', 'z'});  // grid text "zzz"
  EXPECT_FALSE(host.setChunk(ChunkKind::Program, bad));
  ExpectAlive(host);
}

// A bank damaged before it reaches the current slot leaves the live state as
// it was, not the older state that slot held.
TEST_F(ModuleChunkTest, DamagedBankKeepsTheLiveState) {
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, state));  // also stored in the current slot
  ASSERT_TRUE(host.setParameter(18, 1.0f));               // ClearGrid: live now differs
  const Bytes live = ProgramChunk(host);
  ASSERT_NE(StateTexts(live)[0], StateTexts(state)[0]);
  Bytes bank(state.begin(), state.begin() + 8);
  bank.insert(bank.end(), {0xFF, 0xFF, 0xFF, 0x7F});  // slot 0's name runs off the end
  EXPECT_FALSE(host.setChunk(ChunkKind::Bank, bank));
  EXPECT_EQ(ProgramChunk(host), live);
}

TEST_F(ModuleChunkTest, ProgramChangesKeepEachSlotsState) {
  ASSERT_TRUE(host.setChunk(ChunkKind::Program, state));
  const Bytes restored = ProgramChunk(host);
  ASSERT_EQ(host.dispatch(effSetProgram, 0, 3), 0);
  EXPECT_EQ(host.dispatch(effGetProgram), 3);
  const Bytes fresh = ProgramChunk(host);
  EXPECT_NE(StateTexts(fresh)[0], StateTexts(state)[0]);
  ASSERT_EQ(host.dispatch(effSetProgram, 0, 0), 0);
  EXPECT_EQ(ProgramChunk(host), restored);
}

// A program chunk with other state texts and the same header and parameters.
Bytes WithTexts(const Bytes& chunk, const std::vector<std::string>& texts) {
  size_t end = 8;
  for (int i = 0; i < 6; ++i) {
    std::uint32_t length = 0;
    for (int b = 3; b >= 0; --b) length = length << 8 | chunk.at(end + static_cast<size_t>(b));
    end += 4 + length;
  }
  Bytes out(chunk.begin(), chunk.begin() + 8);
  for (const std::string& text : texts) {
    const auto length = static_cast<std::uint32_t>(text.size());
    for (int b = 0; b < 4; ++b) out.push_back(static_cast<std::uint8_t>(length >> (8 * b)));
    out.insert(out.end(), text.begin(), text.end());
  }
  out.insert(out.end(), chunk.begin() + static_cast<std::ptrdiff_t>(end), chunk.end());
  return out;
}

// What the instance plays after RandomizeGrid and trigger notes 36..39.
std::vector<Note> RandomCellsPlay(VstHost& h) {
  h.takeCapturedMidi();
  h.setParameter(8, 1.0f);
  h.setParameter(8, 0.0f);
  for (int note = 36; note < 40; ++note) h.queueMidi(0, 0x90, static_cast<std::uint8_t>(note), 100);
  h.process(2);
  return Notes(h.takeCapturedMidi());
}

// A fresh instance's chunk restored over any other state gives a fresh
// instance's behaviour, whichever of the six texts that state had filled.
TEST_F(ModuleChunkTest, AFreshChunkRestoredOverAnyStateForgetsIt) {
  const Bytes fresh = ProgramChunk(host);
  std::vector<std::string> full = StateTexts(state);
  full[1] = "48 60 50 62 52 64 53 41 55 43 57 45 59 47 ";  // C major highlights
  full[2] = "1 6 ,13 ";
  full[3] = "4 ";  // pitch class E
  full[4] = "2 1 ";
  full[5] = "0 ,0 7 ";
  VstHost reference;
  ASSERT_TRUE(reference.load(VELMORA_MODULE)) << reference.error();
  Start(reference);
  ASSERT_TRUE(reference.setChunk(ChunkKind::Program, fresh));
  const Bytes expected = ProgramChunk(reference);
  const std::vector<Note> expectedPlay = RandomCellsPlay(reference);
  for (int text = 0; text < 6; ++text) {
    std::vector<std::string> texts = StateTexts(fresh);
    texts[static_cast<size_t>(text)] = full[static_cast<size_t>(text)];
    ASSERT_TRUE(host.setChunk(ChunkKind::Program, WithTexts(fresh, texts))) << text;
    ASSERT_TRUE(host.setChunk(ChunkKind::Program, fresh)) << text;
    EXPECT_EQ(ProgramChunk(host), expected) << text;
    EXPECT_EQ(RandomCellsPlay(host), expectedPlay) << text;
  }
}

}  // namespace
}  // namespace velmora::integration
