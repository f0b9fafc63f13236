// X11TestPlugin.so: the test editor in a VST 2.4 module whose editor is the
// X11 window, as the real plug-in's will be.
#include "TestEditor.h"
#include "framework/graphics/PlatformGraphics.h"
#include "framework/plugin/vst2/IPluginVST.h"
#include "framework/plugin/vst2/VstEntry.h"

namespace velmora {

namespace {

class X11TestPlugin : public IPluginVST {
 public:
  explicit X11TestPlugin(audioMasterCallback host)
      : IPluginVST(host, test::kNParams, "0-2", 1, "X11TestPlugin", "Velmora Tests", "LumarexLLC", 0x00010400,
                   0x56583131, 0, false, true, false) {
    test::DefineTestParams(*this);
    std::unique_ptr<IGraphics> editor = MakePlatformGraphics(this, test::kEditorWidth, test::kEditorHeight, 25);
    test::BuildTestEditor(*editor, this);
    AttachEditor(std::move(editor));
  }
};

}  // namespace

IPluginVST* CreatePlugin(audioMasterCallback hostCallback) { return new X11TestPlugin(hostCallback); }

}  // namespace velmora
