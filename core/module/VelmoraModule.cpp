// Velmora.so: the plug-in as a loadable VST 2.4 module. The exported entry
// points (VSTPluginMain, main) call CreateEffect with this factory.
#include "core/Velmora.h"
#include "framework/plugin/vst2/VstEntry.h"

namespace velmora {

IPluginVST* CreatePlugin(audioMasterCallback hostCallback) {
  return new Velmora(hostCallback);
}

}  // namespace velmora
