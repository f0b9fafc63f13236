// TestInstrument.so: the test instrument as a loadable module, built with
// the same entry points as the real plug-in.
#include "TestInstrument.h"

#include "framework/plugin/vst2/VstEntry.h"

namespace velmora {

IPluginVST* CreatePlugin(audioMasterCallback hostCallback) {
  return new test::TestInstrument(hostCallback);
}

}  // namespace velmora
