#include <algorithm>
#include <array>

#include "CoreTestSupport.h"

namespace velmora::test {
namespace {

MidiMessage At(int32_t offset, uint8_t note = 60) { return {offset, 0x90, note, 1}; }

std::vector<int> Pending(const MidiQueue& q) {
  std::vector<int> out;
  for (int32_t i = 0; i < q.Pending(); ++i) out.push_back(q.At(i).offset * 100 + q.At(i).data1);
  return out;
}

TEST(MidiQueue, KeepsOffsetOrderWithEqualOffsetsInArrivalOrder) {
  MidiQueue q;
  for (auto [offset, note] : {std::pair{0, 1}, {5, 2}, {3, 3}, {5, 4}}) q.Enqueue(At(offset, note));
  EXPECT_EQ(Pending(q), (std::vector<int>{1, 303, 502, 504}));
  q.PopFront();
  q.Enqueue(At(-1, 9));  // never moves in front of what was already sent
  EXPECT_EQ(Pending(q), (std::vector<int>{-91, 303, 502, 504}));
  EXPECT_EQ(q.FrontIndex(), 1);
}

TEST(MidiQueue, CompactsWhenEntriesWereSentAndGrowsWhenNot) {
  MidiQueue q;
  for (int i = 0; i < 1024; ++i) q.Enqueue(At(0));
  for (int i = 0; i < 10; ++i) q.PopFront();
  q.Enqueue(At(1));
  EXPECT_EQ(q.Capacity(), 1024);
  EXPECT_EQ(q.BackIndex(), 1015);
  for (int i = 0; i < 9; ++i) q.Enqueue(At(2));
  q.Enqueue(At(3));
  EXPECT_EQ(q.Capacity(), 2048);
  EXPECT_EQ(q.Pending(), 1025);
}

TEST(MidiQueue, ResizesToTheBlockInStepsOf512) {
  MidiQueue q;
  for (auto [frames, capacity] : {std::pair{64, 512}, {1000, 1024}, {512, 512}, {513, 1024}, {0, 512}, {-3, 512},
                                  {1 << 30, MidiQueue::kMaxCapacity}}) {
    q.ResizeForBlock(frames);
    EXPECT_EQ(q.Capacity(), capacity) << frames;
  }
  q.ResizeForBlock(1024);
  for (int i = 0; i < 710; ++i) q.Enqueue(At(0));
  for (int i = 0; i < 10; ++i) q.PopFront();
  q.ResizeForBlock(512);  // 700 pending keep their room
  EXPECT_EQ(q.Capacity(), 1024);
  EXPECT_EQ(q.GrowthStep(), 512);
  EXPECT_EQ(q.Pending(), 700);
}

TEST(MidiQueue, DropsMessagesPastItsBound) {
  MidiQueue q;
  q.ResizeForBlock(MidiQueue::kMaxCapacity);
  for (int i = 0; i < MidiQueue::kMaxCapacity; ++i) q.Enqueue(At(0));
  EXPECT_EQ(q.Pending(), MidiQueue::kMaxCapacity);  // everything up to the bound was taken
  EXPECT_FALSE(q.Enqueue(At(0)));
  EXPECT_EQ(q.Pending(), MidiQueue::kMaxCapacity);
}

using AuditionTest = CoreTest;

const ChordNotes kCMajor = {60, 64, 67};
const ChordNotes kEMinor = {64, 67, 71};

TEST_F(AuditionTest, SharedNotesRetriggerAndEndWithTheLastChordHoldingThem) {
  host.StartChord(kCMajor, 0, 0, 100);
  host.StartChord(kCMajor, 0, 0, 100);
  EXPECT_EQ(host.SendBlock(), (Sent{On(60), On(64), On(67)}));
  host.StartChord(kEMinor, 0, 0, 90);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(64), Off(67), On(64, 1), On(67, 1), On(71, 1)}));
  EXPECT_EQ(host.sent[4].data2, 90);
  host.StopChord(kCMajor, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60)}));
  host.StopChord(kEMinor, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(64), Off(67), Off(71)}));
  EXPECT_EQ(host.Auditions().SoundingCount(), 0);
}

TEST_F(AuditionTest, StoppingAChordNeverStartedReleasesWhatNobodyHolds) {
  host.StartChord(kEMinor, 0, 0, 100);
  host.SendBlock();
  host.StopChord(kCMajor, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60)}));
  ASSERT_EQ(host.Auditions().SoundingCount(), 1);
  EXPECT_EQ(host.Auditions().SoundingVoicing(0), kEMinor);
  EXPECT_TRUE(host.Auditions().NoteOnState(64));
}

TEST_F(AuditionTest, StopSendsANoteOffForEveryNoteOnTheHostHas) {
  host.StartChord({60}, 0, 0, 0);  // a velocity-0 note-on still counts
  host.SendBlock();
  EXPECT_EQ(host.Auditions().NoteOnCount(60), 1);
  host.Queue().Enqueue({0, 0x90, 60, 100});  // the host now has two note-ons for 60
  host.SendBlock();
  host.StopChord({60}, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60), Off(60)}));
  EXPECT_EQ(host.Auditions().NoteOnCount(60), 0);
  host.StopChord({60}, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60)}));
  EXPECT_EQ(host.Auditions().NoteOnCount(60), 0);
}

TEST_F(AuditionTest, APastTheBoundVoicingReleasesTheOldestFirst) {
  for (int i = 0; i < ChordAuditions::kMaxSounding; ++i) host.StartChord({i}, 0, 0, 100);
  host.SendBlock();
  EXPECT_EQ(host.Auditions().SoundingCount(), ChordAuditions::kMaxSounding);
  host.StartChord({100}, 0, 0, 100);
  EXPECT_EQ(host.SendBlock(), (Sent{Off(0), On(100)}));
  EXPECT_EQ(host.Auditions().SoundingVoicing(0), ChordNotes{1});
}

// A synth that follows what the blocks sent, note by note.
struct Synth {
  std::array<bool, 128> on{};
  void Follow(const std::vector<MidiMessage>& sent) {
    for (const MidiMessage& m : sent) on[m.data1 & 0x7F] = (m.status & 0xF0) == 0x90 && m.data2 > 0;
  }
  int Sounding() const { return static_cast<int>(std::count(on.begin(), on.end(), true)); }
};

// A chord stopped before its block sounds for that block: its note-offs
// follow in the next one, and then nothing sounds.
TEST_F(AuditionTest, ChordsStoppedBeforeTheirBlockSoundForABlockThenStop) {
  Synth synth;
  host.StartChord(kCMajor, 0, 0, 100);
  host.SendBlock();
  synth.Follow(host.sent);
  host.StartChord(kEMinor, 0, 0, 100);  // 64 and 67 strike again at frame 1
  host.StopChord(kEMinor, 0, 0);
  host.StopChord(kCMajor, 0, 0);
  host.SendBlock();
  synth.Follow(host.sent);
  EXPECT_EQ(synth.Sounding(), 3);  // E minor, for this block
  EXPECT_EQ(host.SendBlock(), (Sent{Off(64), Off(67), Off(71)}));
  synth.Follow(host.sent);
  EXPECT_EQ(synth.Sounding(), 0);
  EXPECT_TRUE(host.SendBlock().empty());
}

TEST_F(AuditionTest, AHostNoteBurstPastTheQueuesRoomDropsNoteOnsFirst) {
  for (int i = 0; i < kGridCellCount; ++i) engine().ChordGrid[i] = Chord(i % 12, 29 - i % 4, i);
  for (int round = 0; round < 20; ++round) {
    for (int k = 0; k < kGridCellCount; ++k) host.HandleMidiMessage(HostNote(0x90, 36 + k, 100));
    for (int k = 0; k < kGridCellCount; ++k) host.HandleMidiMessage(HostNote(0x80, 36 + k, 0));
  }
  EXPECT_GT(host.Queue().DroppedCount(), 0);
  EXPECT_LE(host.Queue().Capacity(), 1024);  // no growth on the processing thread
  Synth synth;
  host.SendBlock();
  synth.Follow(host.sent);
  EXPECT_GT(host.sent.size(), 96u);
  host.SendBlock();  // the note-offs held back for the last notes struck
  synth.Follow(host.sent);
  EXPECT_EQ(synth.Sounding(), 0);
  host.HandleMidiMessage(HostNote(0x90, 36, 100));  // the next block plays in full
  host.SendBlock();
  synth.Follow(host.sent);
  EXPECT_EQ(synth.Sounding(), 6);  // cell 0's six notes
}

TEST_F(AuditionTest, VelocityStaysASevenBitDataByte) {
  host.StartChord({60}, 0, 0, 300);
  host.StartChord({62}, 0, 0, -4);
  host.SendBlock();
  EXPECT_EQ(host.sent.at(0).data2, 127);
  EXPECT_EQ(host.sent.at(1).data2, 0);
}

}  // namespace
}  // namespace velmora::test
