// Velmora.so's own editor in an X11 window inside a host of ours, driven by
// real input (XTest) under Xvfb: the popups, the chord rows, the grid, host
// notes, the drag of the take, and the window's pixels against the same
// state drawn without a window.
#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "DisplayTestSupport.h"
#include "XdndTestTarget.h"
#include "core/Velmora.h"
#include "editor/VelmoraEditor.h"
#include "framework/graphics/headless/HeadlessGraphics.h"
#include "framework/graphics/platform/x11/PopupLayout.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using host::ChunkKind;
using host::ScreenRect;
using host::X11EditorHost;
using M = x11::PopupMetrics;
using Bytes = std::vector<uint8_t>;

// Program chunks made by the plug-in itself, and its picture without a window.
class LocalPlugin : public Velmora {
 public:
  LocalPlugin() : Velmora(PluginHost::None()) {}
  // C major listed, C maj in cell 0 and A min in cell 5.
  Bytes Example() {
    {
      auto lock = Lock();
      mEngine.SelectScale(0);
      mEngine.ChordGrid[0] = EntryFromChordRow(ChordRowIndex(0, 0), 0);
      mEngine.ChordGrid[5] = EntryFromChordRow(ChordRowIndex(9, 7), 5);
    }
    return Chunk();
  }
  // C major listed, roots C#, D# and F# excluded.
  Bytes WithExclusions() {
    {
      auto lock = Lock();
      mEngine.SelectScale(0);
      for (int root : {1, 3, 6}) mEngine.ExcludedRoots[static_cast<size_t>(root)] = true;
    }
    return Chunk();
  }
  Bytes Chunk() {
    ChunkBuffer chunk;
    AddChunkHeader(chunk);
    SaveState(chunk);
    return Bytes(chunk.Data(), chunk.Data() + chunk.Size());
  }
  bool Render(const Bytes& chunk, MemBitmap& out) {
    ChunkBuffer buffer;
    buffer.PutBytes(chunk.data(), static_cast<int>(chunk.size()));
    int position = 0;
    ReadChunkHeader(buffer, &position);
    if (LoadState(buffer, position) < 0) return false;
    auto& ui = static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(EditorParts()).Graphics());
    ui.OpenWindow(nullptr);
    if (!ui.RedrawAll()) return false;
    const SysBitmap& surface = *ui.DrawingSurface();
    out.Resize(surface.Width(), surface.Height());
    for (int y = 0; y < surface.Height(); ++y) {
      for (int x = 0; x < surface.Width(); ++x) out.Row(y)[x] = surface.Row(y)[x] | 0xff000000u;
    }
    return true;
  }
};

// State text i of a program chunk (after its 8-byte header); empty when missing.
std::string StateText(const Bytes& chunk, int i) {
  size_t position = 8;
  for (int k = 0; position + 4 <= chunk.size(); ++k) {
    const size_t length = size_t(chunk[position]) | size_t(chunk[position + 1]) << 8 |
                          size_t(chunk[position + 2]) << 16 | size_t(chunk[position + 3]) << 24;
    position += 4;
    if (length > chunk.size() - position) break;
    if (k == i) return std::string(chunk.begin() + std::ptrdiff_t(position), chunk.begin() + std::ptrdiff_t(position + length));
    position += length;
  }
  return {};
}

// Every note the plug-in sent, note by note: how many of its note-ons still
// wait for their note-off.
struct NoteLedger {
  std::array<int, 128> waiting{};
  std::vector<int> noteOns;
  void Take(const std::vector<std::vector<uint8_t>>& messages) {
    for (const auto& m : messages) {
      if (m.size() < 3 || m[1] > 127) continue;
      int& count = waiting[m[1]];
      if ((m[0] & 0xF0) == 0x90 && m[2] > 0) {
        ++count;
        noteOns.push_back(m[1]);
      } else if ((m[0] & 0xF0) == 0x80 || (m[0] & 0xF0) == 0x90) {
        count = count > 0 ? count - 1 : 0;
      }
    }
  }
  bool Silent() const {
    for (int count : waiting) {
      if (count != 0) return false;
    }
    return true;
  }
};

class VelmoraWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::string why;
    ASSERT_TRUE(UseSharedXvfb(&why)) << why;
    host = std::make_unique<X11EditorHost>();
    ASSERT_TRUE(host->connected()) << host->error();
    ASSERT_TRUE(host->load(VELMORA_MODULE)) << host->error();
    example = LocalPlugin().Example();
    ASSERT_TRUE(host->vst().setChunk(ChunkKind::Program, example));
    ASSERT_TRUE(host->openEditor(40, 30)) << host->error();
  }
  void TearDown() override {
    host.reset();
    fs::remove_all(home);
  }

  ScreenRect WaitForMenu() {
    std::vector<ScreenRect> menus;
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return (menus = host->popupWindows()).size() == 1; })) << "no menu";
    return menus.empty() ? ScreenRect{} : menus.front();
  }
  void ChooseFromMenuAt(int x, int y, int item) {
    host->click(x, y);
    const ScreenRect menu = WaitForMenu();
    host->moveToRoot(menu.x + menu.width / 2, menu.y + M::kBorder + item * M::kItemHeight + M::kItemHeight / 2);
    host->press();
    host->release();
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return host->popupWindows().empty(); }));
  }
  bool PixelIs(int x, int y, Pixel rgb) {
    return X11EditorHost::WaitFor([&] {
      Pixel p = 0;
      return host->pixel(x, y, p) && (p & 0xffffff) == rgb;
    });
  }
  std::vector<std::vector<uint8_t>> Notes(int blocks = 1) {
    host->vst().process(blocks);
    std::vector<std::vector<uint8_t>> notes;
    for (const auto& m : host->vst().takeCapturedMidi()) notes.push_back(m.bytes);
    return notes;
  }
  Bytes Chunk() {
    Bytes chunk;
    host->vst().getChunk(ChunkKind::Program, chunk);
    return chunk;
  }
  // Processes blocks until at least count note-ons went out since the last look.
  bool NoteOnsSent(size_t count = 1) {
    const size_t before = ledger.noteOns.size();
    return X11EditorHost::WaitFor([&] {
      ledger.Take(Notes());
      return ledger.noteOns.size() >= before + count;
    });
  }
  // Processes blocks until every note-on sent so far had its note-off.
  bool AllStopped() {
    return X11EditorHost::WaitFor([&] {
      ledger.Take(Notes());
      return ledger.Silent();
    });
  }
  // The lowest note a click on row 0 of the list plays.
  int Row0Note() {
    const size_t from = ledger.noteOns.size();
    host->click(700, 24);
    if (!NoteOnsSent(3) || !AllStopped()) return -1;
    return *std::min_element(ledger.noteOns.begin() + std::ptrdiff_t(from), ledger.noteOns.end());
  }

  fs::path home = fs::temp_directory_path() / ("velmora-x11-" + std::to_string(getpid()));
  std::unique_ptr<X11EditorHost> host;
  Bytes example;
  NoteLedger ledger;
};

TEST_F(VelmoraWindowTest, TheWindowShowsWhatTheEditorDrawsWithoutOne) {
  EXPECT_TRUE(ShowsPicture(
      *host, [&](MemBitmap& out) { return LocalPlugin().Render(example, out); }, "velmora_example"));
  // Closed and opened again, it shows the same.
  host->closeEditor();
  ASSERT_TRUE(host->openEditor(40, 30));
  EXPECT_TRUE(ShowsPicture(
      *host, [&](MemBitmap& out) { return LocalPlugin().Render(example, out); }, "velmora_reopened"));
}

TEST_F(VelmoraWindowTest, AScaleAndARootChosenInThePopupsChangeTheRows) {
  MemBitmap before;
  ASSERT_TRUE(host->capture(before));
  // The restored C major shows as the box's choice, so "Minor" makes C minor.
  ChooseFromMenuAt(310, 205, 1);  // the scale half: "Minor"
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return host->vst().parameterDisplay(0) == "12"; }));
  // The selector sends again once it is drawn (two redraw steps).
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ChooseFromMenuAt(255, 205, 2);  // the root half: "D"
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return host->vst().parameterDisplay(0) == "14"; }));
  const auto rowChanged = [&] {
    MemBitmap now;
    if (!host->capture(now)) return false;
    for (int y = 7; y < 667; ++y) {
      for (int x = 636; x < 760; ++x) {
        if (now.Row(y)[x] != before.Row(y)[x]) return true;
      }
    }
    return false;
  };
  EXPECT_TRUE(X11EditorHost::WaitFor(rowChanged)) << "the rows still show C major's chords";
}

TEST_F(VelmoraWindowTest, PressingARowSendsItsNoteOnsAndReleasingItsNoteOffs) {
  Notes();
  host->moveTo(700, 23);
  host->press();
  std::vector<std::vector<uint8_t>> on;
  ASSERT_TRUE(X11EditorHost::WaitFor([&] {
    for (auto& n : Notes()) on.push_back(n);
    return on.size() >= 3;
  }));
  EXPECT_EQ(on[0], (std::vector<uint8_t>{0x90, 60, 100}));  // C maj, the first chord of C major
  host->release();
  std::vector<std::vector<uint8_t>> off;
  ASSERT_TRUE(X11EditorHost::WaitFor([&] {
    for (auto& n : Notes()) off.push_back(n);
    return off.size() >= 3;
  }));
  EXPECT_EQ(off[0][0], 0x80);
}

TEST_F(VelmoraWindowTest, ARowDraggedOntoACellChangesTheStateChunk) {
  const Bytes before = Chunk();
  host->moveTo(700, 56);  // the second row
  host->press();
  for (int step = 1; step <= 6; ++step) host->moveTo(700 - (700 - 140) * step / 6, 56 + (400 - 56) * step / 6);
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Chunk() != before; }));
}

TEST_F(VelmoraWindowTest, HostNote36DrawsItsCellSounding) {
  host->vst().queueMidi(0, 0x90, 36, 100);
  host->vst().process(1);
  EXPECT_TRUE(PixelIs(18, 640, 0x34d36c)) << "cell 0 not drawn sounding";  // its green outline
  host->vst().queueMidi(0, 0x80, 36, 0);
  host->vst().process(1);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] {
    Pixel p = 0;
    return host->pixel(18, 640, p) && (p & 0xffffff) != 0x34d36c;
  }));
}

TEST_F(VelmoraWindowTest, TheTakeIsDraggedIntoADropTarget) {
  XdndTestTarget target(XdndTestTarget::Options{});
  ASSERT_TRUE(target.Ready());
  host->vst().setParameter(27, 1.0f);  // Record
  host->vst().setTransportPlaying(true);
  host->vst().queueMidi(0, 0x90, 36, 100);
  host->vst().process(4);
  host->vst().queueMidi(0, 0x80, 36, 0);
  host->vst().process(4);
  host->vst().setTransportPlaying(false);
  host->vst().process(1);
  // The drag button replaces the dimmed word once the take started.
  MemBitmap shown;
  ASSERT_TRUE(X11EditorHost::WaitFor([&] {
    MemBitmap now;
    return host->capture(now) && (now.Row(683)[890] & 0xffffff) != 0 && host->idleCalls() > 3;
  }));
  host->moveTo(892, 683);
  host->press();
  int rootX = 0, rootY = 0;
  ScreenRect editor;
  ASSERT_TRUE(host->windowRect(host->editorWindow(), editor));
  rootX = editor.x + 892;
  rootY = editor.y + 683;
  for (int step = 1; step <= 4; ++step) {
    host->moveToRoot(rootX + (target.CenterX() - rootX) * step / 4, rootY + (target.CenterY() - rootY) * step / 4);
  }
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return target.Snapshot().positions >= 1; }));
  host->release();
  XdndTestTarget::Seen seen;
  ASSERT_TRUE(X11EditorHost::WaitFor([&] { return (seen = target.Snapshot()).finished; }));
  // The take's own file, and the latest take beside it.
  const std::string prefix = "file://" + (home / "velmora-takes" / "velmora-take-").string();
  EXPECT_EQ(seen.data.rfind(prefix, 0), 0u) << seen.data;
  EXPECT_EQ(seen.data.substr(seen.data.size() - 6), ".mid\r\n");
  EXPECT_TRUE(fs::file_size(fs::path(seen.data.substr(7, seen.data.size() - 9))) > 14);
  EXPECT_TRUE(fs::file_size(home / "velmora-midi.mid") > 14);
}

// A held row or cell whose chord changes under the pointer, and a double
// click held and moved: every chord that started stops at the release.
TEST_F(VelmoraWindowTest, EveryChordThatStartsAlsoStops) {
  Notes();
  const int first = Row0Note();
  ASSERT_GT(first, 0);
  // Presses delayed past the double-click time start afresh.
  constexpr unsigned long kApart = 450;
  host->moveTo(700, 24);  // hold row 0, turn the wheel a notch, let go
  host->press(1, kApart);
  ASSERT_TRUE(NoteOnsSent());
  host->wheel(700, 24, -1);
  host->release();
  EXPECT_TRUE(AllStopped()) << "wheel while held";
  EXPECT_NE(Row0Note(), first) << "the list did not turn";

  host->moveTo(700, 24);  // a double click held, moved to the next row and let go there
  host->press(1, kApart);
  host->release();
  host->press();
  ASSERT_TRUE(NoteOnsSent());
  host->moveTo(700, 57);
  host->release();
  EXPECT_TRUE(AllStopped()) << "double click held";

  const std::string grid = StateText(Chunk(), 0);
  host->moveTo(700, 90);  // a double click held and dragged onto cell 1
  host->press(1, kApart);
  host->release();
  host->press();
  for (int step = 1; step <= 6; ++step) host->moveTo(700 - (700 - 158) * step / 6, 90 + (645 - 90) * step / 6);
  host->release();
  EXPECT_TRUE(AllStopped()) << "double click dragged";
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return StateText(Chunk(), 0) != grid; })) << "nothing placed";

  host->moveTo(158, 530);  // hold cell 5 while the host clears the grid
  host->press(1, kApart);
  ASSERT_TRUE(NoteOnsSent());
  host->vst().setParameter(18, 1.0f);
  host->vst().setParameter(18, 0.0f);
  host->release();
  EXPECT_TRUE(AllStopped()) << "grid cleared while held";
}

// However a press ends, the chord it started stops: a right click during a
// drag (nothing is placed), the editor closed or its window destroyed while
// the button is still down, and the host's panic on any channel.
TEST_F(VelmoraWindowTest, NoWayOfEndingAPressLeavesAChordSounding) {
  Notes();
  constexpr unsigned long kApart = 450;
  const std::string grid = StateText(Chunk(), 0);
  host->moveTo(700, 24);
  host->press(1, kApart);
  ASSERT_TRUE(NoteOnsSent());
  for (int step = 1; step <= 6; ++step) host->moveTo(700 - (700 - 300) * step / 6, 24 + (400 - 24) * step / 6);
  host->press(3);  // over an empty cell
  host->release(3);
  host->release();
  EXPECT_TRUE(AllStopped()) << "right click during a drag";
  EXPECT_EQ(StateText(Chunk(), 0), grid) << "a cancelled drag placed its chord";

  for (const int panic : {123, 120}) {
    host->moveTo(700, 24);
    host->press(1, kApart);
    ASSERT_TRUE(NoteOnsSent());
    host->vst().queueMidi(7, static_cast<uint8_t>(0xB0 | 5), static_cast<uint8_t>(panic), 0);
    EXPECT_TRUE(AllStopped()) << "control change " << panic;
    host->release();
    Notes(2);
  }

  host->moveTo(158, 530);  // hold cell 5 and close the editor
  host->press(1, kApart);
  ASSERT_TRUE(NoteOnsSent());
  host->closeEditor();
  EXPECT_TRUE(AllStopped()) << "editor closed while held";
  host->release();

  ASSERT_TRUE(host->openEditor(40, 30)) << host->error();
  host->moveTo(700, 57);  // drag a row, and the host destroys the window
  host->press(1, kApart);
  ASSERT_TRUE(NoteOnsSent());
  host->moveTo(500, 300);
  host->destroyParent();
  EXPECT_TRUE(AllStopped()) << "window destroyed during a drag";
  host->release();
}

// Quick clicks on controls without a double-click action of their own each
// count as a press.
TEST_F(VelmoraWindowTest, NoQuickClickIsLost) {
  Notes();
  const int base = Row0Note();
  ASSERT_GT(base, 0);
  for (int i = 0; i < 4; ++i) host->click(736, 683);  // the list octave's right arrow
  EXPECT_EQ(Row0Note(), base + 48);
  for (int i = 0; i < 10; ++i) host->click(700, 683);  // its left arrow, down to -4
  EXPECT_EQ(Row0Note(), base - 48);

  ASSERT_TRUE(host->vst().setChunk(ChunkKind::Program, LocalPlugin().WithExclusions()));
  ASSERT_EQ(StateText(Chunk(), 2), "1 3 6 ,");
  host->click(510, 532);  // the first excluded root, twice
  host->click(510, 532);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return StateText(Chunk(), 2) == "6 ,"; })) << StateText(Chunk(), 2);
}

// Key taps shorter than any block, with no block at all: each marks its key
// within a tick of the editor.
TEST_F(VelmoraWindowTest, KeyboardTapsAreKeptUntilHandled) {
  const auto marked = [&](int note) {
    const std::string text = " " + StateText(Chunk(), 1);
    return text.find(" " + std::to_string(note) + " ") != std::string::npos;
  };
  ASSERT_TRUE(marked(53) && marked(55) && marked(57));  // C major's F, G and A
  host->click(306, 134);  // F
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return !marked(53); }));
  host->click(327, 134);  // G and A, one right after the other
  host->click(348, 134);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return !marked(55) && !marked(57); }));
  EXPECT_FALSE(marked(53));
}

}  // namespace
}  // namespace velmora::test
