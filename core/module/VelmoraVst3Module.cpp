// Velmora.vst3: the plug-in as a VST 3 module, a processor and a controller
// over the one plug-in the core makes.
#include "framework/plugin/vst3/Vst3Module.h"

namespace velmora {

const Vst3ModuleInfo& Vst3Module() {
  // Hosts keep the class ids, the parameter ids (the indices of
  // core/Parameters.h, and the bypass id here) and the bundle name (also
  // given to velmora_add_vst3_module in CMakeLists.txt) in their projects,
  // presets and automation: once shipped they never change.
  static const Vst3ModuleInfo kInfo = {
      "Velmora",
      "LumarexLLC",
      "https://www.lumarex.com/velmora",  // the editor's "Go to Website"
      "",
      "1.4.0",
      // As the VST 2.4 build calls itself a synth: hosts put it on a MIDI
      // or instrument track and route what it plays onward.
      "Instrument",
      vst3::MakeUid(0xC2E5A89B, 0x52DF4842, 0xAB1064EC, 0x46BB7F8C),
      vst3::MakeUid(0x9CCE5893, 0xB3FB45CC, 0xA3AAC33D, 0x3DDB3D40),
      0x56420000,  // "VB": far from any index the plug-in's own parameters will take
      MakePlugin,
  };
  return kInfo;
}

}  // namespace velmora
