// Opening and closing, two editors at once, and hosts that misbehave. These
// also run in the sanitizer build, whose leak check covers the module.

#include <cstdlib>

#include "X11TestSupport.h"

// Xlib last: its macros (Bool, None, Status) would break the headers above.
#include <X11/Xlib.h>

namespace velmora::test {
namespace {

using host::X11EditorHost;

class X11LifetimeTest : public X11HostTest {};

unsigned ChildCount(Display* display, Window window) {
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, window, &root, &parent, &children, &count)) return ~0u;
  if (children) XFree(children);
  return count;
}

TEST_F(X11LifetimeTest, OpeningAndClosingTwoHundredTimesLeavesNothingBehind) {
  Open();
  host->closeEditor();  // the first opening sets up what lives as long as the module (fonts, pictures)
  const int files = OpenFileDescriptors();
  void* parent = reinterpret_cast<void*>(host->parentWindow());
  AEffect* effect = host->vst().effect();
  int opened = 0;
  host->onUiThread([&] {
    for (int i = 0; i < 200; ++i) {
      opened += effect->dispatcher(effect, effEditOpen, 0, 0, parent, 0.0f) == 1;
      effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
      effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
    }
  });
  EXPECT_EQ(opened, 200);
  EXPECT_EQ(ChildCount(host->display(), host->parentWindow()), 0u);
  EXPECT_EQ(OpenFileDescriptors(), files) << "a display connection left open";
  // The server lets go of a segment when it handles our goodbye.
  EXPECT_TRUE(X11EditorHost::WaitFor([] { return OwnSharedMemorySegments() == 0; }))
      << OwnSharedMemorySegments() << " shared-memory segments left";
  // And it still works.
  Open();
  EXPECT_TRUE(ShowsHeadlessRender(*host, "reopened"));
}

TEST_F(X11LifetimeTest, TwoInstancesRunTheirEditorsIndependently) {
  X11EditorHost other;
  ASSERT_TRUE(other.connected());
  ASSERT_TRUE(other.load(VELMORA_X11_TEST_PLUGIN)) << other.error();
  Open(true, 0, 0);
  ASSERT_TRUE(other.openEditor(kEditorWidth + 40, 0)) << other.error();
  // Each idles on its own thread with its own connection.
  host->click(MidX(kSwitchRect), MidY(kSwitchRect));
  other.wheel(MidX(kProbeRect), MidY(kProbeRect), 3);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kPower) == 1.0f; }));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return IntParam(other, kWheel) == 3; }));
  EXPECT_EQ(Normalized(other, kPower), 0.0f);
  EXPECT_EQ(Int(kWheel), 0);
  EXPECT_TRUE(ShowsHeadlessRender(*host, "first_of_two"));
  EXPECT_TRUE(ShowsHeadlessRender(other, "second_of_two"));
  // Closing one leaves the other running.
  other.closeEditor();
  host->click(MidX(kSwitchRect), MidY(kSwitchRect));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kPower) == 0.0f; }));
  EXPECT_TRUE(ShowsHeadlessRender(*host, "one_left"));
}

TEST_F(X11LifetimeTest, ABadParentOrNoDisplayOpensNothingAndHurtsNothing) {
  AEffect* effect = host->vst().effect();
  std::intptr_t answer = -1;
  host->onUiThread([&] {
    answer = effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(0x7ffff0), 0.0f);
  });
  EXPECT_EQ(answer, 0) << "a window id the server does not know";
  const std::string display = std::getenv("DISPLAY");
  unsetenv("DISPLAY");
  host->onUiThread([&] { answer = effect->dispatcher(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(1), 0.0f); });
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_EQ(answer, 0) << "no display to open";
  Open();
  EXPECT_TRUE(ShowsHeadlessRender(*host, "after_refusals"));
}

TEST_F(X11LifetimeTest, AParentDestroyedBeforeTheCloseIsSurvived) {
  Open();
  ASSERT_TRUE(ShowsHeadlessRender(*host, "before_destroy"));
  host->destroyParent();
  // Idle goes on over the dead window, then the host closes the editor.
  const long idles = host->idleCalls();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return host->idleCalls() > idles + 2; }));
  host->closeEditor();
  Open();
  EXPECT_TRUE(ShowsHeadlessRender(*host, "new_parent"));
}

}  // namespace
}  // namespace velmora::test
