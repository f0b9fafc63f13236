// EditorTestPlugin.dll: the test editor in the platform's window, behind
// the same entry points and adapter as Velmora.dll; its pictures are "PNG"
// resources of the DLL.
#include "TestEditor.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/PlatformGraphics.h"
#include "framework/plugin/PluginFactory.h"
#include "tests/TestDescriptor.h"

namespace velmora {
namespace {

class EditorTestPlugin : public IPluginBase {
 public:
  explicit EditorTestPlugin(PluginHost& host) : IPluginBase(host, Descriptor()) {
    wintest::DefineTestParams(*this);
    std::unique_ptr<IGraphics> editor = MakePlatformGraphics(this, wintest::kEditorWidth, wintest::kEditorHeight, 25);
    wintest::BuildTestEditor(*editor, *this);
    AttachEditor(std::move(editor));
  }

 private:
  static PluginDescriptor Descriptor() {
    PluginDescriptor d = test::TestDescriptor(wintest::kParamCount, "0-2", 1, "EditorTest", 0x56456454);
    d.productName = "Velmora Tests";
    return d;
  }
};

}  // namespace

std::unique_ptr<IPluginBase> MakePlugin(PluginHost& host) { return std::make_unique<EditorTestPlugin>(host); }

}  // namespace velmora
