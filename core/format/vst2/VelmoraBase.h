#pragma once

#include "framework/plugin/vst2/IPluginVST.h"

namespace velmora {

// The class Velmora derives from in the VST 2.4 module: the plug-in base as a
// VST 2.4 effect. Every host operation the core uses (SendMidi, ReadHostTime,
// HostTempo, SampleRate) is a virtual of the plug-in base, so the adapter
// changes nothing else in the core; the CLAP module builds the same core on
// its own adapter (../clap). Its construction takes the host callback first.
using VelmoraBase = IPluginVST;

}  // namespace velmora
