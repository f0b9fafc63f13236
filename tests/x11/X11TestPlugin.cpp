// X11TestPlugin.so: the test editor in a VST 2.4 module whose editor is the
// X11 window, as the real plug-in's will be.
#include "TestEditor.h"
#include "framework/graphics/PlatformGraphics.h"
#include "framework/plugin/vst2/IPluginVST.h"
#include "framework/plugin/vst2/VstEntry.h"
#include "tests/TestDescriptor.h"

namespace velmora {

namespace {

class X11TestPlugin : public IPluginVST {
 public:
  explicit X11TestPlugin(audioMasterCallback host)
      : IPluginVST(host, Descriptor()) {
    test::DefineTestParams(*this);
    std::unique_ptr<IGraphics> editor = MakePlatformGraphics(this, test::kEditorWidth, test::kEditorHeight, 25);
    test::BuildTestEditor(*editor, this);
    AttachEditor(std::move(editor));
  }

 private:
  static PluginDescriptor Descriptor() {
    PluginDescriptor d = test::WithoutChunksOrMidi(
        test::TestDescriptor(test::kNParams, "0-2", 1, "X11TestPlugin", 0x56583131));
    d.productName = "Velmora Tests";
    return d;
  }
};

}  // namespace

IPluginVST* CreatePlugin(audioMasterCallback hostCallback) { return new X11TestPlugin(hostCallback); }

}  // namespace velmora
