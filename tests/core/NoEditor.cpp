// The core's tests build the plug-in without its editor: the parameters are
// defined as the editor's build defines them, and the export folder is the
// platform's. So the core links and runs without the graphics libraries.
#include "core/PluginEditor.h"
#include "framework/plugin/AppDataFolder.h"

namespace velmora {
namespace {

class NoEditor : public PluginEditor {
 public:
  void Disconnect() override {}
  std::string UserDataFolder() const override { return ApplicationDataFolder(); }
};

}  // namespace

std::unique_ptr<PluginEditor> MakePluginEditor(Velmora& /*plugin*/, const std::function<void()>& defineParameters) {
  defineParameters();
  return std::make_unique<NoEditor>();
}

}  // namespace velmora
