// Parameter block and chunk header of IPluginBase.
#include "framework/plugin/IPluginBase.h"

namespace velmora {

void IPluginBase::NotifyAllParams() {
  auto lock = Lock();
  for (int i = 0; i < NParams(); ++i) OnParamChanged(i);
}

bool IPluginBase::SerializeParams(ChunkBuffer& chunk) {
  auto lock = Lock();
  for (const Param& param : mParams) {
    if (chunk.PutDouble(param.Value()) < 0) return false;
  }
  return chunk.Size() > 0;
}

int IPluginBase::UnserializeParams(const ChunkBuffer& chunk, int position) {
  auto lock = Lock();
  for (size_t i = 0; i < mParams.size() && position >= 0; ++i) {
    double v = 0.0;
    position = chunk.GetDouble(&v, position);
    // The clamp sends NaN to the minimum and infinities to the range ends.
    mParams[i].SetClamped(v);
  }
  NotifyAllParams();
  return position;
}

bool IPluginBase::SaveProgramChunk(ChunkBuffer& chunk) {
  auto lock = Lock();
  AddChunkHeader(chunk);
  return SaveState(chunk) && chunk.Size() > 0;
}

bool IPluginBase::LoadProgramChunk(const ChunkBuffer& chunk) {
  auto lock = Lock();
  int position = 0;
  ReadChunkHeader(chunk, &position);
  const int result = LoadState(chunk, position);
  ModifyCurrentPreset();
  if (result < 0) return false;
  PushParamsToEditor();
  return true;
}

void IPluginBase::AddChunkHeader(ChunkBuffer& chunk) {
  chunk.Clear();
  chunk.PutInt32(kChunkMagic);
  chunk.PutInt32(FrameworkVersion);
}

int32_t IPluginBase::ReadChunkHeader(const ChunkBuffer& chunk, int* position) {
  if (!position) return 0;
  int32_t magic = 0;
  int next = chunk.GetInt32(&magic, *position);
  if (next < 0 || magic != kChunkMagic) return 0;
  int32_t version = 0;
  *position = chunk.GetInt32(&version, next);
  return *position < 0 ? 0 : version;
}

}  // namespace velmora
