// Velmora.clap's editor embedded in a window of ours through gui.set_parent,
// run only by the host's timer and descriptor calls (on_timer, on_fd) on the
// test's one thread, as a CLAP host's main loop runs it; real input through
// XTest under Xvfb.
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <thread>

#include "DisplayTestSupport.h"
#include "tools/vsthost/ClapHost.h"

// Xlib last: its macros (None, Bool) would break the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
using host::AutomationRecord;
using host::ClapHost;

class ClapWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_DATA_HOME", home.c_str(), 1);
    std::string why;
    ASSERT_TRUE(UseSharedXvfb(&why)) << why;
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    ASSERT_TRUE(clap.load(VELMORA_CLAP_MODULE)) << clap.error();
    clap.resume();
    // C major listed: C maj is the first row.
    std::ifstream state(VELMORA_DEMO_STATE, std::ios::binary);
    ASSERT_TRUE(clap.setChunk(host::ChunkKind::Program, {std::istreambuf_iterator<char>(state), {}}));
    const auto* gui = clap.extension<clap_plugin_gui_t>(CLAP_EXT_GUI);
    ASSERT_NE(gui, nullptr);
    ASSERT_TRUE(clap.createEditor());
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(clap.plugin(), &width, &height));
    EXPECT_EQ(width, 964u);
    EXPECT_EQ(height, 709u);
    // The host's scale holds at once while no window is open.
    ASSERT_TRUE(gui->set_scale(clap.plugin(), 2.0));
    ASSERT_TRUE(gui->get_size(clap.plugin(), &width, &height));
    EXPECT_EQ(width * 1000 + height, 1928u * 1000 + 1418u);
    ASSERT_TRUE(gui->set_scale(clap.plugin(), 1.0));
    ASSERT_TRUE(gui->get_size(clap.plugin(), &width, &height));
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 30, 20, width, height, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    ASSERT_TRUE(clap.setEditorParent(parent));
    ASSERT_EQ(clap.timers().size(), 1u);
    EXPECT_EQ(clap.timers()[0].periodMs, 40u);
    ASSERT_EQ(clap.descriptors().size(), 1u);
    // Input reaches the editor's window once it is viewable.
    ASSERT_TRUE(PumpUntil([&] {
      XWindowAttributes attributes{};
      const Window editor = EditorWindow();
      return editor && XGetWindowAttributes(display, editor, &attributes) && attributes.map_state == IsViewable;
    }));
  }
  void TearDown() override {
    clap.close();  // with the editor still up
    EXPECT_TRUE(clap.descriptors().empty());
    EXPECT_TRUE(clap.timers().empty());
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
    fs::remove_all(home);
  }

  // The host's main loop: on_fd as soon as the editor's descriptor is
  // readable, on_timer every 40 ms otherwise; the audio side between.
  bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    const auto until = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < until) {
      const std::vector<int> fds = clap.descriptors();
      pollfd watched{fds.empty() ? -1 : fds[0], POLLIN, 0};
      if (poll(&watched, 1, 40) > 0) {
        clap.fireDescriptor(watched.fd);
        ++fdCalls;
      } else {
        clap.fireTimers();
      }
      // The audio side on a thread of its own, as in a host.
      std::thread([this] { clap.process(1); }).join();
      for (auto& m : clap.takeCapturedMidi()) midi.push_back(m.bytes);
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

  fs::path home = fs::temp_directory_path() / ("velmora-clap-x11-" + std::to_string(getpid()));
  Display* display = nullptr;
  Window parent = 0;
  ClapHost clap;
  std::vector<std::vector<uint8_t>> midi;
  int fdCalls = 0;
};

// A host that processes on the thread that opened the editor breaks a thread
// rule: the module says so once in the host's log and plays on.
TEST_F(ClapWindowTest, ProcessingOnTheEditorsThreadIsLoggedOnceAndPlaysOn) {
  for (int block = 0; block < 3; ++block) ASSERT_TRUE(clap.process(1));
  const std::vector<std::string> lines = clap.logLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.find("broken thread contract") != std::string::npos; }),
            1);
}

TEST_F(ClapWindowTest, ARowPressedInTheEmbeddedEditorSendsItsChordAsMidi) {
  Click(700, 23, true);  // the first row: C maj of C major
  ASSERT_TRUE(PumpUntil([&] { return midi.size() >= 3; })) << "no note-ons";
  EXPECT_EQ(midi[0], (std::vector<uint8_t>{0x90, 60, 100}));
  Click(700, 23, false);
  ASSERT_TRUE(PumpUntil([&] { return midi.size() >= 6; })) << "no note-offs";
  EXPECT_EQ(midi[3][0], 0x80);
  EXPECT_GT(fdCalls, 0);  // input was served through the descriptor
}

TEST_F(ClapWindowTest, ASwitchPressedReachesTheHostAsGestureAndValue) {
  clap.suspend();  // not processing: the plug-in must ask for a flush
  const int flushes = clap.flushRequests();
  const int dirty = clap.dirtyMarks();
  Click(937, 683, true);  // Record
  Click(937, 683, false);
  ASSERT_TRUE(PumpUntil([&] {
    clap.flush();
    return clap.automation().size() >= 3;
  }));
  const std::vector<AutomationRecord> edits = clap.takeAutomation();
  ASSERT_EQ(edits.size(), 3u);
  EXPECT_EQ(edits[0].kind, AutomationRecord::Kind::BeginEdit);
  EXPECT_EQ(edits[1].kind, AutomationRecord::Kind::Automate);
  EXPECT_EQ(edits[1].value, 1.0f);
  EXPECT_EQ(edits[2].kind, AutomationRecord::Kind::EndEdit);
  for (const AutomationRecord& edit : edits) EXPECT_EQ(edit.index, 27);
  EXPECT_GT(clap.flushRequests(), flushes);
  EXPECT_GT(clap.dirtyMarks(), dirty);
  EXPECT_EQ(clap.parameterDisplay(27), "on");
}

// The host hears what only the editor changed, and only that: automation
// played back never marks the project modified, a key marked in the editor
// does; an audition while the host does not process asks it to; a second
// parent replaces the first window and the descriptor the host watches.
TEST_F(ClapWindowTest, TheHostHearsOfEditorChangesOnly) {
  const int marks = clap.dirtyMarks();
  int block = 0;
  PumpUntil([&] {
    clap.queueParamValue(0, 11, block % 3);  // loose matches, played back
    return ++block == 8;
  });
  EXPECT_EQ(clap.dirtyMarks(), marks);
  Click(300, 150, true);  // a white key of the keyboard: marks its note
  Click(300, 150, false);
  EXPECT_TRUE(PumpUntil([&] { return clap.dirtyMarks() > marks; }));

  clap.suspend();
  const int requests = clap.processRequests();
  Click(700, 23, true);  // an audition from the list
  EXPECT_TRUE(PumpUntil([&] { return clap.processRequests() > requests; }));
  Click(700, 23, false);
  PumpUntil([&] { return clap.processRequests() > requests + 1; });

  const Window second = XCreateSimpleWindow(display, DefaultRootWindow(display), 60, 40, 964, 709, 0, 0, 0);
  XMapWindow(display, second);
  XSync(display, False);
  ASSERT_TRUE(clap.setEditorParent(second));
  EXPECT_EQ(clap.descriptors().size(), 1u);
  clap.destroyEditor();
  EXPECT_TRUE(clap.descriptors().empty());
  XDestroyWindow(display, second);
}

}  // namespace
}  // namespace velmora::test
