#pragma once

#include <cstdint>

#include "framework/plugin/vst3/Vst3Abi.h"

namespace velmora {

class Vst3Processor;

// The processor and the controller of one instance talk through the host
// only: parameters, and messages over IConnectionPoint. On connect the
// processor says where it lives (its process, this module's copy, its
// address); a controller in the same process and module then shows the
// editor of the plug-in that plays, so that auditions, grid edits and takes
// happen where they sound. The address is only ever looked up among the
// live processors of this module, never followed blindly.
//
// Threads: [UI] everything, as IConnectionPoint is.

// Messages between the two.
constexpr const char* kVst3LinkMessage = "velmora.processor";
constexpr const char* kVst3LinkAttribute = "where";
// A controller whose editor edits its own copy hands the result over.
constexpr const char* kVst3StateMessage = "velmora.state";
constexpr const char* kVst3StateAttribute = "chunk";
// The bypass the controller's saved state held, for the processor.
constexpr const char* kVst3BypassMessage = "velmora.bypass";
constexpr const char* kVst3BypassAttribute = "on";

// What the controller learns from the processor's parameter gestures and
// lifetime, when the editor is the processor's.
class Vst3EditSink {
 public:
  virtual ~Vst3EditSink() = default;
  // [UI, under the plug-in lock] A gesture of the editor on parameter index;
  // plain is the value the plug-in holds now.
  virtual void BeginEdit(int index) = 0;
  virtual void PerformEdit(int index, double plain) = 0;
  virtual void EndEdit(int index) = 0;
  // [UI] The editor asks for a new size (a new scale): the host is asked
  // to make room, and the editor told when it did.
  virtual void EditorResized(int width, int height) = 0;
  // [UI] The processor's plug-in is about to go (terminate, destruction).
  virtual void PluginGoing() = 0;
};

struct Vst3LinkPayload {
  uint32_t magic = 0;
  uint32_t size = 0;
  uint64_t processId = 0;
  uint64_t moduleToken = 0;
  uint64_t address = 0;
};

Vst3LinkPayload MakeLinkPayload(const Vst3Processor* processor);
// The live processor a payload names, with one reference for the caller;
// null when it is of another process or module, or gone.
Vst3Processor* FindLinkedProcessor(const void* data, uint32_t size);
void RegisterProcessor(Vst3Processor* processor);
void UnregisterProcessor(Vst3Processor* processor);

// The platform's process id.
uint64_t CurrentProcessId();

// One message to a peer, made by the host; false when the host makes none.
bool SendVst3Message(vst3::IHostApplication* host, vst3::IConnectionPoint* peer, const char* id,
                     const char* attribute, const void* data, uint32_t size);
// The binary attribute of a message, when it is the message named id.
bool ReadVst3Message(vst3::IMessage* message, const char* id, const char* attribute, const void** data,
                     uint32_t* size);

}  // namespace velmora
