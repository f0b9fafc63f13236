#include <algorithm>

#include "CoreTestSupport.h"
#include "framework/plugin/vst2/IPluginVST.h"
#include "tests/LockHolder.h"

namespace velmora::test {
namespace {

class ProcessBlockTest : public CoreTest {
 protected:
  Sent Notes(bool on, const ChordEntry& cell) {
    Sent out;
    for (int n : VoiceChord(cell.notes, cell.octave, cell.inversion)) out.push_back(on ? On(n) : Off(n));
    return out;
  }
  std::vector<int> Press(int key) {
    host.SetPressedKey(key);
    host.Block();
    return engine().KeyboardHighlights;
  }
};

TEST_F(ProcessBlockTest, SendsTheWholeQueueInOneBlockWithItsOwnOffsets) {
  host.Queue().Enqueue({5000, 0x90, 61, 1});
  host.StartChord({60}, 0, 0, 100);
  EXPECT_TRUE(host.SendBlock(0).empty());  // no frames: kept for the next block
  EXPECT_EQ(host.SendBlock(), (Sent{On(60), On(61, 5000)}));
  EXPECT_TRUE(host.SendBlock().empty());
  // A double-precision host's own buffers come back silent.
  std::vector<double> left(64, 0.5), right(64, 0.5);
  double* outputs[] = {left.data(), right.data()};
  auto lock = host.Lock();  // as the VST 2.4 adapter holds it and connects the outputs
  for (int channel : {0, 1}) host.SetOutChannelConnected(channel, true);
  host.ProcessBuffersDouble(0, nullptr, 2, outputs, 64);
  EXPECT_TRUE(std::all_of(left.begin(), left.end(), [](double s) { return s == 0.0; }));
}

// A block never waits for the lock: while another thread holds it, blocks go
// out silent and their time still counts; the host notes sent meanwhile play
// once each, in order, in the first block that has the lock.
TEST_F(ProcessBlockTest, BlocksGoOnWhileTheLockIsHeldAndTheirNotesFollowInOrder) {
  // The VST 2.4 adapter's entries in front of a Velmora that sends to the fake hosted.
  IPluginVST adapter(nullptr, [](PluginHost&) { return std::make_unique<HostedVelmora>(); });
  auto& hosted = static_cast<HostedVelmora&>(adapter.Plugin());
  hosted.Engine().ChordGrid[0] = Chord(0, 0, 0);
  hosted.Engine().ChordGrid[1] = Chord(9, 0, 1);
  hosted.hostTime.transportIsRunning = true;
  hosted.SetParam(kRecord, 1.0);
  hosted.StartChord({50}, 0, 0, 100);  // starts a take
  hosted.SendBlock(64);
  hosted.sent.clear();
  const int32_t start = hosted.RecordPosition();
  AEffect* effect = adapter.Effect();
  std::vector<float> left(64), right(64);
  float* outputs[] = {left.data(), right.data()};
  {
    LockHolder holder(hosted.Mutex());
    for (int block = 0; block < 8; ++block) {
      const bool on = block % 2 == 0;
      const int cell = block / 2 % 2;
      VstMidiEvent note{kVstMidiType, 32, 10, 0, 0, 0, {char(on ? 0x90 : 0x80), char(36 + cell), 100, 0}, 0, 0, 0, 0};
      VstEvents list{1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
      effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
      left.assign(64, 1.0f);
      effect->processReplacing(effect, nullptr, outputs, 64);
      ASSERT_TRUE(holder.Held()) << "block " << block << " waited for the lock";
      EXPECT_EQ(left[63], 0.0f) << block;
    }
    EXPECT_TRUE(hosted.sent.empty());
  }
  effect->processReplacing(effect, nullptr, outputs, 64);
  effect->processReplacing(effect, nullptr, outputs, 64);  // what the first had to hold back
  // The four presses, each struck once and ended once, in their order.
  std::array<int, 128> sounding{};
  int strikes = 0;
  for (const MidiMessage& m : hosted.sent) {
    int& count = sounding[m.data1 & 0x7F];
    const bool on = (m.status & 0xF0) == 0x90;
    EXPECT_EQ(count, on ? 0 : 1) << int(m.data1);
    count += on ? 1 : -1;
    strikes += on;
  }
  EXPECT_EQ(strikes, 4 * 3);
  EXPECT_EQ(std::count(sounding.begin(), sounding.end(), 0), 128);
  EXPECT_EQ(hosted.RecordPosition(), start + 10 * 64);
}

TEST_F(ProcessBlockTest, OnlyNotes36To51PlayTheirCellsOnAnyChannel) {
  const ChordEntry cell = Chord(0, 0, 0);
  engine().ChordGrid[0] = cell;
  for (MidiMessage m : {HostNote(0x90, 35, 100), HostNote(0x90, 52, 100), HostNote(0xB0, 36, 100),
                        HostNote(0xE0, 36, 64), HostNote(0xA0, 36, 64)}) {
    host.HandleMidiMessage(m);
  }
  EXPECT_TRUE(host.SendBlock().empty());
  host.HandleMidiMessage(HostNote(0x99, 36, 90));
  EXPECT_TRUE(host.Changes().cells[0].sounding);
  EXPECT_EQ(host.SendBlock(), Notes(true, cell));
  EXPECT_EQ(host.sent[0].data2, 90);
  host.HandleMidiMessage(HostNote(0x99, 36, 0));
  EXPECT_EQ(host.SendBlock(), Notes(false, cell));
  host.HandleMidiMessage(HostNote(0x89, 36, 0));
  EXPECT_TRUE(host.SendBlock().empty());
  EXPECT_FALSE(host.Changes().cells[0].sounding);
}

TEST_F(ProcessBlockTest, ReleaseStopsTheChordStartedNotTheCellsNewContent) {
  const ChordEntry started = Chord(0, 0, 0);
  engine().ChordGrid[0] = started;
  host.HandleMidiMessage(HostNote(0x90, 36, 100));
  host.SendBlock();
  host.PlaceListChord(Chord(2, 7), 7, 27, 608);  // drop D min on cell 0
  ASSERT_EQ(engine().ChordGrid[0].root, 2);
  host.HandleMidiMessage(HostNote(0x80, 36, 0));
  EXPECT_EQ(host.SendBlock(), Notes(false, started));
  host.HandleMidiMessage(HostNote(0x80, 36, 0));  // the cell no longer holds a chord
  EXPECT_TRUE(host.SendBlock().empty());
}

TEST_F(ProcessBlockTest, CapturesWhileArmedAndRunningEvenWithoutATake) {
  host.SetParam(kRecord, 1.0);
  host.StartChord({60}, 0, 0, 100);  // transport stopped: no take, nothing captured
  host.SendBlock();
  host.hostTime.transportIsRunning = true;
  host.StopChord({60}, 0, 0);
  host.SendBlock();
  ASSERT_EQ(host.RecordedEvents().size(), 1u);
  EXPECT_FALSE(host.RecordedEvents()[0].second.isNoteOn);
  EXPECT_EQ(host.RecordPosition(), 0);
  host.StartChord({62}, 0, 0, 100);  // the take forgets the stray note-off
  EXPECT_TRUE(host.RecordedEvents().empty());
  host.SendBlock();
  host.SendBlock(100);
  EXPECT_EQ(host.RecordPosition(), 612);
  EXPECT_EQ(host.RecordedEvents()[0].second.note, 62);
}

// An empty cell plays nothing but starts a take, every time, not only the first.
TEST_F(ProcessBlockTest, AnEmptyCellStartsATakeAgainAndAgain) {
  host.SetParam(kRecord, 1.0);
  for (int take = 0; take < 2; ++take) {
    host.hostTime.transportIsRunning = true;
    host.HandleMidiMessage(HostNote(0x90, 36, 100));
    EXPECT_TRUE(host.RecordingActive()) << take;
    EXPECT_TRUE(host.SendBlock().empty());
    host.HandleMidiMessage(HostNote(0x80, 36, 0));
    host.hostTime.transportIsRunning = false;
    host.Block();
    EXPECT_FALSE(host.RecordingActive());
  }
  EXPECT_EQ(host.Auditions().SoundingCount(), 0);
}

// Every press toggles once, a tap released before the block included, and
// presses are taken in the order they were made.
TEST_F(ProcessBlockTest, KeyboardPollTogglesOncePerPressInsideTheRange) {
  EXPECT_EQ(Press(5), (std::vector<int>{41, 53}));  // before any block: taken at the first
  EXPECT_EQ(Press(5), (std::vector<int>{41, 53}));  // held: no new press
  Press(-1);
  EXPECT_EQ(host.LastPressedNote(), 35);
  EXPECT_EQ(Press(3), (std::vector<int>{41, 53}));  // note 39: outside, marks nothing
  EXPECT_TRUE(Press(5).empty());
  EXPECT_EQ(Press(17), (std::vector<int>{53, 41}));
  Press(1000000);  // off the keyboard: no key
  EXPECT_EQ(host.LastPressedNote(), 35);
  for (int key : {7, -1, 9, -1}) host.SetPressedKey(key);  // two taps within one block
  EXPECT_EQ(Press(-1), (std::vector<int>{53, 41, 43, 55, 45, 57}));
}

}  // namespace
}  // namespace velmora::test
