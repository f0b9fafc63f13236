// Velmora.clap: the plug-in as a loadable CLAP module. The exported
// clap_entry's factory makes instances of the core (MakePlugin) with this
// descriptor.
#include "framework/plugin/clap/ClapEntry.h"

namespace velmora {

namespace {

constexpr const char* kFeatures[] = {"note-effect", "utility", nullptr};

}  // namespace

const clap_plugin_descriptor_t& ClapDescriptor() {
  static const clap_plugin_descriptor_t kDescriptor = {
      CLAP_VERSION_INIT,
      "com.lumarex.velmora",
      "Velmora",
      "LumarexLLC",
      "https://www.lumarex.com/velmora",  // the editor's "Go to Website"
      "",
      "",
      "1.4.0",
      "Explore the chords of a scale, arrange them in a grid and play them as MIDI.",
      kFeatures};
  return kDescriptor;
}

}  // namespace velmora
