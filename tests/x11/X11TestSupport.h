#pragma once

#include <memory>

#include "DisplayTestSupport.h"
#include "TestEditor.h"

namespace velmora::test {

// Where the tests put the editor on the screen: away from the edges, so that
// drags can leave the window and long menus meet the screen's bottom.
constexpr int kOriginX = 60;
constexpr int kOriginY = 40;

// The screen point of an editor point where the tests put it, and a rectangle's middle.
inline int RootX(int x) { return kOriginX + x; }
inline int RootY(int y) { return kOriginY + y; }
inline int MidX(const Rect& r) { return (r.left + r.right) / 2; }
inline int MidY(const Rect& r) { return (r.top + r.bottom) / 2; }

// A parameter's value as the host reads it: Int parameters through their
// display text, the others as the normalised value.
int IntParam(host::X11EditorHost& host, int index);
float Normalized(host::X11EditorHost& host, int index);

// The test editor drawn windowless for the host's current parameter values.
bool RenderHeadless(host::X11EditorHost& host, MemBitmap& out);
// Waits until the editor's window shows what the headless editor draws.
::testing::AssertionResult ShowsHeadlessRender(host::X11EditorHost& host, const std::string& name);

// A host of the test plug-in on the shared Xvfb.
class X11HostTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void Open(bool idling = true, int x = kOriginX, int y = kOriginY);
  int Int(int index) { return IntParam(*host, index); }

  std::unique_ptr<host::X11EditorHost> host;
};

}  // namespace velmora::test
