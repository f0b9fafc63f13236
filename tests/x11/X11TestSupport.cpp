#include "X11TestSupport.h"

#include <cstdlib>

#include "framework/graphics/headless/HeadlessGraphics.h"
#include "tests/TestDescriptor.h"

namespace velmora::test {

namespace {

class HeadlessTwin : public IPluginBase {
 public:
  HeadlessTwin() : IPluginBase(PluginHost::None(), WithoutChunksOrMidi(TestDescriptor(kNParams, "0-2", 1, "X11TestPlugin", 1))) {
    DefineTestParams(*this);
  }
};

}  // namespace

int IntParam(host::X11EditorHost& host, int index) { return std::atoi(host.vst().parameterDisplay(index).c_str()); }

float Normalized(host::X11EditorHost& host, int index) { return host.vst().parameter(index); }

bool RenderHeadless(host::X11EditorHost& host, MemBitmap& out) {
  HeadlessTwin twin;
  for (int i = 0; i < kNParams; ++i) twin.GetParam(i)->SetFromNormalized(host.vst().parameter(i));
  auto owned = std::make_unique<HeadlessGraphics>(&twin, kEditorWidth, kEditorHeight);
  HeadlessGraphics* graphics = owned.get();
  BuildTestEditor(*graphics, &twin);
  twin.AttachEditor(std::move(owned));
  graphics->OpenWindow(nullptr);
  if (!graphics->RedrawAll()) return false;
  const SysBitmap& surface = *graphics->DrawingSurface();
  out.Resize(surface.Width(), surface.Height());
  for (int y = 0; y < surface.Height(); ++y) {
    for (int x = 0; x < surface.Width(); ++x) out.Row(y)[x] = surface.Row(y)[x] | 0xff000000u;
  }
  return true;
}

::testing::AssertionResult ShowsHeadlessRender(host::X11EditorHost& host, const std::string& name) {
  return ShowsPicture(host, [&](MemBitmap& out) { return RenderHeadless(host, out); }, name);
}

void X11HostTest::SetUp() {
  std::string why;
  ASSERT_TRUE(UseSharedXvfb(&why)) << why;
  host = std::make_unique<host::X11EditorHost>();
  ASSERT_TRUE(host->connected()) << host->error();
  ASSERT_TRUE(host->load(VELMORA_X11_TEST_PLUGIN)) << host->error();
}

void X11HostTest::Open(bool idling, int x, int y) {
  ASSERT_TRUE(host->openEditor(x, y, idling)) << host->error();
}

}  // namespace velmora::test
