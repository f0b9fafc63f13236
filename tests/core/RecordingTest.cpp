#include <algorithm>
#include <chrono>
#include <cmath>

#include "CoreTestSupport.h"
#include "core/platform/DragPayload.h"
#include "framework/plugin/AppDataFolder.h"

namespace velmora::test {
namespace {

class RecordingTest : public CoreTest {
 protected:
  RecordingTest() {
    host.hostTime.transportIsRunning = true;
    host.SetParam(kRecord, 1.0);
  }
  void PlayAt(int32_t frame, bool on, int note) {
    if (frame > host.RecordPosition()) host.Block(frame - host.RecordPosition());
    on ? host.StartChord({note}, 0, 0, 100) : host.StopChord({note}, 0, 0);
  }
  std::string EndTake() {
    host.Block();
    host.hostTime.transportIsRunning = false;
    host.Block();
    host.WaitForExports();
    return MidiCsv(host.ExportFilePath());
  }
};

TEST_F(RecordingTest, ATakeIsWrittenInTicksOfTheHostTempo) {
  PlayAt(0, true, 60);
  PlayAt(0, true, 64);
  PlayAt(44100, false, 60);
  EXPECT_TRUE(host.RecordingActive());
  EXPECT_TRUE(host.Changes().dragButtonShown);
  EXPECT_EQ(EndTake(),
            "0, 0, Header, 1, 2, 120\n2, 0, Note_on_c, 0, 60, 100\n2, 0, Note_on_c, 0, 64, 100\n"
            "2, 240, Note_off_c, 0, 60, 0\n2, 243, Note_off_c, 0, 64, 0\n");  // 64 ends with the take
  EXPECT_FALSE(host.RecordingActive());
}

TEST_F(RecordingTest, At90BpmAnd48kTicksRoundHalvesAwayFromZero) {
  host.SetSampleRate(48000.0);
  host.tempo = 90.0;
  PlayAt(0, true, 60);
  PlayAt(400, false, 60);
  PlayAt(8000, true, 62);
  PlayAt(16000, false, 62);
  EXPECT_EQ(EndTake(),
            "0, 0, Header, 1, 2, 120\n2, 0, Note_on_c, 0, 60, 100\n2, 2, Note_off_c, 0, 60, 0\n"
            "2, 30, Note_on_c, 0, 62, 100\n2, 60, Note_off_c, 0, 62, 0\n");
}

TEST_F(RecordingTest, NoteOffsComeFirstAtEqualTicks) {
  PlayAt(0, true, 60);
  PlayAt(22050, true, 62);  // captured before the note-off of the same frame
  PlayAt(22050, false, 60);
  EXPECT_NE(EndTake().find("2, 120, Note_off_c, 0, 60, 0\n2, 120, Note_on_c, 0, 62, 100\n"), std::string::npos);
}

TEST_F(RecordingTest, WithoutAHostTempoTheLastReportedOneOr120IsUsed) {
  host.tempo = 0.0;
  host.hostTime.tempo = 100.0;  // 26460 frames per beat
  PlayAt(0, true, 60);
  PlayAt(26460, false, 60);
  EXPECT_NE(EndTake().find("2, 120, Note_off_c"), std::string::npos);
  host.hostTime.tempo = 0.0;
  host.Block();
  host.SetParam(kRecord, 0.0);
  host.WaitForExports();
  EXPECT_NE(MidiCsv(host.ExportFilePath()).find("2, 144, Note_off_c"), std::string::npos);  // 26460 at 120
  fs::remove(host.ExportFilePath());
  host.SetSampleRate(0.0);  // no ticks can be computed: no file
  host.SetParam(kRecord, 0.0);
  host.WaitForExports();
  EXPECT_FALSE(fs::exists(host.ExportFilePath()));
}

TEST_F(RecordingTest, RecordOffWritesTheTakeAgainAtEveryNotification) {
  PlayAt(0, true, 60);
  host.Block();
  host.SetParam(kRecord, 0.0);
  host.WaitForExports();
  EXPECT_FALSE(host.RecordingActive());
  const std::vector<uint8_t> first = ReadBytes(host.ExportFilePath());
  fs::remove(host.ExportFilePath());
  host.SetParam(kRecord, 0.0);
  host.WaitForExports();
  EXPECT_EQ(ReadBytes(host.ExportFilePath()), first);
  EXPECT_FALSE(first.empty());
}

TEST_F(RecordingTest, DragOffersNothingUntilATakeIsOnDisk) {
  host.StartFileDrag();
  EXPECT_TRUE(drag.dragged.empty());
  EXPECT_FALSE(fs::exists(host.ExportFilePath()));
  // Recorded, but no tick could be computed, so nothing was written.
  host.SetSampleRate(0.0);
  PlayAt(0, true, 60);
  host.Block();
  host.StartFileDrag();
  EXPECT_FALSE(fs::exists(host.ExportFilePath()));
  EXPECT_TRUE(drag.dragged.empty());
}

TEST_F(RecordingTest, DragDuringATakeWritesTheFileFirstAndFreezesThePosition) {
  PlayAt(0, true, 60);
  PlayAt(1000, false, 60);
  host.Block();
  host.StartFileDrag();
  EXPECT_FALSE(host.RecordingActive());
  const std::string expected = (home.path / "expected.mid").string();  // what a synchronous export writes
  ASSERT_TRUE(BuildRecordingFile(host.RecordedEvents(), ExportSettings{22050, 120, 1512}).Write(expected));
  ASSERT_EQ(drag.dragged.size(), 1u);
  EXPECT_EQ(drag.dragged[0], ReadBytes(expected));
  host.StopChord({60}, 0, 0);  // still captured, at the frozen position
  host.Block();
  EXPECT_EQ(host.RecordedEvents().back().first, 1512);
  EXPECT_EQ(host.RecordPosition(), 1512);
}

// A click shorter than a block sounds until the next block, live and in the
// take alike.
TEST_F(RecordingTest, AClickShorterThanABlockLastsABlockLiveAndInTheTake) {
  host.StartChord({60}, 0, 0, 100);
  host.StopChord({60}, 0, 0);
  EXPECT_EQ(host.SendBlock(), (Sent{On(60)}));
  EXPECT_EQ(host.SendBlock(), (Sent{Off(60)}));
  EXPECT_EQ(EndTake(), "0, 0, Header, 1, 2, 120\n2, 0, Note_on_c, 0, 60, 100\n2, 3, Note_off_c, 0, 60, 0\n");
}

// Every take has a file of its own that later takes and other instances
// leave alone, each instance's drag offers its own latest take, and the
// folder keeps only the newest takes.
TEST_F(RecordingTest, EachTakeHasItsOwnFileAndEachInstanceDragsItsOwn) {
  const fs::path takes = home.path / "velmora-takes";
  fs::create_directories(takes);
  const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  for (size_t i = 0; i < MidiExporter::kKeptTakes; ++i) {
    const fs::path old = takes / ("velmora-take-old-" + std::to_string(i) + ".mid");
    std::ofstream(old) << "old";
    fs::last_write_time(old, longAgo - std::chrono::seconds(i));
  }
  HostedVelmora other;
  FakeDrag otherDrag;
  other.SetFileDragSource(&otherDrag);
  other.hostTime.transportIsRunning = true;
  other.SetParam(kRecord, 1.0);
  PlayAt(0, true, 60);
  PlayAt(100, false, 60);
  other.StartChord({64}, 0, 0, 100);
  other.Block();
  host.StartFileDrag();
  other.StartFileDrag();
  other.SetFileDragSource(nullptr);
  ASSERT_EQ(drag.paths.size(), 1u);
  ASSERT_EQ(otherDrag.paths.size(), 1u);
  for (const std::string& path : {drag.paths[0], otherDrag.paths[0]})
    EXPECT_EQ(fs::u8path(path).parent_path(), takes) << path;
  EXPECT_NE(MidiCsv(drag.paths[0]).find("Note_on_c, 0, 60, 100"), std::string::npos);
  EXPECT_NE(MidiCsv(otherDrag.paths[0]).find("Note_on_c, 0, 64, 100"), std::string::npos);
  EXPECT_EQ(MidiCsv(otherDrag.paths[0]).find("Note_on_c, 0, 60,"), std::string::npos);

  const std::vector<uint8_t> first = ReadBytes(drag.paths[0]);
  host.hostTime.transportIsRunning = true;
  PlayAt(host.RecordPosition(), true, 62);  // a second take of this instance
  host.Block();
  host.StartFileDrag();
  ASSERT_EQ(drag.paths.size(), 2u);
  EXPECT_NE(drag.paths[1], drag.paths[0]);
  EXPECT_EQ(ReadBytes(drag.paths[0]), first);
  EXPECT_EQ(ReadBytes(host.ExportFilePath()), ReadBytes(drag.paths[1]));  // the latest, as before
  size_t kept = 0;
  for (const auto& entry : fs::directory_iterator(takes)) kept += entry.path().extension() == ".mid";
  EXPECT_EQ(kept, MidiExporter::kKeptTakes);
  EXPECT_FALSE(fs::exists(takes / "velmora-take-old-199.mid"));
  EXPECT_TRUE(fs::exists(takes / "velmora-take-old-0.mid"));
}

TEST_F(RecordingTest, ABurstOfExportsLeavesTheLastOnDisk) {
  const std::string path = (home.path / "burst.mid").string();
  MidiExporter exporter(path);
  for (int i = 0; i < 200; ++i) {
    exporter.Capture(i * 100, RecordedEvent{60, 100, true});
    exporter.Capture(i * 100 + 50, RecordedEvent{60, 0, false});
    exporter.Export(ExportSettings{22050, 120, i * 100 + 50});
  }
  exporter.WaitForExports();
  const std::string csv = MidiCsv(path);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 401);
}

TEST(RecordingMath, NeedsAPositiveTempoAndRateAndStaysInsideInt32) {
  EXPECT_EQ(SamplesPerBeat(48000.0, 90.0), 32000);
  for (auto [rate, tempo] : {std::pair{44100.0, 0.0}, {0.0, 120.0}, {44100.0, 1e9}, {1e300, 1.0}, {44100.0, NAN}})
    EXPECT_EQ(SamplesPerBeat(rate, tempo), 0) << rate << " " << tempo;
  EXPECT_EQ(TickForPosition(2147483647, 120, 1), 2147483647);
}

TEST(DragPayload, FileListIsADropFilesRecordThenThePathAndTwoZeros) {
  const std::string path(60, 'p');
  const std::vector<uint8_t> block = ExportedFileList(path);
  const std::vector<uint8_t> record = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(block.size(), 82u);
  EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.begin() + 20), record);
  EXPECT_EQ(std::string(block.begin() + 20, block.begin() + 80), path);
  EXPECT_EQ(block[80] | block[81], 0);
}

TEST(DragPayload, UriListPercentEncodesAllButUnreservedAndSlash) {
  EXPECT_EQ(UriListPayload("/home/a b/M\xC3\xA9-x_~.mid"), "file:///home/a%20b/M%C3%A9-x_~.mid\r\n");
  EXPECT_EQ(UriListPayload("/a%b#c?d"), "file:///a%25b%23c%3Fd\r\n");
}

TEST(AppDataFolder, XdgThenHomeThenTheTemporaryFolder) {
  const fs::path root = fs::temp_directory_path() / ("velmora-appdata-" + std::to_string(getpid()));
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_DATA_HOME", (root / "x" / "y/").c_str(), 1);
  EXPECT_EQ(ApplicationDataFolder(), (root / "x" / "y").string());
  EXPECT_TRUE(fs::is_directory(root / "x" / "y"));
  setenv("XDG_DATA_HOME", "relative/ignored", 1);
  setenv("HOME", root.c_str(), 1);
  EXPECT_EQ(ApplicationDataFolder(), (root / ".local" / "share").string());
  fs::remove_all(root);
  std::ofstream(root.string()) << "a file where home should be";
  const std::string fallback = ApplicationDataFolder();
  EXPECT_TRUE(fallback.front() == '/' && fs::is_directory(fallback));
  setenv("HOME", home.c_str(), 1);
  fs::remove(root);
}

}  // namespace
}  // namespace velmora::test
