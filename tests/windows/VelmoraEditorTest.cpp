// Velmora.dll's own editor in a top-level window of the test host, driven
// with posted mouse and key messages: a chord row played, the scale chosen
// in the popups, the window's pixels where the Linux build draws the same
// state, and the recorded take dragged into a drop target of the host.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ModulePlatform.h"
#include "framework/graphics/raster/PngCodec.h"
#include "tools/vsthost/VstHost.h"

#include "FileDropTarget.h"
#include "WinTestSupport.h"

namespace velmora::wintest {
namespace {

using host::ChunkKind;
using host::VstHost;
using Messages = std::vector<std::vector<std::uint8_t>>;

constexpr int kWidth = 964;
constexpr int kHeight = 709;
constexpr std::uint32_t kEmptyDark = 0x22221e;  // (34, 34, 30)
constexpr int kScaleRows = 228;
// Middle C's key: where its frame of the white-key strip is drawn, and a
// point inside its block.
constexpr POINT kMiddleCFrame{233, 74};
constexpr POINT kMiddleC{243, 140};

// C major pentatonic (16 chords, so the last four rows are empty), C maj in
// cell 0, the other cells empty.
const std::vector<std::uint8_t>& State() {
  static const std::vector<std::uint8_t> state = integration::MakeState("scale 36 cell 0 0 0");
  return state;
}

// One of Velmora.dll's pictures, decoded from its "PNG" resource.
std::unique_ptr<MemBitmap> Picture(int id) {
  HMODULE module = GetModuleHandleA("Velmora.dll");
  HRSRC resource = module ? FindResourceA(module, MAKEINTRESOURCEA(id), "PNG") : nullptr;
  if (!resource) return nullptr;
  return DecodePng(LockResource(LoadResource(module, resource)), SizeofResource(module, resource));
}

std::uint32_t Rgb(const MemBitmap& picture, int x, int y) { return picture.Row(y)[x] & 0xffffffu; }
bool Opaque(const MemBitmap& picture, int x, int y) { return picture.Row(y)[x] >> 24 == 0xff; }
// What a marked middle C shows at kMiddleC, from the white-key strip.
std::uint32_t MarkedMiddleC(const MemBitmap& whiteKey) {
  return Rgb(whiteKey, kMiddleC.x - kMiddleCFrame.x, kMiddleC.y - kMiddleCFrame.y);
}

bool ScaleValueIs(VstHost& host, int row) { return std::fabs(host.parameter(0) - float(row) / kScaleRows) < 1e-6f; }

class VelmoraEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(State().empty()) << "velmora-make-state failed";
    ASSERT_TRUE(host.load(VELMORA_MODULE)) << host.error();
    host.open();
    host.setSampleRate(44100.0);
    ASSERT_TRUE(host.setBlockSize(256));
    host.resume();
    ASSERT_TRUE(host.setChunk(ChunkKind::Program, State()));
    ASSERT_EQ(host.dispatch(effEditOpen, 0, 0, parent.Handle()), 1);
    editor = FindWindowExA(parent.Handle(), nullptr, "VelmoraWndClass", nullptr);
    ASSERT_NE(editor, nullptr);
    // Until the first drawing the controls count as changed, and the scale
    // selector holds its choices back.
    const std::unique_ptr<MemBitmap> whiteKey = Picture(104);
    ASSERT_NE(whiteKey, nullptr);
    ASSERT_TRUE(Shows(kMiddleC.x, kMiddleC.y, MarkedMiddleC(*whiteKey)));
  }
  void TearDown() override {
    if (editor) host.dispatch(effEditClose);
    host.close();
  }

  std::uint32_t ShownAt(int x, int y) const {
    return CaptureWindow(editor, kWidth, kHeight)[std::size_t(y) * kWidth + std::size_t(x)];
  }
  bool Shows(int x, int y, std::uint32_t rgb) {
    return PumpUntil([&] { return ShownAt(x, y) == rgb; });
  }

  void Press(int x, int y) { PostMessageA(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { PostMessageA(editor, WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }

  // A press that opens a popup menu; the menu's own loop takes the keys
  // queued behind it: down to the item, enter.
  void ChooseFromMenu(int x, int y, int item) {
    Press(x, y);
    for (int i = 0; i <= item; ++i) PostMessageA(editor, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(editor, WM_KEYDOWN, VK_RETURN, 0);
    Release(x, y);
  }

  // Blocks as the host's processing thread runs them: never on the
  // editor's window thread.
  void Process(int blocks) {
    std::thread([&] { host.process(blocks); }).join();
  }

  // What the plug-in sends in the next blocks, once count messages came.
  Messages Sent(std::size_t count) {
    Messages sent;
    PumpUntil([&] {
      Process(1);
      for (const host::CapturedMidi& m : host.takeCapturedMidi()) sent.push_back(m.bytes);
      return sent.size() >= count;
    });
    std::sort(sent.begin(), sent.end());
    return sent;
  }

  VstHost host;
  HostWindow parent{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  HWND editor = nullptr;
};

TEST_F(VelmoraEditorTest, PressingARowPlaysItsChordUntilTheRelease) {
  EXPECT_EQ(Sent(0), Messages{});
  Press(700, 23);  // row 0: C maj
  EXPECT_EQ(Sent(3), (Messages{{0x90, 60, 100}, {0x90, 64, 100}, {0x90, 67, 100}}));
  Release(700, 23);
  EXPECT_EQ(Sent(3), (Messages{{0x80, 60, 0}, {0x80, 64, 0}, {0x80, 67, 0}}));
}

TEST_F(VelmoraEditorTest, AScaleAndThenARootChosenInThePopupsSelectTheirRow) {
  ChooseFromMenu(300, 205, 1);  // the scale half: "Minor", no root yet
  ASSERT_TRUE(PumpUntil([&] { return ScaleValueIs(host, 11); })) << host.parameter(0) * kScaleRows;
  // The selector sends a choice only once its last one has been drawn, which
  // takes two redraw steps.
  ASSERT_TRUE(PumpTimerTicks(editor, 2));
  ChooseFromMenu(255, 205, 2);  // the root half: "D"
  ASSERT_TRUE(PumpUntil([&] { return ScaleValueIs(host, 14); })) << host.parameter(0) * kScaleRows;
  // D minor marks B flat, a black key C major pentatonic left alone.
  const std::unique_ptr<MemBitmap> blackKey = Picture(105);
  ASSERT_NE(blackKey, nullptr);
  EXPECT_TRUE(Shows(86 + 115 + 10, 74 + 22, Rgb(*blackKey, 10, 22))) << "B flat is not marked";
}

TEST_F(VelmoraEditorTest, TheWindowShowsTheStateAsTheLinuxBuildDrawsIt) {
  const std::unique_ptr<MemBitmap> background = Picture(102);
  const std::unique_ptr<MemBitmap> whiteKey = Picture(104);
  ASSERT_NE(background, nullptr);
  ASSERT_NE(whiteKey, nullptr);
  struct Point {
    int x, y;
    std::uint32_t rgb;
    const char* what;
  };
  auto fromBackground = [&](int x, int y, const char* what) { return Point{x, y, Rgb(*background, x, y), what}; };
  // Points where no text is drawn, with what the Linux build shows there.
  const std::vector<Point> points = {
      {700, 7 + 33 * 19 + 20, kEmptyDark, "empty row 19"},
      {935, 650, kEmptyDark, "empty row 19 over the background's play triangle"},
      {139, 662, kEmptyDark, "empty cell 1 over its left arrow"},
      {175, 662, kEmptyDark, "empty cell 1 over its right arrow"},
      {kMiddleC.x, kMiddleC.y, MarkedMiddleC(*whiteKey), "the marked middle C key"},
      fromBackground(45, 662, "filled cell 0's left arrow"),
      fromBackground(20, 20, "the menu symbol"),
      fromBackground(120, 30, "background"),
      fromBackground(450, 40, "background"),
      fromBackground(200, 250, "background"),
      fromBackground(600, 300, "background"),
      fromBackground(960, 705, "background"),
  };
  std::vector<std::uint32_t> shown;
  PumpUntil([&] {
    shown = CaptureWindow(editor, kWidth, kHeight);
    return std::all_of(points.begin(), points.end(),
                       [&](const Point& p) { return shown[std::size_t(p.y) * kWidth + std::size_t(p.x)] == p.rgb; });
  });

  MemBitmap picture(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) picture.Row(y)[x] = shown[std::size_t(y) * kWidth + std::size_t(x)] | 0xff000000u;
  }
  const char* file = "velmora_editor_window.png";
  EXPECT_TRUE(WritePng(picture, file, false));
  for (const Point& p : points) {
    EXPECT_EQ(Rgb(picture, p.x, p.y), p.rgb) << p.what << " at (" << p.x << ", " << p.y << "), see " << file;
  }
  const std::uint32_t key = Rgb(picture, kMiddleC.x, kMiddleC.y);
  EXPECT_GT(int(key & 0xff), int(key >> 16) + 100) << "the marked key is not blue";
}

TEST_F(VelmoraEditorTest, TheRecordedTakeIsDraggedIntoTheHostsDropTarget) {
  integration::DataHome home;
  const std::unique_ptr<MemBitmap> drag = Picture(142);
  const std::unique_ptr<MemBitmap> dimmed = Picture(143);
  ASSERT_NE(drag, nullptr);
  ASSERT_NE(dimmed, nullptr);
  // A pixel of the word that both pictures cover.
  const POINT word = [&] {
    for (int y = 0; y < drag->Height(); ++y) {
      for (int x = 0; x < drag->Width(); ++x) {
        if (Opaque(*drag, x, y) && Opaque(*dimmed, x, y)) return POINT{x, y};
      }
    }
    return POINT{-1, -1};
  }();
  ASSERT_GE(word.x, 0);
  const int wx = word.x, wy = word.y;
  ASSERT_TRUE(Shows(874 + wx, 675 + wy, Rgb(*dimmed, wx, wy))) << "the dimmed drag picture is missing";

  // A take: Record on, the transport running, host note 36 plays cell 0.
  RecordATake(host, [&](int blocks) { Process(blocks); });
  ASSERT_TRUE(home.WaitForExport());
  ASSERT_TRUE(Shows(874 + wx, 675 + wy, Rgb(*drag, wx, wy))) << "no drag button";

  // The host's window takes the drop. It covers the whole screen, because
  // under Wine a pointer moved by SetCursorPos may be reported at its old
  // place for a moment; wherever it is, it is over this window or the editor.
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
  FileDropTarget target;
  ASSERT_EQ(RegisterDragDrop(parent.Handle(), &target), S_OK);
  // No button is really held, so the drag drops at once.
  SetCursorPos(892, 683);
  Press(892, 683);
  const bool dropped = PumpUntil([&] { return !target.dropped.empty(); });
  Release(892, 683);
  RevokeDragDrop(parent.Handle());
  OleUninitialize();
  ASSERT_TRUE(dropped) << "nothing dropped";
  // The take's own file, beside the latest take.
  const std::filesystem::path take = std::filesystem::u8path(target.dropped);
  EXPECT_EQ(take.parent_path(), integration::RoamingAppData() / "velmora-takes") << target.dropped;
  EXPECT_EQ(take.filename().u8string().rfind("velmora-take-", 0), 0u) << target.dropped;
  EXPECT_EQ(target.offered, DWORD(DROPEFFECT_COPY));
  std::ifstream file(home.ExportFile(), std::ios::binary);
  char header[4] = {};
  file.read(header, sizeof header);
  EXPECT_EQ(std::string(header, sizeof header), "MThd");
}

}  // namespace
}  // namespace velmora::wintest
