#include "core/MidiFile.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace velmora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

const Bytes kEndOfTrack = {0x00, 0xFF, 0x2F, 0x00};
const Bytes kEmptyTrack = Bytes{'M', 'T', 'r', 'k', 0, 0, 0, 4} + kEndOfTrack;

Bytes header(std::uint8_t format, std::uint8_t tracks, std::uint8_t tpqHigh = 0x00, std::uint8_t tpqLow = 0x78) {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, format, 0, tracks, tpqHigh, tpqLow};
}

Bytes trackChunk(const Bytes& data) {
  const auto size = static_cast<std::uint8_t>(data.size());
  return Bytes{'M', 'T', 'r', 'k', 0, 0, 0, size} + data;
}

TrackEvent note(bool on, std::int32_t tick, std::uint8_t key, std::uint8_t velocity = 100) {
  return TrackEvent(tick, {static_cast<std::uint8_t>(on ? 0x90 : 0x80), key, on ? velocity : std::uint8_t{0}});
}

class MidiFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    // Parameterised test names hold a '/'; keep the folder one level deep.
    std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    dir = fs::path(::testing::TempDir()) / ("velmora-midifile-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    path = (dir / "take.mid").string();
  }
  void TearDown() override { fs::remove_all(dir); }

  static Bytes read(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Writes the file and returns its bytes, with what went to the error stream.
  Bytes writeAndRead(MidiFile& file, std::string* errors = nullptr) {
    ::testing::internal::CaptureStderr();
    const bool written = file.Write(path);
    const std::string captured = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(written);
    if (errors != nullptr) *errors = captured;
    else EXPECT_EQ(captured, "");
    return read(path);
  }

  fs::path dir;
  std::string path;
};

TEST_F(MidiFileTest, WritesARecordedChordByteForByte) {
  MidiFile file;
  EXPECT_EQ(file.AddTrack(), 1);
  file.SetTicksPerQuarterNote(120);
  for (std::uint8_t key : {60, 64, 67}) file.AddEvent(1, note(false, 240, key));
  for (std::uint8_t key : {60, 64, 67}) file.AddEvent(1, note(true, 0, key));
  file.sortTracks();

  const Bytes notes = {0x00, 0x90, 0x3C, 0x64, 0x00, 0x90, 0x40, 0x64, 0x00, 0x90, 0x43, 0x64, 0x81, 0x70, 0x80,
                       0x3C, 0x00, 0x00, 0x80, 0x40, 0x00, 0x00, 0x80, 0x43, 0x00};
  const Bytes expected = header(1, 2) + kEmptyTrack + trackChunk(notes + kEndOfTrack);
  EXPECT_EQ(writeAndRead(file), expected);
  EXPECT_EQ(expected.size(), 14u + 12u + 8u + 29u);
}

TEST_F(MidiFileTest, WritesEmptyTracks) {
  MidiFile file;
  EXPECT_EQ(writeAndRead(file), header(0, 1) + kEmptyTrack);
  file.AddTrack();
  file.AddTrack();
  EXPECT_EQ(writeAndRead(file), header(1, 3) + kEmptyTrack + kEmptyTrack + kEmptyTrack);
}

TEST_F(MidiFileTest, WritesOneTrackAsFormatZero) {
  MidiFile file;
  file.AddEvent(0, note(true, 0, 60));
  EXPECT_EQ(writeAndRead(file), header(0, 1) + trackChunk(Bytes{0x00, 0x90, 60, 100} + kEndOfTrack));
}

TEST_F(MidiFileTest, WritesTheLow16BitsOfTicksPerQuarterNote) {
  MidiFile file;
  EXPECT_EQ(file.TicksPerQuarterNote(), 120);
  file.SetTicksPerQuarterNote(480);
  EXPECT_EQ(writeAndRead(file), header(0, 1, 0x01, 0xE0) + kEmptyTrack);
  file.SetTicksPerQuarterNote(0x12345);
  EXPECT_EQ(writeAndRead(file), header(0, 1, 0x23, 0x45) + kEmptyTrack);
}

TEST_F(MidiFileTest, ReplacesStoredEndOfTrackEventsWithOne) {
  MidiFile file;
  file.AddEvent(0, note(true, 0, 60));
  file.AddEvent(0, TrackEvent(10, {0xFF, 0x2F, 0x00}));
  file.AddEvent(0, note(false, 30, 60));
  file.AddEvent(0, TrackEvent(30, {0xFF, 0x2F, 0x00}));
  // The note-off stays 30 ticks after the note-on.
  EXPECT_EQ(writeAndRead(file), header(0, 1) + trackChunk(Bytes{0x00, 0x90, 60, 100, 30, 0x80, 60, 0} + kEndOfTrack));
  EXPECT_EQ(file.TrackEvents(0).size(), 4u);
}

struct VlqCase {
  std::int32_t tick;
  Bytes encoded;
  bool tooLarge;
};

class MidiFileVlq : public MidiFileTest, public ::testing::WithParamInterface<VlqCase> {};

TEST_P(MidiFileVlq, EncodesTheFirstDelta) {
  MidiFile file;
  file.AddEvent(0, TrackEvent(GetParam().tick, {0xC0, 5}));
  std::string errors;
  const Bytes bytes = writeAndRead(file, &errors);
  EXPECT_EQ(bytes, header(0, 1) + trackChunk(GetParam().encoded + Bytes{0xC0, 5} + kEndOfTrack));
  EXPECT_EQ(errors, GetParam().tooLarge ? "Error: number too large to convert to VLV\n" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Deltas, MidiFileVlq,
    ::testing::Values(VlqCase{0, {0x00}, false}, VlqCase{127, {0x7F}, false}, VlqCase{128, {0x81, 0x00}, false},
                      VlqCase{16383, {0xFF, 0x7F}, false}, VlqCase{16384, {0x81, 0x80, 0x00}, false},
                      VlqCase{0x0FFFFFFF, {0xFF, 0xFF, 0xFF, 0x7F}, false},
                      VlqCase{0x10000000, {0xFF, 0xFF, 0xFF, 0x7F}, true},
                      VlqCase{-1, {0xFF, 0xFF, 0xFF, 0x7F}, true}));

TEST_F(MidiFileTest, ReportsNegativeDeltasOfAnUnsortedTrack) {
  MidiFile file;
  file.AddEvent(0, note(true, 100, 60));
  file.AddEvent(0, note(false, 40, 60));
  std::string errors;
  const Bytes bytes = writeAndRead(file, &errors);
  EXPECT_EQ(errors,
            "Error: negative delta tick value: -60\n"
            "Timestamps must be sorted first (use MidiFile::sortTracks() before writing).\n"
            "Error: number too large to convert to VLV\n");
  EXPECT_EQ(bytes, header(0, 1) + trackChunk(Bytes{0x64, 0x90, 60, 100, 0xFF, 0xFF, 0xFF, 0x7F, 0x80, 60, 0} +
                                             kEndOfTrack));
  // Writing leaves the absolute ticks as they were.
  EXPECT_TRUE(file.IsAbsoluteTicks());
  EXPECT_EQ(file.TrackEvents(0)[0].tick, 100);
  EXPECT_EQ(file.TrackEvents(0)[1].tick, 40);
}

TEST_F(MidiFileTest, SortsNoteOffsBeforeNoteOnsAtEqualTicks) {
  MidiFile file;
  file.AddEvent(0, TrackEvent(5, {0xFF, 0x2F, 0x00}));
  file.AddEvent(0, note(true, 5, 64));
  file.AddEvent(0, TrackEvent(5, {0x90, 62, 0}));  // a note-on of velocity 0 is a note-off
  file.AddEvent(0, TrackEvent(5, {0xB0, 7, 90}));
  file.AddEvent(0, note(false, 5, 60));
  file.AddEvent(0, TrackEvent(5, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}));
  file.AddEvent(0, note(true, 2, 50));
  TrackEvent later = note(true, 5, 70);
  later.sequence = 1;
  file.AddEvent(0, later);
  file.sortTracks();

  const auto& events = file.TrackEvents(0);
  ASSERT_EQ(events.size(), 8u);
  const std::vector<std::pair<std::int32_t, Bytes>> expected = {
      {2, {0x90, 50, 100}}, {5, {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}}, {5, {0xB0, 7, 90}}, {5, {0x90, 62, 0}},
      {5, {0x80, 60, 0}},   {5, {0x90, 64, 100}},                      {5, {0xFF, 0x2F, 0x00}},
      {5, {0x90, 70, 100}}};
  for (std::size_t i = 0; i < events.size(); ++i) {
    EXPECT_EQ(events[i].tick, expected[i].first) << i;
    EXPECT_EQ(events[i].message, expected[i].second) << i;
  }
}

TEST_F(MidiFileTest, ConvertsBetweenAbsoluteAndDeltaTicks) {
  MidiFile file;
  for (std::int32_t tick : {10, 10, 25, 1000}) file.AddEvent(0, note(true, tick, 60));
  file.MakeAbsoluteTicks();  // already absolute: nothing changes
  EXPECT_EQ(file.TrackEvents(0)[3].tick, 1000);
  file.MakeDeltaTicks();
  EXPECT_FALSE(file.IsAbsoluteTicks());
  std::vector<std::int32_t> deltas;
  for (const auto& event : file.TrackEvents(0)) deltas.push_back(event.tick);
  EXPECT_EQ(deltas, (std::vector<std::int32_t>{10, 0, 15, 975}));

  file.AddEvent(0, note(false, 0, 60));  // appended in delta state
  file.sortTracks();                     // does nothing in delta state
  EXPECT_EQ(file.TrackEvents(0)[4].tick, 0);
  writeAndRead(file);
  EXPECT_FALSE(file.IsAbsoluteTicks());
  EXPECT_EQ(file.TrackEvents(0)[3].tick, 975);
  file.MakeAbsoluteTicks();
  EXPECT_EQ(file.TrackEvents(0)[3].tick, 1000);
  EXPECT_EQ(file.TrackEvents(0)[4].tick, 1000);
}

TEST_F(MidiFileTest, RoundTripsExtremeTicksExactly) {
  MidiFile file;
  for (std::int32_t tick : {INT32_MAX, INT32_MIN, 0, -5, INT32_MAX}) file.AddEvent(0, note(true, tick, 60));
  ::testing::internal::CaptureStderr();
  file.MakeDeltaTicks();
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("-4294967295"), std::string::npos);
  file.MakeAbsoluteTicks();
  std::vector<std::int32_t> ticks;
  for (const auto& event : file.TrackEvents(0)) ticks.push_back(event.tick);
  EXPECT_EQ(ticks, (std::vector<std::int32_t>{INT32_MAX, INT32_MIN, 0, -5, INT32_MAX}));
}

TEST_F(MidiFileTest, RefusesEventsItCannotStore) {
  MidiFile file;
  EXPECT_FALSE(file.AddEvent(1, note(true, 0, 60)));
  EXPECT_FALSE(file.AddEvent(-1, note(true, 0, 60)));
  EXPECT_FALSE(file.AddEvent(0, TrackEvent(0, {})));
  EXPECT_TRUE(file.TrackEvents(0).empty());
  EXPECT_TRUE(file.TrackEvents(7).empty());
  EXPECT_EQ(file.AddTrack(), 1);
  EXPECT_EQ(file.AddTrack(), 2);
  EXPECT_TRUE(file.AddEvent(2, note(true, 0, 60)));
  EXPECT_EQ(file.TrackCount(), 3);
}

class MidiFileWriteFailure : public MidiFileTest {
protected:
  // Writes and expects failure with the message; the error stream is returned.
  void expectFailure(MidiFile& file, const std::string& target) {
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(file.Write(target));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Error: could not write: " + target + "\n");
  }
  std::size_t filesInDir() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
  }
};

TEST_F(MidiFileWriteFailure, ReportsAMissingFolder) {
  MidiFile file;
  expectFailure(file, (dir / "missing" / "take.mid").string());
  expectFailure(file, "");
  EXPECT_EQ(filesInDir(), 0u);
}

TEST_F(MidiFileWriteFailure, LeavesAFolderInThePathAlone) {
  MidiFile file;
  fs::create_directory(path);
  expectFailure(file, path);
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_EQ(filesInDir(), 1u);
}

TEST_F(MidiFileWriteFailure, KeepsTheOldFileWhenAWriteFails) {
  MidiFile small;
  writeAndRead(small);
  const Bytes old = read(path);

  MidiFile large;
  for (int i = 0; i < 2000; ++i) large.AddEvent(0, note(true, i, 60));
  // A file size limit makes the write itself fail, even for root.
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit limited = saved;
  limited.rlim_cur = 1024;
  auto previous = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  expectFailure(large, path);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);

  EXPECT_EQ(read(path), old);
  EXPECT_EQ(filesInDir(), 1u);
  EXPECT_TRUE(large.IsAbsoluteTicks());
}

TEST_F(MidiFileTest, ReplacesAnExistingFileAndKeepsItsMode) {
  { std::ofstream(path) << "an older and much longer file than the one that replaces it"; }
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
  MidiFile file;
  EXPECT_EQ(writeAndRead(file), header(0, 1) + kEmptyTrack);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(MidiFileTest, WritesThroughASymbolicLink) {
  const std::string target = (dir / "real.mid").string();
  { std::ofstream(target) << "old"; }
  const std::string link = (dir / "link.mid").string();
  fs::create_symlink(target, link);
  MidiFile file;
  ASSERT_TRUE(file.Write(link));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(read(target), header(0, 1) + kEmptyTrack);
}

// An independent reader: Debian's midicsv lists every event with its absolute time.
TEST_F(MidiFileTest, ReadsBackWithMidicsv) {
  if (std::system("command -v midicsv >/dev/null 2>&1") != 0) GTEST_SKIP() << "midicsv is not installed";
  MidiFile file;
  file.AddTrack();
  file.SetTicksPerQuarterNote(96);
  file.AddEvent(1, note(true, 0, 60, 90));
  file.AddEvent(1, note(true, 0, 64, 80));
  file.AddEvent(1, note(false, 200, 60));
  file.AddEvent(1, note(false, 20000, 64));
  file.AddEvent(1, TrackEvent(96, {0xB3, 64, 127}));
  file.sortTracks();
  writeAndRead(file);

  const std::string csv = (dir / "take.csv").string();
  ASSERT_EQ(std::system(("midicsv '" + path + "' '" + csv + "' 2>&1").c_str()), 0);
  std::ifstream in(csv);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(text,
            "0, 0, Header, 1, 2, 96\n"
            "1, 0, Start_track\n"
            "1, 0, End_track\n"
            "2, 0, Start_track\n"
            "2, 0, Note_on_c, 0, 60, 90\n"
            "2, 0, Note_on_c, 0, 64, 80\n"
            "2, 96, Control_c, 3, 64, 127\n"
            "2, 200, Note_off_c, 0, 60, 0\n"
            "2, 20000, Note_off_c, 0, 64, 0\n"
            "2, 20000, End_track\n"
            "0, 0, End_of_file\n");
}

}  // namespace
}  // namespace velmora
