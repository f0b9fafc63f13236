// Velmora.so's own editor in an X11 window inside a host of ours, driven by
// real input (XTest) under Xvfb: the popups, the chord rows, the grid, host
// notes, the drag of the take, and the window's pixels against the same
// state drawn without a window.
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
  LocalPlugin() : Velmora(nullptr) {}
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

  fs::path home = fs::temp_directory_path() / ("velmora-x11-" + std::to_string(getpid()));
  std::unique_ptr<X11EditorHost> host;
  Bytes example;
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
  ChooseFromMenuAt(310, 205, 1);  // the scale half: "Minor"
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return host->vst().parameterDisplay(0) == "11"; }));
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
  EXPECT_EQ(seen.data, "file://" + (home / "velmora-midi.mid").string() + "\r\n");
  EXPECT_TRUE(fs::file_size(home / "velmora-midi.mid") > 14);
}

}  // namespace
}  // namespace velmora::test
