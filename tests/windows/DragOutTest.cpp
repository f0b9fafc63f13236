// Chords and the grid dragged out of Velmora's editor as MIDI files, under
// Wine, Velmora.dll and Velmora.clap alike: the editor in a window of the
// test host, driven with its own mouse messages, beside an OLE drop target
// of the host's. No button is really held, so a drag that leaves the window
// drops, or goes back into the window, wherever the pointer is as soon as
// it starts. unicode-profile.sh runs the same tests again for a user whose
// name the ANSI code page cannot hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ModulePlatform.h"
#include "tests/MidiFileReader.h"
#include "tools/vsthost/ClapHost.h"
#include "tools/vsthost/VstHost.h"

#include "FileDropTarget.h"
#include "WinTestSupport.h"

namespace velmora::wintest {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Messages = std::vector<std::vector<std::uint8_t>>;
using test::ReadMidi;
using test::ReadMidiFile;

enum class Format { kVst2, kClap };

// A#/Bb major listed (its third row is A#/Bb maj); C maj in cell 0, A m7 an
// octave down in its first inversion in cell 4, A#/Bb min an octave up in
// cell 9, the other cells empty.
constexpr const char* kState = "scale 10 cell 0 0 0 cell 4 9 9 -1 1 cell 9 10 7 1";
constexpr int kBbMajorRow = 2;
constexpr int kFMajorRow = 1;
constexpr int kRowX = 700;
constexpr int kTicksPerBar = 480;
// Outside the editor's 964 x 709 client area, in its coordinates.
constexpr POINT kOutside{995, 740};
constexpr POINT kHandle{214, 299};

int RowY(int row) { return 7 + 33 * row + 16; }
POINT CellPoint(int i) { return POINT{17 + (i % 4) * 94 + 47, 316 + (3 - i / 4) * 94 + 30}; }

fs::path RoamingFolder() {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return fs::u8path(WideToUtf8(path, wcslen(path)));
}

// Velmora with its editor open in a window of the host; blocks run on a
// thread of their own, never on the window's.
class Rig {
 public:
  virtual ~Rig() = default;
  virtual host::PluginHost& Host() = 0;
  // The editor's window, null when it did not open.
  virtual HWND Open(HWND parent, const Bytes& state) = 0;
  virtual void Close() = 0;
  void Process(int blocks) {
    std::thread([&] { Host().process(blocks); }).join();
  }
};

class VstRig : public Rig {
 public:
  host::PluginHost& Host() override { return mHost; }
  HWND Open(HWND parent, const Bytes& state) override {
    if (!mHost.load(VELMORA_MODULE)) return nullptr;
    mHost.open();
    mHost.setSampleRate(44100.0);
    if (!mHost.setBlockSize(256)) return nullptr;
    mHost.resume();
    if (!mHost.setChunk(host::ChunkKind::Program, state) || mHost.dispatch(effEditOpen, 0, 0, parent) != 1) {
      return nullptr;
    }
    mOpen = true;
    return FindWindowExA(parent, nullptr, "VelmoraWndClass", nullptr);
  }
  void Close() override {
    if (mOpen) mHost.dispatch(effEditClose);
    mHost.close();
  }

 private:
  host::VstHost mHost;
  bool mOpen = false;
};

class ClapRig : public Rig {
 public:
  host::PluginHost& Host() override { return mClap; }
  HWND Open(HWND parent, const Bytes& state) override {
    if (!mClap.load(VELMORA_CLAP_MODULE)) return nullptr;
    mClap.resume();
    if (!mClap.isActive() || !mClap.setChunk(host::ChunkKind::Program, state) || !mClap.createEditor() ||
        !mClap.setEditorParent(reinterpret_cast<std::uintptr_t>(parent))) {
      return nullptr;
    }
    return FindWindowExA(parent, nullptr, "VelmoraWndClass", nullptr);
  }
  void Close() override { mClap.close(); }

 private:
  host::ClapHost mClap;
};

std::vector<int> Keys(const Messages& messages, bool on) {
  std::vector<int> keys;
  for (const auto& m : messages) {
    const bool isOn = (m[0] & 0xF0) == 0x90 && m[2] > 0;
    if (m.size() == 3 && ((m[0] & 0xF0) == 0x80 || (m[0] & 0xF0) == 0x90) && isOn == on) keys.push_back(m[1]);
  }
  std::sort(keys.begin(), keys.end());
  return keys;
}

// The keys struck at each bar's start; wholeBars: every note at velocity 100
// on channel 1, struck on a bar line and ended on the next.
struct Bars {
  std::vector<std::vector<int>> keys;
  bool wholeBars = true;
};

Bars BarsOf(const ReadMidiFile& file) {
  Bars bars;
  for (const test::ReadNote& n : file.notes) {
    const bool onBarLine = n.tick % kTicksPerBar == 0;
    if (!n.on) {
      bars.wholeBars = bars.wholeBars && onBarLine && n.tick > 0;
      continue;
    }
    const auto bar = std::size_t(n.tick / kTicksPerBar);
    if (bars.keys.size() <= bar) bars.keys.resize(bar + 1);
    bars.keys[bar].push_back(n.key);
    const bool ends = std::any_of(file.notes.begin(), file.notes.end(), [&](const test::ReadNote& off) {
      return !off.on && off.key == n.key && off.tick == n.tick + kTicksPerBar && off.channel == 1;
    });
    bars.wholeBars = bars.wholeBars && onBarLine && n.velocity == 100 && n.channel == 1 && ends;
  }
  for (auto& keys : bars.keys) std::sort(keys.begin(), keys.end());
  return bars;
}

class DragOutTest : public ::testing::TestWithParam<Format> {
 protected:
  void SetUp() override {
    std::error_code ignored;
    fs::remove_all(drags, ignored);
    const Bytes state = integration::MakeState(kState);
    ASSERT_FALSE(state.empty()) << "velmora-make-state failed";
    if (GetParam() == Format::kVst2) {
      rig = std::make_unique<VstRig>();
    } else {
      rig = std::make_unique<ClapRig>();
    }
    editor = rig->Open(parent.Handle(), state);
    ASSERT_NE(editor, nullptr);
    // Beside the editor, which covers the parent's top-left 964 x 709; a
    // child of the parent (of the host's class, which pointers do not pass
    // through), so that the editor's activation never hides it.
    targetWindow = CreateWindowExA(0, "VelmoraTestHost", "", WS_CHILD | WS_VISIBLE, 970, 715, 50, 50, parent.Handle(),
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(targetWindow, nullptr);
    ASSERT_TRUE(oleReady = SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_EQ(RegisterDragDrop(targetWindow, &target), S_OK);
    // Wine's drag loop may still see the pointer where the program found it
    // (over the editor) the first time it is moved; it is moved once before.
    PointerAt(TargetCentre());
    // The tempo the files name: the VST host's 93, or 120 where the CLAP host tells none.
    if (GetParam() == Format::kClap) static_cast<host::ClapHost&>(rig->Host()).setTransportAbsent(true);
    rig->Host().setTempo(93.0);
    rig->Process(1);
  }
  void TearDown() override {
    if (targetWindow) {
      RevokeDragDrop(targetWindow);
      DestroyWindow(targetWindow);
    }
    if (oleReady) OleUninitialize();
    if (rig) rig->Close();
    std::error_code ignored;
    fs::remove_all(drags, ignored);
  }

  std::uint32_t MicrosPerQuarter() const {
    return std::uint32_t(std::lround(60000000.0 / (GetParam() == Format::kVst2 ? 93.0 : 120.0)));
  }
  // What the plug-in sends in the next blocks, once count messages came.
  Messages Sent(std::size_t count) {
    Messages sent;
    PumpUntil([&] {
      rig->Process(1);
      for (const host::CapturedMidi& m : rig->Host().takeCapturedMidi()) sent.push_back(m.bytes);
      return sent.size() >= count;
    });
    return sent;
  }
  Bytes Chunk() {
    Bytes chunk;
    rig->Host().getChunk(host::ChunkKind::Program, chunk);
    return chunk;
  }
  // The pointer where a drag will find it. Wine may report a moved pointer
  // at its old place for a moment: it must stay put a while.
  void PointerAt(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    int steady = 0;
    PumpUntil([&] {
      POINT now{};
      steady = GetCursorPos(&now) && now.x == screen.x && now.y == screen.y ? steady + 1 : 0;
      return steady >= 10;
    });
  }
  std::vector<int> Press(POINT at, std::size_t notes) {
    SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    return Keys(Sent(notes), true);
  }
  // The held chord carried past the window's edge, the pointer at pointer:
  // the drag runs and ends before this returns.
  void CarryOut(POINT pointer) {
    PointerAt(pointer);
    SendMessageA(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(kOutside.x, kOutside.y));
  }
  POINT TargetCentre() const {
    RECT r{};
    GetWindowRect(targetWindow, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  ReadMidiFile ReadBack(const std::string& path) {
    std::ifstream in(fs::u8path(path), std::ios::binary);
    return ReadMidi(Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
  }
  std::size_t DragFileCount() const {
    std::size_t count = 0;
    std::error_code error;
    for (fs::recursive_directory_iterator it(drags, error), end; !error && it != end; it.increment(error)) {
      count += it->is_regular_file() ? 1 : 0;
    }
    return count;
  }

  const fs::path drags = RoamingFolder() / "velmora-takes" / "drags";
  HostWindow parent{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND targetWindow = nullptr;
  bool oleReady = false;
  FileDropTarget target;
  std::unique_ptr<Rig> rig;
  HWND editor = nullptr;
};

// Each drag offers a file of its own, named for what it holds, in the
// drags folder of the user's roaming folder: the bars of the chord the row
// or the cell plays, or of every filled cell in trigger order.
TEST_P(DragOutTest, ARowACellAndTheGridLeaveTheWindowAsMidiFiles) {
  const Bytes before = Chunk();
  struct Source {
    POINT at;
    std::size_t notes;
    const char* file;
  };
  const Source sources[] = {{POINT{kRowX, RowY(kBbMajorRow)}, 3, "A#-Bb maj.mid"},
                            {CellPoint(4), 4, "Cell 5 - A m7.mid"}};
  for (const Source& source : sources) {
    target.dropped.clear();
    const std::vector<int> played = Press(source.at, source.notes);
    CarryOut(TargetCentre());
    ASSERT_FALSE(target.dropped.empty()) << "nothing dropped from " << source.file;
    EXPECT_EQ(Keys(Sent(source.notes), false), played) << "the chord did not stop with the drop";
    EXPECT_TRUE(target.wide);
    const fs::path dropped = fs::u8path(target.dropped);
    EXPECT_EQ(dropped.filename().u8string(), source.file);
    EXPECT_EQ(dropped.parent_path().parent_path(), drags) << target.dropped;
    const ReadMidiFile file = ReadBack(target.dropped);
    ASSERT_TRUE(file.ok) << file.error;
    EXPECT_EQ(file.ticksPerQuarter, 120);
    EXPECT_EQ(file.tempos, (std::vector<std::pair<std::int64_t, std::uint32_t>>{{0, MicrosPerQuarter()}}));
    EXPECT_EQ(file.timeSignatures, (std::vector<std::pair<int, int>>{{4, 4}}));
    const Bars bars = BarsOf(file);
    EXPECT_EQ(bars.keys, std::vector<std::vector<int>>{played});
    EXPECT_TRUE(bars.wholeBars);
  }

  std::vector<std::vector<int>> cells;
  for (const int note : {36, 40, 45}) {
    const std::size_t notes = note == 40 ? 4 : 3;
    rig->Host().queueMidi(0, 0x90, std::uint8_t(note), 100);
    cells.push_back(Keys(Sent(notes), true));
    rig->Host().queueMidi(0, 0x80, std::uint8_t(note), 0);
    Sent(notes);
  }
  target.dropped.clear();
  PointerAt(TargetCentre());
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kHandle.x, kHandle.y));
  ASSERT_FALSE(target.dropped.empty()) << "the grid was not dropped";
  EXPECT_EQ(fs::u8path(target.dropped).filename().u8string(), "Velmora grid.mid");
  const ReadMidiFile file = ReadBack(target.dropped);
  ASSERT_TRUE(file.ok) << file.error;
  const Bars bars = BarsOf(file);
  EXPECT_EQ(bars.keys, cells);
  EXPECT_TRUE(bars.wholeBars);
  EXPECT_EQ(DragFileCount(), 3u);
  EXPECT_EQ(Chunk(), before) << "a drag out changed the state";
}

// Back over the window before the release, the drag is the grid's again
// and the release on an empty cell fills it. Let go over nothing, a drag
// drops nothing and changes nothing; an empty grid offers nothing. No drag
// that no target took leaves a file behind.
TEST_P(DragOutTest, BackOverTheWindowItIsAnInsideDragAgain) {
  const Bytes before = Chunk();
  const POINT cell = CellPoint(10);
  const std::vector<int> played = Press(POINT{kRowX, RowY(kFMajorRow)}, 3);
  CarryOut(cell);  // the editor's origin is the screen's
  Bytes placed;
  EXPECT_TRUE(PumpUntil([&] { return (placed = Chunk()) != before; })) << "nothing placed";
  EXPECT_EQ(Keys(Sent(3), false), played);
  EXPECT_TRUE(target.dropped.empty());

  Press(POINT{kRowX, RowY(kFMajorRow)}, 3);
  CarryOut(POINT{1000, 300});  // over the parent, which takes no drops
  EXPECT_EQ(Keys(Sent(3), false), played) << "the chord did not stop";
  EXPECT_TRUE(target.dropped.empty());
  EXPECT_EQ(Chunk(), placed);

  rig->Host().setParameter(18, 1.0f);  // ClearGrid
  rig->Host().setParameter(18, 0.0f);
  ASSERT_TRUE(PumpUntil([&] { return Chunk() != placed; }));
  PointerAt(TargetCentre());
  SendMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kHandle.x, kHandle.y));
  SendMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(kHandle.x, kHandle.y));
  EXPECT_TRUE(target.dropped.empty()) << "an empty grid was dropped";
  EXPECT_EQ(DragFileCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, DragOutTest, ::testing::Values(Format::kVst2, Format::kClap),
                         [](const ::testing::TestParamInfo<Format>& info) {
                           return info.param == Format::kVst2 ? "Vst2" : "Clap";
                         });

}  // namespace
}  // namespace velmora::wintest
