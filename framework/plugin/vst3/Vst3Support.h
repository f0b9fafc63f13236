#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/plugin/vst3/Vst3Abi.h"

namespace velmora {

// Whether the 16 bytes a host passes are this id; a null pointer is no id.
bool SameUid(const char* id, const vst3::Uid& uid);
void CopyUid(const vst3::Uid& uid, char* destination);
// The 32 hex digits hosts print for an id: the words as written, the same
// on every platform.
std::string UidText(const vst3::Uid& uid);

// Hands out pointer as the interface asked for, counted, when iid names it.
template <typename Interface>
bool Offer(Interface* pointer, const char* iid, void** obj) {
  if (!SameUid(iid, Interface::kIid)) return false;
  *obj = pointer;
  pointer->addRef();
  return true;
}

// An object's reference count: one for its creator to begin with; hosts
// count from any thread.
class Vst3RefCount {
 public:
  uint32_t Add() { return mCount.fetch_add(1, std::memory_order_relaxed) + 1; }
  uint32_t Drop() { return mCount.fetch_sub(1, std::memory_order_acq_rel) - 1; }
  // Adds one unless the count already reached zero (the object is going).
  bool AddUnlessGone();

 private:
  std::atomic<uint32_t> mCount{1};
};

// UTF-8 into a host's UTF-16 buffer of capacity units, cut and terminated.
void CopyToUtf16(vst3::char16* destination, const char* text, size_t capacity);
// A host's UTF-16 text as UTF-8, never more than maxUnits units read.
std::string FromUtf16(const vst3::char16* text, size_t maxUnits);

// Whole streams through a host's IBStream, which may move fewer bytes per
// call than asked. Reading stops at the end of the stream; false on a
// failing stream, or past limit bytes.
bool ReadWholeStream(vst3::IBStream* stream, std::vector<uint8_t>& bytes, int64_t limit);
bool WriteWholeStream(vst3::IBStream* stream, const uint8_t* data, size_t size);

}  // namespace velmora
