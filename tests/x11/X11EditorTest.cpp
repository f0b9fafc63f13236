// The editor's X11 window under Xvfb, driven by real input (XTest) through a
// host that idles it every 40 ms, and read back with XGetImage.

#include <cstdlib>

#include "X11TestSupport.h"
#include "XvfbServer.h"
#include "framework/graphics/platform/x11/PopupLayout.h"

// Xlib last: its macros (Bool, None, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace velmora::test {
namespace {

using M = x11::PopupMetrics;
using host::ScreenRect;
using host::X11EditorHost;

class X11EditorTest : public X11HostTest {
 protected:
  // The one popup menu on the screen, once it is there.
  ScreenRect WaitForMenu() {
    std::vector<ScreenRect> menus;
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return (menus = host->popupWindows()).size() == 1; }))
        << "no menu came up";
    return menus.empty() ? ScreenRect{} : menus.front();
  }
  // Clicks item index of a one-column menu.
  void ClickItem(const ScreenRect& menu, int index) {
    host->moveToRoot(menu.x + menu.width / 2, menu.y + M::kBorder + index * M::kItemHeight + M::kItemHeight / 2);
    host->press();
    host->release();
  }
  bool MenuGone() {
    return X11EditorHost::WaitFor([&] { return host->popupWindows().empty(); });
  }
};

TEST_F(X11EditorTest, OpensAChildOfTheParentAtTheEditorSizeAndClosesWithoutTrace) {
  Open();
  Display* display = host->display();
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  ASSERT_TRUE(XQueryTree(display, host->parentWindow(), &root, &parent, &children, &count));
  ASSERT_EQ(count, 1u);
  const Window editor = children[0];
  XFree(children);
  XWindowAttributes attributes;
  ASSERT_TRUE(XGetWindowAttributes(display, editor, &attributes));
  EXPECT_EQ(attributes.x, 0);
  EXPECT_EQ(attributes.y, 0);
  EXPECT_EQ(attributes.width, kEditorWidth);
  EXPECT_EQ(attributes.height, kEditorHeight);
  EXPECT_EQ(attributes.depth, 24);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] {
    return XGetWindowAttributes(display, editor, &attributes) && attributes.map_state == IsViewable;
  }));
  host->closeEditor();
  XSync(display, False);
  ASSERT_TRUE(XQueryTree(display, host->parentWindow(), &root, &parent, &children, &count));
  if (children) XFree(children);
  EXPECT_EQ(count, 0u);
}

TEST_F(X11EditorTest, FirstIdleDrawsTheWholeEditorAsTheHeadlessEditorDoes) {
  Open(false);
  host->idleOnce();
  EXPECT_TRUE(ShowsHeadlessRender(*host, "first_idle"));
  EXPECT_EQ(host->idleCalls(), 1);
  EXPECT_GT(OwnSharedMemorySegments(), 0) << "Xvfb offers MIT-SHM; the pixels should go through it";
}

TEST(X11WithoutSharedMemory, PlainPutImageShowsTheSamePicture) {
  const char* before = std::getenv("DISPLAY");
  const std::string previous = before ? before : "";
  XvfbServer server;
  ASSERT_TRUE(server.Start({"-extension", "MIT-SHM"})) << server.Error();
  {
    X11EditorHost host;
    ASSERT_TRUE(host.connected()) << host.error();
    ASSERT_TRUE(host.load(VELMORA_X11_TEST_PLUGIN)) << host.error();
    ASSERT_TRUE(host.openEditor(kOriginX, kOriginY));
    EXPECT_TRUE(ShowsHeadlessRender(host, "no_shm"));
    EXPECT_EQ(OwnSharedMemorySegments(), 0);
    host.click(MidX(kSwitchRect), MidY(kSwitchRect));
    EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(host, kPower) == 1.0f; }));
    EXPECT_TRUE(ShowsHeadlessRender(host, "no_shm_switched"));
  }
  server.Stop();
  if (previous.empty()) unsetenv("DISPLAY");
  else setenv("DISPLAY", previous.c_str(), 1);
}

TEST_F(X11EditorTest, ClickOnTheSwitchSetsItsParameterAndRedrawsIt) {
  Open();
  ASSERT_TRUE(ShowsHeadlessRender(*host, "switch_off"));
  host->click(MidX(kSwitchRect), MidY(kSwitchRect));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kPower) == 1.0f; }));
  EXPECT_TRUE(ShowsHeadlessRender(*host, "switch_on"));
  MemBitmap shot;
  ASSERT_TRUE(host->capture(shot));
  EXPECT_EQ(shot.Row(MidY(kSwitchRect))[MidX(kSwitchRect)] & 0xffffff, 0x00ff00u) << "the switch's green frame";
  // A contact button goes back when released: the host sees 1, then 0, inside one edit.
  host->click(MidX(kContactRect), MidY(kContactRect));
  std::vector<float> contact;
  EXPECT_TRUE(X11EditorHost::WaitFor([&] {
    contact.clear();
    bool ended = false;
    for (const host::AutomationRecord& r : host->vst().automation()) {
      if (r.index != kContact) continue;
      if (r.kind == host::AutomationRecord::Kind::Automate) contact.push_back(r.value);
      ended = r.kind == host::AutomationRecord::Kind::EndEdit;
    }
    return ended;
  }));
  EXPECT_EQ(contact, (std::vector<float>{1.0f, 0.0f}));
}

TEST_F(X11EditorTest, KnobFollowsADragEvenOutsideTheWindow) {
  Open();
  const int x = MidX(kKnobRect), y = MidY(kKnobRect);
  host->moveTo(x, y);
  host->press();
  host->moveTo(x, y - 3);  // a quarter of its 12 pixels up
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kKnob) == 0.25f; })) << Normalized(*host, kKnob);
  host->moveTo(x, -30);  // above the window: only the grab brings this here
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kKnob) == 1.0f; })) << Normalized(*host, kKnob);
  host->moveTo(x + 400, -30);
  host->release();
  EXPECT_TRUE(ShowsHeadlessRender(*host, "knob_dragged"));
  // Released, it no longer follows the pointer.
  host->moveTo(x, y + 60);
  host->click(MidX(kProbeRect), MidY(kProbeRect));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 1; }));
  EXPECT_EQ(Normalized(*host, kKnob), 1.0f);
}

TEST_F(X11EditorTest, WheelNotchesReachTheControlUnderThePointer) {
  Open();
  host->wheel(MidX(kProbeRect), MidY(kProbeRect), 1);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kWheel) == 1; }));
  host->wheel(MidX(kProbeRect), MidY(kProbeRect), -3);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kWheel) == -2; })) << Int(kWheel);
  host->wheel(MidX(kKnobRect), MidY(kKnobRect), 2);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return std::abs(Normalized(*host, kKnob) - 0.02f) < 1e-6f; }));
  EXPECT_EQ(Int(kDowns), 0) << "a wheel is no press";
}

TEST_F(X11EditorTest, TwoQuickPressesAtOnePlaceMakeADoubleClick) {
  Open();
  const int x = MidX(kProbeRect), y = MidY(kProbeRect);
  host->click(x, y);
  // The server waits 450 ms before this press: too late for a double click.
  host->press(1, 450);
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 2; }));
  EXPECT_EQ(Int(kDowns), 2);
  EXPECT_EQ(Int(kDoubles), 0);
  host->click(x, y);  // right after the last press
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 3; }));
  EXPECT_EQ(Int(kDoubles), 1);
  EXPECT_EQ(Int(kDowns), 2) << "the second press of a double click is no press";
  // Quick but far apart: two presses.
  host->press(1, 450);
  host->release();
  host->click(x + 20, y);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 5; }));
  EXPECT_EQ(Int(kDowns), 4);
  EXPECT_EQ(Int(kDoubles), 1);
}

TEST_F(X11EditorTest, ButtonsModifiersAndPlacesReachTheControl) {
  Open();
  host->key(XK_Shift_L, true);
  host->click(MidX(kProbeRect) + 7, MidY(kProbeRect) - 5);
  host->key(XK_Shift_L, false);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 1; }));
  EXPECT_EQ(Int(kMods), 1 | 4) << "left and shift";
  EXPECT_EQ(Int(kLastX), MidX(kProbeRect) + 7);
  EXPECT_EQ(Int(kLastY), MidY(kProbeRect) - 5);
  host->key(XK_Control_L, true);
  host->press(3, 450);  // no double click with the press before
  host->release(3);
  host->key(XK_Control_L, false);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 2; }));
  EXPECT_EQ(Int(kMods), 2 | 8) << "right and control";
  // A drag on the probe reports where it went.
  host->moveTo(kProbeRect.left + 10, kProbeRect.top + 10);
  host->press(1, 450);
  host->moveTo(kProbeRect.left + 30, kProbeRect.top + 15);
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kUps) == 3; }));
  EXPECT_GE(Int(kDrags), 1);
  EXPECT_EQ(Int(kLastX), kProbeRect.left + 30);
  EXPECT_EQ(Int(kLastY), kProbeRect.top + 15);
}

TEST_F(X11EditorTest, ChoosingAnItemOfALongMenuSetsTheParameter) {
  Open();
  ASSERT_TRUE(ShowsHeadlessRender(*host, "before_menu"));
  host->click(MidX(kChordRect), MidY(kChordRect));
  const ScreenRect menu = WaitForMenu();
  // All 30 items in one column no taller than the editor, inside the screen
  // (here pushed up from under the box, where it had no room).
  EXPECT_EQ(menu.height, 2 * M::kBorder + kChordItems * M::kItemHeight);
  EXPECT_LE(menu.height, kEditorHeight);
  EXPECT_EQ(menu.x, RootX(kChordRect.left));
  EXPECT_EQ(menu.y + menu.height, XvfbServer::kHeight);
  // Drawn in the panel's style: dark ground, the item under the pointer lit, light text.
  const int itemTop = M::kBorder + 9 * M::kItemHeight;
  host->moveToRoot(menu.x + menu.width / 2, menu.y + itemTop + M::kItemHeight / 2);
  const Pixel ground = ToPixel(x11::PopupPalette::kGround) & 0xffffff;
  const Pixel lit = ToPixel(x11::PopupPalette::kHighlight) & 0xffffff;
  MemBitmap picture;
  EXPECT_TRUE(X11EditorHost::WaitFor([&] {
    return host->captureScreen(menu, picture) && (picture.Row(itemTop + 2)[menu.width - 8] & 0xffffff) == lit;
  })) << "the item under the pointer is not lit";
  EXPECT_EQ(picture.Row(M::kBorder + 2)[menu.width - 8] & 0xffffff, ground);
  int ink = 0;
  for (int y = itemTop; y < itemTop + M::kItemHeight; ++y) {
    for (int x = M::kCheckGutter; x < menu.width - M::kArrowGutter; ++x) ink += (picture.Row(y)[x] & 0xff) > 180;
  }
  EXPECT_GT(ink, 10) << "no text in the lit item";
  ClickItem(menu, 9);  // "m7"
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kMenus) == 1; }));
  EXPECT_EQ(Int(kChord), 10);
  EXPECT_TRUE(MenuGone());
  // The editor is whole again after the menu, with the box's new label.
  EXPECT_TRUE(ShowsHeadlessRender(*host, "after_menu"));
}

TEST_F(X11EditorTest, EscapeOrAPressOutsideDismissesAMenu) {
  Open();
  host->click(MidX(kChordRect), MidY(kChordRect));
  WaitForMenu();
  host->tapKey(XK_Escape);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kMenus) == 1; }));
  EXPECT_TRUE(MenuGone());
  host->click(MidX(kChordRect), MidY(kChordRect));
  const ScreenRect menu = WaitForMenu();
  host->moveToRoot(menu.x + menu.width + 40, menu.y + 10);
  host->press();
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kMenus) == 2; }));
  EXPECT_TRUE(MenuGone());
  EXPECT_EQ(Int(kChord), 0);
  EXPECT_EQ(Int(kDowns), 0) << "the press that closed the menu went nowhere else";
}

TEST_F(X11EditorTest, GrayedSeparatorAndSubmenuItemsCannotBeChosen) {
  Open();
  host->click(MidX(kModeRect), MidY(kModeRect));
  const ScreenRect menu = WaitForMenu();
  EXPECT_EQ(menu.x, RootX(kModeRect.left));
  EXPECT_EQ(menu.y, RootY(kModeRect.bottom)) << "below the box, where there is room";
  ClickItem(menu, kModeOff);
  ClickItem(menu, 2);  // the separator
  ClickItem(menu, 5);  // opens a submenu
  ClickItem(menu, kModeHigh);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kMenus) == 1; }));
  EXPECT_EQ(Int(kMode), kModeHigh + 1);
}

TEST_F(X11EditorTest, WindowStaysDrawnWhileTheHostPausesIdleAndCatchesUpAfter) {
  Open();
  ASSERT_TRUE(ShowsHeadlessRender(*host, "before_pause"));
  host->setIdling(false);
  const long idles = host->idleCalls();
  // Cover the editor with another window and take it away again.
  Display* display = host->display();
  const Window cover = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1200, 900, 0, 0, 0);
  XSetWindowAttributes attributes{};
  attributes.override_redirect = True;
  XChangeWindowAttributes(display, cover, CWOverrideRedirect, &attributes);
  XMapRaised(display, cover);
  XSync(display, False);
  ASSERT_TRUE(X11EditorHost::WaitFor([&] {
    XWindowAttributes a;
    return XGetWindowAttributes(display, cover, &a) && a.map_state == IsViewable;
  }));
  XDestroyWindow(display, cover);
  XSync(display, False);
  EXPECT_TRUE(ShowsHeadlessRender(*host, "paused"));
  EXPECT_EQ(host->idleCalls(), idles);
  // The host changes a parameter while it does not idle; the next idle shows it.
  host->vst().setParameter(kPower, 1.0f);
  host->setIdling(true);
  EXPECT_TRUE(ShowsHeadlessRender(*host, "resumed"));
}

}  // namespace
}  // namespace velmora::test
