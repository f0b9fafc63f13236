// TestInstrument.so: the test instrument as a loadable module, built with
// the same entry points as the real plug-in.
#include "TestInstrument.h"

#include "framework/plugin/vst2/VstEntry.h"

namespace velmora {

std::unique_ptr<IPluginBase> MakePlugin(PluginHost& host) { return std::make_unique<test::TestInstrument>(host); }

}  // namespace velmora
