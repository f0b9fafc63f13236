// The editor as an XDND source, against drop targets written here.

#include "X11TestSupport.h"
#include "XvfbServer.h"
#include "XdndTestTarget.h"

// Xlib last: its macros (Bool, None, Status) would break the headers above.
#include <X11/keysym.h>

namespace velmora::test {
namespace {

using host::X11EditorHost;
using Seen = XdndTestTarget::Seen;

class X11DragTest : public X11HostTest {
 protected:
  // Presses the drag button and carries the pointer to (x, y) on the screen in a few moves.
  void PressAndCarryTo(int x, int y) {
    host->moveTo(MidX(kDragRect), MidY(kDragRect));
    host->press();
    const int fromX = RootX(MidX(kDragRect)), fromY = RootY(MidY(kDragRect));
    for (int step = 1; step <= 4; ++step) {
      host->moveToRoot(fromX + (x - fromX) * step / 4, fromY + (y - fromY) * step / 4);
    }
  }
  static Seen WaitSeen(const XdndTestTarget& target, const std::function<bool(const Seen&)>& condition) {
    Seen seen;
    X11EditorHost::WaitFor([&] { return condition(seen = target.Snapshot()); });
    return seen;
  }
};

TEST_F(X11DragTest, DropOnATargetHandsItTheFileUri) {
  XdndTestTarget target(XdndTestTarget::Options{});
  ASSERT_TRUE(target.Ready());
  Open();
  PressAndCarryTo(target.CenterX(), target.CenterY());
  WaitSeen(target, [](const Seen& s) { return s.positions >= 1; });
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kDragResult) == 1; })) << "not dropped";
  const Seen seen = WaitSeen(target, [](const Seen& s) { return s.finished; });
  EXPECT_EQ(seen.data, kDraggedUriList);
  EXPECT_EQ(seen.enters, 1);
  EXPECT_EQ(seen.drops, 1);
  EXPECT_EQ(seen.leaves, 0);
  EXPECT_EQ(seen.version, 5);
  EXPECT_EQ(seen.types, (std::vector<std::string>{"text/uri-list", "text/plain"}));
  EXPECT_EQ(seen.misaddressed, 0);
  // The editor takes clicks again after the drag.
  host->click(MidX(kSwitchRect), MidY(kSwitchRect));
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Normalized(*host, kPower) == 1.0f; }));
}

TEST_F(X11DragTest, ATargetThatRefusesTheFirstPositionsStillGetsTheDrop) {
  XdndTestTarget::Options options;
  options.refuseFirst = 6;
  XdndTestTarget target(options);
  ASSERT_TRUE(target.Ready());
  Open();
  PressAndCarryTo(target.CenterX(), target.CenterY());
  host->release();  // at once: the source must keep the drag alive until the target accepts
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kDragResult) == 1; })) << "not dropped";
  const Seen seen = WaitSeen(target, [](const Seen& s) { return s.finished; });
  EXPECT_GT(seen.positions, options.refuseFirst);
  EXPECT_EQ(seen.drops, 1);
  EXPECT_EQ(seen.data, kDraggedUriList);
}

TEST_F(X11DragTest, AProxiedTargetHearsThroughItsProxy) {
  XdndTestTarget::Options options;
  options.throughProxy = true;
  XdndTestTarget target(options);
  ASSERT_TRUE(target.Ready());
  Open();
  PressAndCarryTo(target.CenterX(), target.CenterY());
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kDragResult) == 1; })) << "not dropped";
  const Seen seen = WaitSeen(target, [](const Seen& s) { return s.finished; });
  EXPECT_EQ(seen.data, kDraggedUriList);
  EXPECT_EQ(seen.misaddressed, 0);
}

TEST_F(X11DragTest, EscapeOrAReleaseOverNothingEndsTheDragWithoutADrop) {
  XdndTestTarget target(XdndTestTarget::Options{});
  ASSERT_TRUE(target.Ready());
  Open();
  PressAndCarryTo(target.CenterX(), target.CenterY());
  WaitSeen(target, [](const Seen& s) { return s.positions >= 1; });
  host->tapKey(XK_Escape);
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kDragResult) == 2; })) << "not cancelled";
  host->release();
  Seen seen = WaitSeen(target, [](const Seen& s) { return s.leaves == 1; });
  EXPECT_EQ(seen.leaves, 1);
  EXPECT_EQ(seen.drops, 0);

  host->vst().setParameter(kDragResult, 0.0f);
  PressAndCarryTo(target.CenterX(), XvfbServer::kHeight - 20);  // below the target: nothing there
  host->release();
  EXPECT_TRUE(X11EditorHost::WaitFor([&] { return Int(kDragResult) == 2; })) << "not ended";
  seen = target.Snapshot();
  EXPECT_EQ(seen.drops, 0);
  EXPECT_EQ(seen.enters, seen.leaves);
}

}  // namespace
}  // namespace velmora::test
