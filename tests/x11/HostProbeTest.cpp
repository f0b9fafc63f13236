// A probe host that does to the editor what shipping Linux hosts do: put
// their own X error handler back, destroy the parent first, lose the X
// server, close from another thread while a menu or a drag is open, idle
// from a thread other than the opener, pass their Display*. Each scenario
// runs in a child process on an Xvfb of its own, so that a crash is one
// failed test; the child exits 0 only when every check held.

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "X11TestSupport.h"
#include "XvfbServer.h"
#include "framework/graphics/platform/x11/PopupLayout.h"

// Xlib last: its macros (Bool, None, Status) would break the headers above.
#include <X11/Xlib.h>

namespace velmora::test {
namespace {

using host::AutomationRecord;
using host::X11EditorHost;
using M = x11::PopupMetrics;

// A failed check ends the child at once, saying which.
#define PROBE_CHECK(condition)                                                            \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "probe check failed at line %d: %s\n", __LINE__, #condition); \
      std::fflush(stderr);                                                                \
      _exit(1);                                                                           \
    }                                                                                     \
  } while (0)

// The scenario in a child process: a crash, an exit from inside Xlib or a failed check fails the test.
#define PROBE_SCENARIO(Name)                                                   \
  void Name(Probe& probe);                                                     \
  TEST(HostProbe, Name) {                                                      \
    EXPECT_EXIT(RunScenario(&Name), ::testing::ExitedWithCode(0), "");         \
  }                                                                            \
  void Name(Probe& probe)

Display* gHostDisplay = nullptr;

// A host that lets nothing but errors on its own connection reach it: anything
// else here is an error of the plug-in's that escaped to the process.
int FatalForOthers(Display* display, XErrorEvent*) {
  if (display == gHostDisplay) return 0;
  std::fprintf(stderr, "an error on the plug-in's connection reached the host's handler\n");
  _exit(3);
}

XErrorHandler gChained = nullptr;
// A toolkit that chains to whatever handler it found.
int Chaining(Display* display, XErrorEvent* event) { return gChained ? gChained(display, event) : 0; }

// A host that handles the loss of its own connection and lets Xlib go on.
int HostIoHandler(Display*) { return 0; }
std::atomic<bool> gHostLost{false};
void HostLost(Display*, void*) { gHostLost = true; }

struct Probe {
  XvfbServer server;
  std::unique_ptr<X11EditorHost> host;

  void Start() {
    PROBE_CHECK(server.Start());
    host = std::make_unique<X11EditorHost>();
    PROBE_CHECK(host->connected());
    PROBE_CHECK(host->load(VELMORA_X11_TEST_PLUGIN));
    gHostDisplay = host->display();
    XSetErrorHandler(FatalForOthers);
  }
  void Open(bool idling = true) { PROBE_CHECK(host->openEditor(kOriginX, kOriginY, idling)); }
  // What a host thread other than the user-interface thread sends.
  std::intptr_t FromOtherThread(int opcode) { return host->vst().dispatch(opcode); }
  // The user-interface thread is back from whatever held it.
  bool UiThreadFree() {
    const long idles = host->idleCalls();
    return X11EditorHost::WaitFor([&] { return host->idleCalls() > idles + 1; });
  }
  int Count(int param, AutomationRecord::Kind kind) {
    int n = 0;
    for (const AutomationRecord& r : host->vst().automation()) n += r.index == param && r.kind == kind;
    return n;
  }
  // Every begin of the parameter has its end.
  bool Balanced(int param) {
    return X11EditorHost::WaitFor([&] {
      const int begins = Count(param, AutomationRecord::Kind::BeginEdit);
      return begins > 0 && begins == Count(param, AutomationRecord::Kind::EndEdit);
    });
  }
  host::ScreenRect OpenMenu() {
    host->click(MidX(kModeRect), MidY(kModeRect));
    std::vector<host::ScreenRect> menus;
    PROBE_CHECK(X11EditorHost::WaitFor([&] { return (menus = host->popupWindows()).size() == 1; }));
    return menus.front();
  }
  void StartDrag() {
    host->moveTo(MidX(kDragRect), MidY(kDragRect));
    host->press();
    const Atom selection = XInternAtom(host->display(), "XdndSelection", False);
    PROBE_CHECK(X11EditorHost::WaitFor([&] { return XGetSelectionOwner(host->display(), selection) != 0; }));
  }
  void PressKnobAndDrag() {
    const int begins = Count(kKnob, AutomationRecord::Kind::BeginEdit);
    const float before = Normalized(*host, kKnob);
    host->moveTo(MidX(kKnobRect), MidY(kKnobRect));
    host->press();
    host->moveTo(MidX(kKnobRect), MidY(kKnobRect) + (before < 0.5f ? -3 : 3));  // away from its end
    PROBE_CHECK(X11EditorHost::WaitFor([&] {
      return Count(kKnob, AutomationRecord::Kind::BeginEdit) > begins && Normalized(*host, kKnob) != before;
    }));
  }
};

void RunScenario(void (*scenario)(Probe&)) {
  Probe probe;
  probe.Start();
  scenario(probe);
  _exit(0);  // no destructor may touch a server the scenario killed
}

PROBE_SCENARIO(HostPutsItsHandlerBackThenDestroysTheParentThenCloses) {
  probe.Open();
  XSetErrorHandler(FatalForOthers);  // as hosts that trap errors around each call do
  probe.host->destroyParent();
  PROBE_CHECK(probe.UiThreadFree());
  probe.host->closeEditor();
  probe.host->vst().close();
}

PROBE_SCENARIO(ParentDestroyedAHundredAndFiftyTimesWhileTheEditorRedraws) {
  for (int i = 0; i < 150; ++i) {
    probe.Open();
    XSetErrorHandler(FatalForOthers);  // the host's handler, put back after the call
    // Host automation keeps the knob redrawing until the parent goes.
    for (int step = 0; step < i % 4 + 1; ++step) {
      probe.host->vst().setParameter(kKnob, float((i + step) % 10) / 10.0f);
      std::this_thread::sleep_for(std::chrono::milliseconds(7 * (i % 3)));
    }
    probe.host->destroyParent();
    probe.host->closeEditor();
  }
  probe.Open();
  PROBE_CHECK(ShowsHeadlessRender(*probe.host, "after_150_parents"));
}

PROBE_SCENARIO(LostServerLeavesTheHostRunning) {
  XSetIOErrorHandler(HostIoHandler);
  XSetIOErrorExitHandler(probe.host->display(), HostLost, nullptr);
  probe.Open();
  probe.PressKnobAndDrag();
  std::atomic<bool> stop{false};
  std::thread audio([&] {
    while (!stop) probe.host->vst().process(1);
  });
  probe.server.Stop();
  const std::int64_t blocks = probe.host->vst().blocksProcessed();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  PROBE_CHECK(probe.host->vst().blocksProcessed() > blocks + 100);
  PROBE_CHECK(probe.UiThreadFree());  // idles go on and return
  stop = true;
  audio.join();
  PROBE_CHECK(probe.Balanced(kKnob));  // the press that will never be released
  PROBE_CHECK(probe.FromOtherThread(effEditClose) == 1);
  probe.host->setIdling(false);
  probe.host->vst().close();
}

PROBE_SCENARIO(ChainedHandlerAfterTheModuleIsUnloaded) {
  probe.Open();
  gChained = XSetErrorHandler(Chaining);
  probe.host->closeEditor();
  probe.host->vst().close();
  // Velmora's code is gone from the process...
  PROBE_CHECK(dlopen(VELMORA_X11_TEST_PLUGIN, RTLD_NOW | RTLD_NOLOAD) == nullptr);
  // ...and an error anywhere goes down the chain.
  XDestroyWindow(probe.host->display(), 0x7ffff0);
  XSync(probe.host->display(), False);
}

PROBE_SCENARIO(CloseFromAnotherThreadDuringAPopupMenu) {
  probe.Open();
  probe.OpenMenu();
  PROBE_CHECK(probe.FromOtherThread(effEditClose) == 1);
  PROBE_CHECK(X11EditorHost::WaitFor([&] { return probe.host->popupWindows().empty(); }));
  PROBE_CHECK(probe.UiThreadFree());
  PROBE_CHECK(probe.Balanced(kMode));
  probe.host->setIdling(false);
  probe.FromOtherThread(effClose);
}

PROBE_SCENARIO(CloseFromAnotherThreadDuringADrag) {
  probe.Open();
  probe.StartDrag();
  PROBE_CHECK(probe.FromOtherThread(effEditClose) == 1);
  PROBE_CHECK(probe.UiThreadFree());
  probe.host->release();
  PROBE_CHECK(probe.Balanced(kDrag));
  probe.host->setIdling(false);
  probe.FromOtherThread(effClose);
}

PROBE_SCENARIO(EffCloseFromAnotherThreadDuringADrag) {
  probe.Open();
  probe.StartDrag();
  probe.host->setIdling(false);  // the idle in flight is the last
  // Returns once the drag has ended and the editor is gone.
  probe.FromOtherThread(effClose);
  PROBE_CHECK(probe.Balanced(kDrag));
  probe.host->release();
}

PROBE_SCENARIO(IdledOnlyFromAnotherThread) {
  probe.Open(false);
  std::atomic<bool> stop{false};
  std::thread idler([&] {
    while (!stop) {
      probe.host->vst().dispatch(effIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  });
  PROBE_CHECK(ShowsHeadlessRender(*probe.host, "idled_elsewhere"));
  probe.host->click(MidX(kSwitchRect), MidY(kSwitchRect));
  PROBE_CHECK(X11EditorHost::WaitFor([&] { return Normalized(*probe.host, kPower) == 1.0f; }));
  PROBE_CHECK(ShowsHeadlessRender(*probe.host, "idled_elsewhere_switched"));
  stop = true;
  idler.join();
}

PROBE_SCENARIO(EditBracketsCloseAfterAChoiceAndAfterACutShortDrag) {
  probe.Open();
  const host::ScreenRect menu = probe.OpenMenu();
  probe.host->moveToRoot(menu.x + menu.width / 2, menu.y + M::kBorder + kModeHigh * M::kItemHeight + M::kItemHeight / 2);
  probe.host->press();
  probe.host->release();
  PROBE_CHECK(X11EditorHost::WaitFor([&] { return IntParam(*probe.host, kMode) == kModeHigh + 1; }));
  PROBE_CHECK(probe.Balanced(kMode));
  // A knob drag cut short by a close from another thread...
  probe.PressKnobAndDrag();
  PROBE_CHECK(probe.FromOtherThread(effEditClose) == 1);
  PROBE_CHECK(probe.Balanced(kKnob));
  probe.host->release();
  // ...and by a destroyed parent.
  probe.host->closeEditor();
  probe.Open();
  const int ends = probe.Count(kKnob, AutomationRecord::Kind::EndEdit);
  probe.PressKnobAndDrag();
  probe.host->destroyParent();
  PROBE_CHECK(probe.Balanced(kKnob));
  PROBE_CHECK(probe.Count(kKnob, AutomationRecord::Kind::EndEdit) == ends + 1);
  probe.host->release();
  probe.host->closeEditor();
}

PROBE_SCENARIO(WithoutDisplayTheHostsConnectionIsJoined) {
  probe.Open();
  probe.host->closeEditor();  // the parent stays
  unsetenv("DISPLAY");
  const std::uintptr_t parent = probe.host->parentWindow();
  auto open = [&](std::intptr_t value) {
    std::intptr_t answer = -1;
    probe.host->onUiThread([&] {
      answer = probe.host->vst().dispatch(effEditOpen, 0, value, reinterpret_cast<void*>(parent));
    });
    return answer;
  };
  // Garbage where a Display* should be refuses, and harms nothing.
  static std::uint64_t junk[64];
  for (std::uint64_t& word : junk) word = ~0ull;
  PROBE_CHECK(open(0x1234) == 0);
  PROBE_CHECK(open(0x1000) == 0);
  PROBE_CHECK(open(std::intptr_t(junk)) == 0);
  PROBE_CHECK(open(std::intptr_t(probe.host->display())) == 1);
  probe.host->setIdling(true);
  PROBE_CHECK(ShowsHeadlessRender(*probe.host, "joined_host_display"));
}

}  // namespace
}  // namespace velmora::test
