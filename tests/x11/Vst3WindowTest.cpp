// Velmora.vst3's editor in a window of ours through IPlugView, run only by
// the run loop our frame lends it (its timer and the X descriptor), on the
// test's one thread as a Linux host's main loop runs it; processing on a
// thread of its own; real input through XTest under Xvfb.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "DisplayTestSupport.h"
#include "tools/vsthost/Vst3Host.h"

// Xlib last: its macros (None, Bool) would break the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace vst3 = velmora::vst3;
using host::Vst3Edit;
using host::Vst3Host;

class Vst3WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::string why;
    ASSERT_TRUE(UseSharedXvfb(&why)) << why;
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(host.load(VELMORA_VST3_BUNDLE)) << host.error();
    host.resume();
    // C major listed: C maj is the first row.
    std::ifstream state(VELMORA_DEMO_STATE, std::ios::binary);
    ASSERT_TRUE(host.setChunk(host::ChunkKind::Program, {std::istreambuf_iterator<char>(state), {}}));
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 30, 20, 964, 709, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    ASSERT_TRUE(host.openEditor(parent));
    vst3::ViewRect size{};
    ASSERT_EQ(host.view()->getSize(&size), vst3::kResultTrue);
    EXPECT_EQ(size.right, 964);
    EXPECT_EQ(size.bottom, 709);
    ASSERT_EQ(host.timers().size(), 1u);
    EXPECT_EQ(host.timers()[0].milliseconds, 40u);
    ASSERT_EQ(host.descriptors().size(), 1u);
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes attributes{};
      const Window editor = EditorWindow();
      return editor && XGetWindowAttributes(display, editor, &attributes) && attributes.map_state == IsViewable;
    }));
  }
  void TearDown() override {
    host.close();  // with the editor still up
    EXPECT_TRUE(host.descriptors().empty());
    EXPECT_TRUE(host.timers().empty());
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
    fs::remove_all(home);
  }

  // The host's main loop: the descriptor's handler as soon as it is
  // readable, the timer every 40 ms otherwise; the audio side between.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      const std::vector<host::Vst3LoopEntry> fds = host.descriptors();
      pollfd watched{fds.empty() ? -1 : fds[0].fd, POLLIN, 0};
      if (poll(&watched, 1, 40) > 0) {
        host.fireDescriptor(watched.fd);
        ++fdCalls;
      } else {
        host.fireTimers();
      }
      std::thread([this] { host.process(1); }).join();
      for (auto& m : host.takeCapturedMidi()) midi.push_back(m.bytes);
      if (done()) return true;
    }
    return false;
  }
  Window EditorWindow() {
    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, parent, &root, &up, &children, &count)) return 0;
    const Window child = count > 0 ? children[0] : 0;
    if (children) XFree(children);
    return child;
  }
  void Click(int x, int y, bool down) {
    int rootX = 0, rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates(display, parent, DefaultRootWindow(display), x, y, &rootX, &rootY, &ignored);
    XTestFakeMotionEvent(display, -1, rootX, rootY, 0);
    XTestFakeButtonEvent(display, 1, down ? True : False, 0);
    XFlush(display);
  }
  void Press(int x, int y) {
    Click(x, y, true);
    Click(x, y, false);
  }
  static std::vector<Vst3Edit::Kind> Kinds(const std::vector<Vst3Edit>& edits, vst3::ParamID id) {
    std::vector<Vst3Edit::Kind> kinds;
    for (const Vst3Edit& edit : edits)
      if (edit.id == id) kinds.push_back(edit.kind);
    return kinds;
  }

  fs::path home = fs::temp_directory_path() / ("velmora-vst3-x11-" + std::to_string(getpid()));
  Display* display = nullptr;
  Window parent = 0;
  Vst3Host host;
  std::vector<std::vector<uint8_t>> midi;
  int fdCalls = 0;
};

// The child says it is an XEmbed client, and is mapped by itself.
TEST_F(Vst3WindowTest, TheChildCarriesXEmbedInfoAndARowPressedSendsItsChord) {
  const Atom info = XInternAtom(display, "_XEMBED_INFO", False);
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(display, EditorWindow(), info, 0, 2, False, AnyPropertyType, &type, &format, &count,
                               &after, &data),
            Success);
  ASSERT_EQ(count, 2u);
  EXPECT_EQ(reinterpret_cast<long*>(data)[1] & 1, 0);  // "map me" left to us
  XFree(data);

  Click(700, 23, true);  // the first row: C maj of C major
  ASSERT_TRUE(PumpUntil([&] { return midi.size() >= 3; })) << "no note-ons";
  EXPECT_EQ(midi[0], (std::vector<uint8_t>{0x90, 60, 100}));
  Click(700, 23, false);
  ASSERT_TRUE(PumpUntil([&] { return midi.size() >= 6; })) << "no note-offs";
  EXPECT_EQ(midi[3][0], 0x80);
  EXPECT_GT(fdCalls, 0);  // input was served through the descriptor
}

// A switch: begin, perform, end on the UI thread; its echo through the
// processor's parameter changes leaves it on.
TEST_F(Vst3WindowTest, ASwitchPressedReachesTheHostAsBeginPerformEnd) {
  const int dirty = host.dirtyMarks();
  Press(937, 683);  // Record
  ASSERT_TRUE(PumpUntil([&] { return Kinds(host.edits(), 27).size() >= 3; }));
  const std::vector<Vst3Edit> edits = host.takeEdits();
  EXPECT_EQ(Kinds(edits, 27), (std::vector<Vst3Edit::Kind>{Vst3Edit::Kind::Begin, Vst3Edit::Kind::Perform,
                                                          Vst3Edit::Kind::End}));
  for (const Vst3Edit& edit : edits) EXPECT_TRUE(edit.onMainThread);
  EXPECT_EQ(edits[1].value, 1.0);
  PumpUntil([&] { return host.dirtyMarks() > dirty; });
  EXPECT_GT(host.dirtyMarks(), dirty);
  EXPECT_EQ(host.parameterDisplay(27), "on");
}

// An action pressed in the editor runs once, though its value comes back
// through the host: one undo then empties the grid again.
TEST_F(Vst3WindowTest, AnActionPressedRunsOnceThoughTheHostEchoesIt) {
  const int names = host.programListChanges();
  Press(425, 315);  // RandomizeGrid
  ASSERT_TRUE(PumpUntil([&] { return Kinds(host.edits(), 8).size() >= 3; }));
  PumpUntil([&] { return false; }, std::chrono::milliseconds(300));  // the echo is played
  EXPECT_GT(host.programListChanges(), names);  // the trigger keys were renamed
  midi.clear();
  host.queueMidi(0, 0x90, 36, 100);
  ASSERT_TRUE(PumpUntil([&] { return !midi.empty(); }));  // cell 1 plays
  host.queueMidi(0, 0x80, 36, 0);
  PumpUntil([&] { return false; }, std::chrono::milliseconds(200));
  ASSERT_TRUE(host.setParameter(4, 1.0f));  // Undo, as the host's generic editor presses it
  midi.clear();
  host.queueMidi(0, 0x90, 36, 100);
  PumpUntil([&] { return false; }, std::chrono::milliseconds(300));
  EXPECT_TRUE(midi.empty()) << "the grid was dealt twice";
}

// The host's scale with the editor open: the frame is asked for room, gives
// it, and the window and getSize follow.
TEST_F(Vst3WindowTest, TheHostsScaleResizesTheOpenEditorThroughItsFrame) {
  void* support = nullptr;
  ASSERT_EQ(host.view()->queryInterface(vst3::IPlugViewContentScaleSupport::kIid.bytes, &support), vst3::kResultOk);
  auto* scale = static_cast<vst3::IPlugViewContentScaleSupport*>(support);
  EXPECT_EQ(scale->setContentScaleFactor(2.0f), vst3::kResultTrue);
  scale->release();
  vst3::ViewRect size{};
  ASSERT_EQ(host.view()->getSize(&size), vst3::kResultTrue);
  EXPECT_EQ(size.right * 10000 + size.bottom, 1928 * 10000 + 1418);
  EXPECT_TRUE(PumpUntil([&] {
    XWindowAttributes attributes{};
    const Window editor = EditorWindow();
    return editor && XGetWindowAttributes(display, editor, &attributes) && attributes.width == 1928 &&
           attributes.height == 1418;
  }));
}

}  // namespace
}  // namespace velmora::test
