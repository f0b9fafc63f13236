// effGetChunk and effSetChunk: one program (index other than 0) or the
// whole bank (index 0), each in its own buffer so that the address handed
// to the host stays valid until the next request of the same kind.
#include <cstring>
#include <limits>
#include <new>

#include "framework/plugin/vst2/IPluginVST.h"

namespace velmora {

intptr_t IPluginVST::GetChunk(bool bank, void* ptr) {
  if (!ptr) return 0;
  ChunkBuffer& buffer = bank ? mBankChunk : mProgramChunk;
  bool ok;
  if (bank) {
    mPlugin->AddChunkHeader(buffer);
    // The current slot must hold the live state before the bank is written.
    mPlugin->ModifyCurrentPreset();
    ok = mPlugin->SerializePresets(buffer);
  } else {
    ok = mPlugin->SaveProgramChunk(buffer);
  }
  if (!ok || buffer.Size() == 0) return 0;
  *static_cast<void**>(ptr) = buffer.Data();
  return buffer.Size();
}

intptr_t IPluginVST::SetChunk(bool bank, intptr_t size, const void* data) {
  // No bytes cannot be a state: refuse before anything is touched.
  if (!data || size <= 0 || size > std::numeric_limits<int32_t>::max()) return 0;
  // Copied into a fresh buffer first: the host may hand back the very
  // address effGetChunk gave it, which a resize in place would move.
  ChunkBuffer incoming;
  try {
    incoming.Resize(static_cast<int>(size));
  } catch (const std::bad_alloc&) {
    return 0;
  }
  std::memcpy(incoming.Data(), data, static_cast<size_t>(size));
  ChunkBuffer& buffer = bank ? mBankChunk : mProgramChunk;
  buffer = std::move(incoming);

  int position = 0;
  int32_t version = mPlugin->ReadChunkHeader(buffer, &position);
  // A program, or a bank without our header: one program state.
  if (!bank || version < FrameworkVersion) return mPlugin->LoadProgramChunk(buffer) ? 1 : 0;
  // The bank ends by reloading the current slot: it must hold the live
  // state, so that a bank damaged before that slot loses nothing.
  mPlugin->ModifyCurrentPreset();
  if (mPlugin->UnserializePresets(buffer, position) < 0) return 0;
  mPlugin->PushParamsToEditor();
  return 1;
}

}  // namespace velmora
