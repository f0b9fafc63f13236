#pragma once

#include <functional>
#include <memory>
#include <string>

namespace velmora {

class Velmora;

// The editor of one plug-in instance as the core sees it. The plug-in's
// constructor builds it through MakePluginEditor, which the editor library
// defines (as MakePlatformGraphics is defined by each platform's library),
// so the core includes no editor header and links without the graphics.
//
// Threads: built and disconnected on the thread that constructs and
// destroys the plug-in.
class PluginEditor {
 public:
  virtual ~PluginEditor() = default;
  // Lets go of the plug-in; called before any plug-in member it reaches goes.
  virtual void Disconnect() = 0;
  // The current user's application-data folder as the editor's platform
  // answers it.
  virtual std::string UserDataFolder() const = 0;
};

// Builds the editor, attached to plugin. defineParameters runs inside the
// build, after the background and before the first button.
std::unique_ptr<PluginEditor> MakePluginEditor(Velmora& plugin, const std::function<void()>& defineParameters);

}  // namespace velmora
