// EditorTestPlugin.dll: the test editor in the platform's window, behind
// the same entry points and adapter as Velmora.dll; its pictures are "PNG"
// resources of the DLL.
#include "TestEditor.h"
#include "framework/graphics/IGraphics.h"
#include "framework/graphics/PlatformGraphics.h"
#include "framework/plugin/vst2/IPluginVST.h"
#include "framework/plugin/vst2/VstEntry.h"
#include "tests/TestDescriptor.h"

namespace velmora {
namespace {

class EditorTestPlugin : public IPluginVST {
 public:
  explicit EditorTestPlugin(audioMasterCallback host)
      : IPluginVST(host, Descriptor()) {
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

IPluginVST* CreatePlugin(audioMasterCallback hostCallback) { return new EditorTestPlugin(hostCallback); }

}  // namespace velmora
