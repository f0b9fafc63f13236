// The X11 editor's logic that needs no display: input translation, menu
// layout, XDND rules, and the operations that reach the desktop.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "framework/graphics/platform/x11/ChildProcess.h"
#include "framework/graphics/platform/x11/IGraphicsX11.h"
#include "framework/graphics/platform/x11/PopupLayout.h"
#include "framework/graphics/platform/x11/X11Input.h"
#include "framework/graphics/platform/x11/X11Scale.h"
#include "framework/graphics/platform/x11/XdndProtocol.h"

namespace velmora::x11 {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
using M = PopupMetrics;

bool Same(const MouseMods& a, const MouseMods& b) {
  return a.l == b.l && a.r == b.r && a.s == b.s && a.c == b.c && a.a == b.a;
}

TEST(X11Input, PressesAndReleasesCorrectTheStateXReportsFromBefore) {
  EXPECT_TRUE(Same(PressMods(0, 1), MouseMods(true)));
  EXPECT_TRUE(Same(PressMods(kShiftBit | kAltBit, 3), MouseMods(false, true, true, false, true)));
  EXPECT_TRUE(Same(ReleaseMods(kButton1Bit | kControlBit, 1), MouseMods(false, false, false, true)));
  EXPECT_TRUE(Same(ReleaseMods(kButton1Bit | kButton3Bit, 3), MouseMods(true)));
  EXPECT_TRUE(Same(MotionMods(kButton1Bit), MouseMods(true)));
  EXPECT_TRUE(Same(PressMods(0, 2), MouseMods()));  // the middle button is neither left nor right
  EXPECT_EQ(WheelNotches(4), 1);
  EXPECT_EQ(WheelNotches(5), -1);
  EXPECT_EQ(WheelNotches(6), 0);
  EXPECT_FALSE(OtherButtonsHeld(kButton1Bit, 1));
  EXPECT_TRUE(OtherButtonsHeld(kButton1Bit | kButton3Bit, 1));
}

TEST(X11Input, DoubleClicksAreTwoLeftPressesCloseInTimeAndPlace) {
  ClickTracker clicks;
  EXPECT_FALSE(clicks.Press(1, 1000, 10, 10));
  EXPECT_TRUE(clicks.Press(1, 1400, 14, 6));   // 400 ms, 4 pixels: still one
  EXPECT_FALSE(clicks.Press(1, 1500, 14, 6));  // a third press starts afresh
  EXPECT_FALSE(clicks.Press(1, 1901, 14, 6));  // 401 ms
  EXPECT_FALSE(clicks.Press(1, 2000, 19, 6));  // 5 pixels away
  EXPECT_FALSE(clicks.Press(3, 2050, 19, 6));  // the right button makes none
  EXPECT_FALSE(clicks.Press(1, 2100, 19, 6));
  EXPECT_TRUE(clicks.Press(1, 2200, 19, 6));
  // Across the wrap of the server's 32-bit millisecond clock.
  EXPECT_FALSE(clicks.Press(1, 0xffffff00UL, 0, 0));
  EXPECT_TRUE(clicks.Press(1, 0x50UL, 0, 0));
}

TEST(X11Input, RedrawStepsKeepA40MillisecondCadence) {
  const Clock::time_point t0 = Clock::now();
  auto at = [&](double ms) { return t0 + std::chrono::microseconds(std::int64_t(ms * 1000)); };
  RedrawCadence cadence(milliseconds(40));
  EXPECT_TRUE(cadence.Due(at(0)));  // the first idle draws at once
  EXPECT_FALSE(cadence.Due(at(39.9)));
  // A host idling every 39.9 ms: a step on every call from then on.
  int steps = 0;
  for (int call = 2; call <= 100; ++call) steps += cadence.Due(at(39.9 * call));
  EXPECT_EQ(steps, 99);
  // A host idling every millisecond: 25 steps a second, no more.
  RedrawCadence busy(milliseconds(40));
  steps = 0;
  for (int ms = 0; ms < 1000; ++ms) steps += busy.Due(at(ms));
  EXPECT_EQ(steps, 25);
  // After a pause one step, then the cadence again rather than a burst.
  EXPECT_TRUE(busy.Due(at(5000)));
  EXPECT_FALSE(busy.Due(at(5001)));
  EXPECT_FALSE(busy.Due(at(5039)));
  EXPECT_TRUE(busy.Due(at(5040)));
}

TEST(PopupLayout, ThirtyItemsFitTheEditorAndStayOnTheScreen) {
  const Rect screen(0, 0, 1280, 1024);
  // The inclusion popup of a 709-pixel editor on a tall screen: room below.
  PopupLayout below = LayoutPopup(30, 40, Rect(491, 468, 609, 501), Rect(0, 0, 1280, 1200), 709);
  EXPECT_EQ(below.columns, 1);
  EXPECT_EQ(below.rows, 30);
  EXPECT_EQ(below.height, 30 * M::kItemHeight + 2 * M::kBorder);
  EXPECT_EQ(below.y, 501);
  EXPECT_EQ(below.x, 491);
  // Lower on the screen: no room below or above, so it sits on the bottom edge.
  PopupLayout pushed = LayoutPopup(30, 40, Rect(491, 568, 609, 601), screen, 709);
  EXPECT_EQ(pushed.y + pushed.height, 1024);
  // Room above: it opens upwards.
  PopupLayout above = LayoutPopup(12, 40, Rect(491, 900, 609, 933), screen, 709);
  EXPECT_EQ(above.y + above.height, 900);
  // At the right edge it moves left.
  PopupLayout right = LayoutPopup(3, 300, Rect(1200, 10, 1270, 30), screen, 709);
  EXPECT_EQ(right.x + right.width, 1280);
  EXPECT_EQ(right.columnWidth, 300 + M::kCheckGutter + M::kArrowGutter);
}

TEST(PopupLayout, ALowScreenGetsBalancedColumnsAndHitsFindTheirItems) {
  const PopupLayout layout = LayoutPopup(30, 10, Rect(0, 0, 10, 10), Rect(0, 0, 800, 250), 709);
  EXPECT_EQ(layout.rows, 10);  // 12 rows fit; three columns of 10 rather than 12, 12, 6
  EXPECT_EQ(layout.columns, 3);
  EXPECT_LE(layout.height, 250);
  EXPECT_EQ(layout.columnWidth, M::kMinColumnWidth);
  const Rect eleventh = layout.ItemRect(10);
  EXPECT_EQ(eleventh, Rect(M::kBorder + M::kMinColumnWidth, M::kBorder, M::kBorder + 2 * M::kMinColumnWidth,
                           M::kBorder + M::kItemHeight));
  EXPECT_EQ(layout.ItemAt(eleventh.left, eleventh.top), 10);
  EXPECT_EQ(layout.ItemAt(eleventh.right - 1, eleventh.bottom - 1), 10);
  EXPECT_EQ(layout.ItemAt(eleventh.left - 1, eleventh.top), 0);
  EXPECT_EQ(layout.ItemAt(1, 1), -1);  // the border
  EXPECT_EQ(layout.ItemAt(layout.width - 1, layout.height - 1), -1);
  // A last column with a gap under its items.
  const PopupLayout uneven = LayoutPopup(7, 10, Rect(0, 0, 10, 10), Rect(0, 0, 800, 100), 709);
  EXPECT_EQ(uneven.rows, 4);
  EXPECT_EQ(uneven.ItemAt(M::kBorder + M::kMinColumnWidth + 1, M::kBorder + 3 * M::kItemHeight + 1), -1);
  EXPECT_EQ(uneven.ItemRect(7), Rect());
}

TEST(PopupLayout, AtTwiceTheScaleEverythingIsTwiceAsLargeAndSubmenusOpenBeside) {
  const Rect screen(0, 0, 2048, 1024);
  const PopupLayout menu = LayoutPopup(3, 200, Rect(0, 0, 92, 84), screen, 1418, 200);
  EXPECT_EQ(menu.height, 3 * 2 * M::kItemHeight + 2 * 2 * M::kBorder);
  EXPECT_EQ(menu.columnWidth, 200 + 2 * (M::kCheckGutter + M::kArrowGutter));
  EXPECT_EQ(menu.ItemRect(1), Rect(2 * M::kBorder, 2 * M::kBorder + 2 * M::kItemHeight, 2 * M::kBorder + menu.columnWidth,
                                   2 * M::kBorder + 4 * M::kItemHeight));
  EXPECT_EQ(menu.ItemAt(menu.width / 2, 2 * M::kBorder + 5 * M::kItemHeight), 2);
  // Beside the third item, level with it; at the screen's right edge, on the other side.
  const Rect item(menu.x + 6, menu.y + 86, menu.x + menu.width - 6, menu.y + 126);
  const PopupLayout sub = LayoutSubmenu(6, 100, item, menu, screen, 200);
  EXPECT_EQ(sub.x, menu.x + menu.width);
  EXPECT_EQ(sub.y + sub.metrics.border, item.top);
  PopupLayout far = menu;
  far.x = 2048 - menu.width;
  EXPECT_EQ(LayoutSubmenu(6, 100, item, far, screen, 200).x + sub.width, far.x);
}

TEST(X11Scale, XftDpiOfTheResourcesThenGdkScaleSayTheDesktopsScale) {
  EXPECT_EQ(ScaleFromResources("Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n", nullptr), 200);
  EXPECT_EQ(ScaleFromResources("Xft.dpi: 144", "2"), 150);  // the resources win
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t120\n", nullptr), 125);
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t96\n", nullptr), 100);
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t300\n", nullptr), 200);  // beyond the steps: the largest
  EXPECT_EQ(ScaleFromResources("*dpi:\t192\nXft.dpix:\t192\n", "2"), 200);  // other names: GDK_SCALE
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\tlarge\n", nullptr), 0);
  EXPECT_EQ(ScaleFromResources("Xft.dpi:\t-96\n", "1"), 100);
  EXPECT_EQ(ScaleFromResources(nullptr, "2"), 200);
  EXPECT_EQ(ScaleFromResources(nullptr, "0"), 0);
  EXPECT_EQ(ScaleFromResources(nullptr, nullptr), 0);
}

TEST(Xdnd, SpeaksVersionsThreeToFiveAndListsMoreThanThreeTypesApart) {
  EXPECT_EQ(Xdnd::Negotiate(2), 0);
  EXPECT_EQ(Xdnd::Negotiate(3), 3);
  EXPECT_EQ(Xdnd::Negotiate(5), 5);
  EXPECT_EQ(Xdnd::Negotiate(7), 5);
  EXPECT_EQ(Xdnd::EnterFlags(5, 2), 5L << 24);
  EXPECT_EQ(Xdnd::EnterFlags(4, 4), (4L << 24) | 1);
  EXPECT_EQ(Xdnd::PackPoint(1200, 35), (1200L << 16) | 35);
}

TEST(Xdnd, RefusedDragsRepeatPositionsAndGiveUpOnlyAfterAFairChance) {
  const Clock::time_point t = Clock::now();
  EXPECT_FALSE(XdndTiming::Repeat(false, t, t + milliseconds(49)));
  EXPECT_TRUE(XdndTiming::Repeat(false, t, t + milliseconds(50)));
  EXPECT_FALSE(XdndTiming::Repeat(true, t, t + milliseconds(500)));
  // Released 100 ms after entering: kept alive until 500 ms of hovering.
  EXPECT_FALSE(XdndTiming::GiveUp(t, t + milliseconds(100), t + milliseconds(499)));
  EXPECT_TRUE(XdndTiming::GiveUp(t, t + milliseconds(100), t + milliseconds(500)));
  // Released late: still a quarter second after the release.
  EXPECT_FALSE(XdndTiming::GiveUp(t, t + milliseconds(2000), t + milliseconds(2249)));
  EXPECT_TRUE(XdndTiming::GiveUp(t, t + milliseconds(2000), t + milliseconds(2250)));
}

// A folder with a fake xdg-open that writes down its arguments.
class DesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = fs::path(::testing::TempDir()) / ("velmora_x11_desktop_" + std::to_string(getpid()));
    fs::create_directories(folder);
    const fs::path script = folder / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
                             "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/args\"\n";
    fs::permissions(script, fs::perms::owner_all);
    savedPath = std::getenv("PATH") ? std::getenv("PATH") : "";
  }
  void TearDown() override {
    setenv("PATH", savedPath.c_str(), 1);
    fs::remove_all(folder);
  }
  std::string Args() {
    std::ifstream in(folder / "args");
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path folder;
  std::string savedPath;
  IGraphicsX11 graphics{nullptr, 10, 10};
};

TEST_F(DesktopTest, OpenUrlHandsTheAddressToXdgOpenAsOneArgumentAndReapsIt) {
  setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
  const std::string url = "https://example.org/a b?x=1&y='2';echo $HOME `id`";
  ASSERT_TRUE(graphics.OpenUrl(url.c_str(), "Our website", nullptr, nullptr));
  ASSERT_TRUE(fs::exists(folder / "args") || [&] {
    for (int i = 0; i < 500 && !fs::exists(folder / "args"); ++i) std::this_thread::sleep_for(milliseconds(10));
    return fs::exists(folder / "args");
  }());
  EXPECT_EQ(Args(), "1\n" + url + "\n");
  // Idle reaps the child: none is left, not even a zombie.
  bool reaped = false;
  for (int i = 0; i < 500 && !reaped; ++i) {
    graphics.Idle();
    reaped = ReapChildren() == 0;
    if (!reaped) std::this_thread::sleep_for(milliseconds(10));
  }
  EXPECT_TRUE(reaped);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
}

TEST_F(DesktopTest, OpenUrlAnswersFalseWithoutXdgOpenOrWhenAskedToConfirm) {
  setenv("PATH", (folder / "nowhere").c_str(), 1);
  EXPECT_FALSE(graphics.OpenUrl("https://example.org", "", nullptr, nullptr));
  setenv("PATH", (folder.string() + ":" + savedPath).c_str(), 1);
  EXPECT_FALSE(graphics.OpenUrl("https://example.org", "Title", "Open it?", nullptr));
  EXPECT_FALSE(graphics.OpenUrl("", "", nullptr, nullptr));
  EXPECT_FALSE(fs::exists(folder / "args"));
}

TEST_F(DesktopTest, FoldersFollowXdgAndTheWindowlessEditorIsHarmless) {
  const char* saved = std::getenv("XDG_DATA_HOME");
  const std::string savedData = saved ? saved : "";
  setenv("XDG_DATA_HOME", (folder / "data").c_str(), 1);
  std::string path;
  graphics.ApplicationDataFolder(path, false);
  EXPECT_EQ(path, (folder / "data").string());
  EXPECT_TRUE(fs::is_directory(folder / "data"));
  setenv("XDG_DATA_DIRS", "/opt/velmora/share/:/usr/share", 1);
  graphics.ApplicationDataFolder(path, true);
  EXPECT_EQ(path, "/opt/velmora/share");
  unsetenv("XDG_DATA_DIRS");
  graphics.ApplicationDataFolder(path, true);
  EXPECT_EQ(path, "/usr/local/share");
  if (saved) setenv("XDG_DATA_HOME", savedData.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
  graphics.HostPath(path);
  EXPECT_EQ(path.back(), '/');
  EXPECT_TRUE(fs::exists(path + fs::path(fs::read_symlink("/proc/self/exe")).filename().string()));
  // Without a window nothing is shown, dragged or drawn, and nothing breaks.
  PopupMenu menu;
  menu.AddItem("one");
  EXPECT_EQ(graphics.ShowPopupMenu(menu, Rect(0, 0, 5, 5)), nullptr);
  EXPECT_FALSE(graphics.StartDrag({DragData{"text/uri-list", "file:///x\r\n"}}));
  EXPECT_FALSE(graphics.WindowIsOpen());
  EXPECT_EQ(graphics.WindowHandle(), nullptr);
  EXPECT_EQ(graphics.OpenWindow(nullptr), nullptr);
  graphics.Idle();
}

}  // namespace
}  // namespace velmora::x11
