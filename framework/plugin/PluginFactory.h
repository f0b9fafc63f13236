#pragma once

#include <functional>
#include <memory>

#include "framework/plugin/IPluginBase.h"
#include "framework/plugin/PluginHost.h"

namespace velmora {

// Makes one plug-in instance for an adapter, which owns it and outlives it.
using PluginFactory = std::function<std::unique_ptr<IPluginBase>(PluginHost& host)>;

// The plug-in this module is: defined once by the plug-in itself (the core),
// and called by every format's entry point.
std::unique_ptr<IPluginBase> MakePlugin(PluginHost& host);

}  // namespace velmora
