// X11TestPlugin.so: the test editor in a VST 2.4 module whose editor is the
// X11 window, as the real plug-in's will be.
#include "TestEditor.h"
#include "framework/graphics/PlatformGraphics.h"
#include "framework/plugin/PluginFactory.h"
#include "tests/TestDescriptor.h"

namespace velmora {

namespace {

class X11TestPlugin : public IPluginBase {
 public:
  explicit X11TestPlugin(PluginHost& host) : IPluginBase(host, Descriptor()) {
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

std::unique_ptr<IPluginBase> MakePlugin(PluginHost& host) { return std::make_unique<X11TestPlugin>(host); }

}  // namespace velmora
