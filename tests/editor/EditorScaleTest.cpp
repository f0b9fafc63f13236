// The plug-in's editor at another size: every control under its scaled
// place, pictures drawn for the scale rather than stretched, and the size
// the user chooses kept for every later editor and never in the state.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "editor/DragControl.h"
#include "editor/SizeSetting.h"
#include "framework/plugin/AppDataFolder.h"
#include "tests/editor/EditorTestSupport.h"

namespace velmora::test {
namespace {

// A host that gives the editor the size it asks for, as the adapters do
// once the host agrees.
class ResizingHost : public HostedVelmora {
 public:
  void OnEditorSizeChanged(int width, int height) override {
    HostedVelmora::OnEditorSizeChanged(width, height);
    if (Editor() != nullptr && (width != Editor()->Width() || height != Editor()->Height()))
      Editor()->HostResized(width, height);
  }
};

// Editors of real plug-ins, made after the user's size was written.
class ScaledEditorTest : public ::testing::Test {
 protected:
  struct Instance {
    std::unique_ptr<HostedVelmora> host;
    HeadlessGraphics* ui = nullptr;
    const EditorControls& Controls() const { return static_cast<VelmoraEditor&>(host->EditorParts()).Controls(); }
  };

  template <typename Host = HostedVelmora>
  Instance Make(int userPercent = -1) {
    if (userPercent >= 0) {
      EXPECT_TRUE(Settings().Save(userPercent));
    }
    Instance made;
    made.host = std::make_unique<Host>();
    made.ui = &static_cast<HeadlessGraphics&>(static_cast<VelmoraEditor&>(made.host->EditorParts()).Graphics());
    made.ui->OpenWindow(nullptr);
    made.ui->OnTimerTick();
    return made;
  }
  static SizeSetting Settings() { return SizeSetting(ApplicationDataFolder()); }
  static std::string SettingsText() {
    std::ifstream file(Settings().Path());
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
  }
  static std::vector<uint8_t> Chunk(HostedVelmora& host) {
    auto lock = host.Lock();
    ChunkBuffer chunk;
    host.SaveState(chunk);
    return std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
  }

  DataHome home;
};

// A layout point that hits control i at 1x, as near its centre as there is
// one; false when none does (a control hidden under others).
bool HitPoint(IGraphics& ui, int i, int& x, int& y) {
  const Rect r = ui.GetControl(i)->GetTargetRect();
  const int cx = int((int64_t(r.left) + r.right) / 2), cy = int((int64_t(r.top) + r.bottom) / 2);
  for (int d = 0; d < 60; ++d) {
    for (int dy = -d; dy <= d; ++dy) {
      for (int dx = -d; dx <= d; ++dx) {
        if (std::max(std::abs(dx), std::abs(dy)) != d || !r.Contains(cx + dx, cy + dy)) continue;
        if (ui.ControlAt(cx + dx, cy + dy) != i) continue;
        x = cx + dx;
        y = cy + dy;
        return true;
      }
    }
  }
  return false;
}

// The middle of layout pixel v's block.
int BlockCentre(int v, int percent) { return (ScaleCoordinate(v, percent) + ScaleCoordinate(v + 1, percent) - 1) / 2; }

TEST_F(ScaledEditorTest, AtTwiceTheSizeEveryControlTakesAPressAtItsScaledPlace) {
  Instance e = Make(200);
  HeadlessGraphics& ui = *e.ui;
  EXPECT_EQ(ui.Width(), 1928);
  EXPECT_EQ(ui.Height(), 1418);
  EXPECT_EQ(ui.DrawingSurface()->Width(), 1928);
  EXPECT_EQ(ui.DrawingSurface()->Height(), 1418);
  IContactDragControl* dragButton = e.Controls().dragButton;
  int reached = 0;
  for (int pass = 0; pass < 2; ++pass) {
    // The drag button covers the dimmed picture once a take has started.
    dragButton->SetHidden(pass == 0);
    for (int i = 0; i < ui.NControls(); ++i) {
      int x = 0, y = 0;
      if (!HitPoint(ui, i, x, y)) continue;
      if (pass == 1 && ui.GetControl(i) != dragButton) continue;
      SCOPED_TRACE(i);
      const int px = BlockCentre(x, 200), py = BlockCentre(y, 200);
      ui.OnMouseDown(px, py, kLeft);
      EXPECT_EQ(ui.LastPressed(), i);
      ui.OnMouseUp(px, py, MouseMods());
      ++reached;
    }
  }
  EXPECT_EQ(reached, 63);
  // The options menu opened under its scaled symbol.
  ui.ScriptPopupDismiss();
  ui.OnMouseDown(BlockCentre(20, 200), BlockCentre(20, 200), kLeft);
  EXPECT_EQ(ui.ShownMenus().back().rect, Rect(0, 0, 92, 84));
}

// A scan of the editor, a row or a column of layout pixels.
struct Scan {
  bool row;  // a row at fixed, else a column
  int fixed, from, to;
};

int Distance(Pixel a, Pixel b) {
  return std::max({std::abs(PixelRed(a) - PixelRed(b)), std::abs(PixelGreen(a) - PixelGreen(b)),
                   std::abs(PixelBlue(a) - PixelBlue(b))});
}

bool Between(Pixel p, Pixel a, Pixel b, int slack) {
  auto within = [&](int v, int x, int y) { return v >= std::min(x, y) - slack && v <= std::max(x, y) + slack; };
  return within(PixelRed(p), PixelRed(a), PixelRed(b)) && within(PixelGreen(p), PixelGreen(a), PixelGreen(b)) &&
         within(PixelBlue(p), PixelBlue(a), PixelBlue(b));
}

// Around every sharp step of the 1x editor along the scan, each pixel of
// the scaled one that lies within one 1x pixel has that pixel's colour,
// and one that straddles two has a colour between theirs: the scaled
// picture is the 1x one at nearest neighbour, except where a finer drawing
// puts a finer edge. A stretched, blurred picture bleeds each colour into
// the pixels beside it.
void ExpectSharpEdges(const SysBitmap& one, const SysBitmap& scaled, int percent, const Scan& scan) {
  auto at = [](const SysBitmap& s, int x, int y) { return s.Row(y)[x]; };
  auto layout = [&](int k) { return scan.row ? at(one, k, scan.fixed) : at(one, scan.fixed, k); };
  const int across = BlockCentre(scan.fixed, percent);
  auto physical = [&](int q) { return scan.row ? at(scaled, q, across) : at(scaled, across, q); };
  constexpr int kSlack = 24;
  int edges = 0;
  for (int k = scan.from + 1; k < scan.to; ++k) {
    if (Distance(layout(k - 1), layout(k)) < 48) continue;
    ++edges;
    for (int q = (k - 1) * percent / 100; q < (k + 1) * percent / 100; ++q) {
      const int first = q * 100 / percent, last = ((q + 1) * 100 - 1) / percent;
      const Pixel p = physical(q);
      if (first == last) {
        EXPECT_LE(Distance(p, layout(first)), kSlack) << "pixel " << q << " by the edge at " << k;
      } else {
        EXPECT_TRUE(Between(p, layout(first), layout(last), kSlack)) << "pixel " << q << " across the edge at " << k;
      }
    }
  }
  EXPECT_GE(edges, 2) << "the scan crosses too few edges to say anything";
}

TEST_F(ScaledEditorTest, KeysAreAsSharpAsAt1xAndFinerAtTwice) {
  Instance one = Make(100);
  const SysBitmap& flat = *one.ui->DrawingSurface();
  // Across the white keys under the black ones, and down the white key F.
  const Scan scans[] = {{true, 125, 140, 540}, {false, 159, 60, 175}};
  for (int percent : {150, 200}) {
    SCOPED_TRACE(percent);
    Instance scaled = Make(percent);
    ASSERT_EQ(scaled.ui->DrawingSurface()->Width(), ScaleCoordinate(964, percent));
    for (const Scan& scan : scans) ExpectSharpEdges(flat, *scaled.ui->DrawingSurface(), percent, scan);
    if (percent != 200) continue;
    // Drawn for the scale, not blown up: the keyboard has detail the 1x picture has not.
    int finer = 0;
    for (int y = 74 * 2; y < 163 * 2; ++y) {
      for (int x = 140 * 2; x < 540 * 2; ++x) finer += scaled.ui->DrawingSurface()->Row(y)[x] != flat.Row(y / 2)[x / 2];
    }
    EXPECT_GT(finer, 1000);
  }
}

TEST_F(ScaledEditorTest, TheUsersSizeIsKeptForEveryLaterEditorAndNeverInTheState) {
  Instance first = Make();
  const std::vector<uint8_t> before = Chunk(*first.host);
  EXPECT_EQ(first.ui->Width(), 964);
  first.ui->ScriptPopupChoice({IPopupOptions::kSizeItem, 3});  // "150 %"
  first.ui->OnMouseDown(20, 20, kLeft);
  first.ui->OnMouseUp(20, 20, MouseMods());
  EXPECT_NE(SettingsText().find("size=150\n"), std::string::npos) << SettingsText();
  EXPECT_EQ(first.ui->ShownMenus().back().labels[IPopupOptions::kSizeItem], "Size");
  // This host gives no room while the window is open: the old size holds
  // until it closes, and the next opening has the new one.
  EXPECT_EQ(first.ui->Width(), 964);
  first.ui->CloseWindow();
  EXPECT_EQ(first.ui->Width(), 1446);
  EXPECT_EQ(first.ui->Height(), 1064);
  first.ui->OpenWindow(nullptr);
  first.ui->OnTimerTick();
  EXPECT_EQ(first.ui->DrawingSurface()->Width(), 1446);
  EXPECT_EQ(Chunk(*first.host), before);

  // Another instance starts at it, and ticks it in the menu.
  Instance second = Make<ResizingHost>();
  EXPECT_EQ(second.ui->Width(), 1446);
  EXPECT_EQ(Chunk(*second.host), before);
  second.ui->ScriptPopupChoice({IPopupOptions::kSizeItem, 0});  // "Automatic"
  second.ui->OnMouseDown(BlockCentre(20, 150), BlockCentre(20, 150), kLeft);
  const HeadlessGraphics::ShownMenu& shown = second.ui->ShownMenus().back();
  EXPECT_EQ(shown.rect, ScaleRect(Rect(0, 0, 46, 42), 150));
  // A host that gives room: the new size holds at once.
  EXPECT_EQ(second.ui->Width(), 964);
  EXPECT_NE(SettingsText().find("size=automatic\n"), std::string::npos) << SettingsText();
  EXPECT_EQ(Chunk(*second.host), before);
}

TEST(SizeSettingFile, KeepsLinesItDoesNotKnowAndReadsNonsenseAsAutomatic) {
  const std::string folder = ::testing::TempDir() + "velmora-size-setting";
  std::filesystem::create_directories(folder);
  const SizeSetting setting(folder);
  {
    std::ofstream(setting.Path()) << "theme=dark\nsize=175\n";
  }
  EXPECT_EQ(setting.Load(), 175);
  ASSERT_TRUE(setting.Save(125));
  std::ifstream file(setting.Path());
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "theme=dark\nsize=125\n");
  for (const char* nonsense : {"size=130\n", "size=-1\n", "size=\n", "size=99999999999\n", "size=2x\n"}) {
    std::ofstream(setting.Path()) << nonsense;
    EXPECT_EQ(setting.Load(), 0) << nonsense;
  }
  std::filesystem::remove_all(folder);
  EXPECT_EQ(setting.Load(), 0);  // no file
  EXPECT_FALSE(SizeSetting(folder + "/missing/deeper").Save(150));
}

}  // namespace
}  // namespace velmora::test
