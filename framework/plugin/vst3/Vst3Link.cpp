#include "framework/plugin/vst3/Vst3Link.h"

#include <cstring>
#include <mutex>
#include <set>

#include "framework/plugin/vst3/Vst3Processor.h"
#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora {

namespace {

constexpr uint32_t kLinkMagic = 0x56334C4B;  // "V3LK"

// Made on first use, so that they exist whatever order the statics start in.
std::mutex& RegistryLock() {
  static std::mutex lock;
  return lock;
}
std::set<const Vst3Processor*>& Live() {
  static std::set<const Vst3Processor*> live;
  return live;
}

// Stands for this copy of the module: another copy loaded beside it has
// classes of the same names but not these.
uint64_t ModuleToken() {
  static const char kToken = 0;
  return static_cast<uint64_t>(reinterpret_cast<uintptr_t>(&kToken));
}

}  // namespace

Vst3LinkPayload MakeLinkPayload(const Vst3Processor* processor) {
  Vst3LinkPayload payload;
  payload.magic = kLinkMagic;
  payload.size = sizeof payload;
  payload.processId = CurrentProcessId();
  payload.moduleToken = ModuleToken();
  payload.address = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(processor));
  return payload;
}

Vst3Processor* FindLinkedProcessor(const void* data, uint32_t size) {
  Vst3LinkPayload payload;
  if (!data || size != sizeof payload) return nullptr;
  std::memcpy(&payload, data, sizeof payload);
  if (payload.magic != kLinkMagic || payload.size != sizeof payload || payload.processId != CurrentProcessId() ||
      payload.moduleToken != ModuleToken())
    return nullptr;
  std::lock_guard<std::mutex> guard(RegistryLock());
  for (const Vst3Processor* live : Live()) {
    if (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(live)) != payload.address) continue;
    auto* processor = const_cast<Vst3Processor*>(live);
    return processor->AddRefUnlessGone() ? processor : nullptr;
  }
  return nullptr;
}

void RegisterProcessor(Vst3Processor* processor) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  Live().insert(processor);
}

void UnregisterProcessor(Vst3Processor* processor) {
  std::lock_guard<std::mutex> guard(RegistryLock());
  Live().erase(processor);
}

bool SendVst3Message(vst3::IHostApplication* host, vst3::IConnectionPoint* peer, const char* id,
                     const char* attribute, const void* data, uint32_t size) {
  if (!host || !peer) return false;
  vst3::Uid messageId = vst3::IMessage::kIid;
  void* made = nullptr;
  if (host->createInstance(messageId.bytes, messageId.bytes, &made) != vst3::kResultOk || !made) return false;
  auto* message = static_cast<vst3::IMessage*>(made);
  message->setMessageID(id);
  vst3::IAttributeList* attributes = message->getAttributes();
  const bool sent = attributes && attributes->setBinary(attribute, data, size) == vst3::kResultOk &&
                    peer->notify(message) == vst3::kResultOk;
  message->release();
  return sent;
}

bool ReadVst3Message(vst3::IMessage* message, const char* id, const char* attribute, const void** data,
                     uint32_t* size) {
  if (!message) return false;
  const char* messageId = message->getMessageID();
  if (!messageId || std::strcmp(messageId, id) != 0) return false;
  vst3::IAttributeList* attributes = message->getAttributes();
  vst3::uint32 bytes = 0;
  const void* found = nullptr;
  if (!attributes || attributes->getBinary(attribute, found, bytes) != vst3::kResultOk) return false;
  *data = found;
  *size = bytes;
  return true;
}

}  // namespace velmora
