// Preset slots of IPluginBase and the preset bank layout.
#include <cstdio>
#include <cstring>

#include "framework/plugin/IPluginBase.h"

namespace velmora {

namespace {

void SetPresetName(PresetSlot& slot, const std::string& name) {
  slot.name.assign(name, 0, IPluginBase::kMaxPresetNameLength);
}

}  // namespace

const PresetSlot* IPluginBase::GetPreset(int index) const {
  if (index < 0 || index >= NPresets()) return nullptr;
  return &mPresets[static_cast<size_t>(index)];
}

void IPluginBase::FillEmptyPresets(int count) {
  auto lock = Lock();
  for (int n = 0; n < count; ++n) {
    PresetSlot* empty = nullptr;
    for (PresetSlot& slot : mPresets) {
      if (!slot.initialized) {
        empty = &slot;
        break;
      }
    }
    if (!empty) return;
    empty->initialized = true;
    empty->name = "Empty";
    empty->chunk.Clear();
    SaveState(empty->chunk);
  }
}

bool IPluginBase::LoadPreset(int index) {
  auto lock = Lock();
  if (index < 0 || index >= NPresets()) return false;
  PresetSlot& slot = mPresets[static_cast<size_t>(index)];
  bool ok;
  if (slot.initialized) {
    ok = LoadState(slot.chunk, 0) > 0;
  } else {
    slot.initialized = true;
    int userPresets = 0;
    for (const PresetSlot& other : mPresets) {
      if (other.name.find("user preset") != std::string::npos) ++userPresets;
    }
    char name[64];
    std::snprintf(name, sizeof(name), "%s %d", "user preset", userPresets + 1);
    slot.name = name;
    slot.chunk.Clear();
    ok = SaveState(slot.chunk);
  }
  if (ok) {
    mCurrentPresetIndex = index;
    OnPresetsChanged();
    PushParamsToEditor();
  }
  return ok;
}

const char* IPluginBase::PresetName(int index) const {
  const PresetSlot* slot = GetPreset(index);
  return slot ? slot->name.c_str() : "";
}

void IPluginBase::ModifyCurrentPreset(const char* name) {
  auto lock = Lock();
  if (mCurrentPresetIndex < 0 || mCurrentPresetIndex >= NPresets()) return;
  PresetSlot& slot = mPresets[static_cast<size_t>(mCurrentPresetIndex)];
  slot.chunk.Clear();
  SaveState(slot.chunk);
  if (name && *name) SetPresetName(slot, std::string(name, strnlen(name, kMaxPresetNameLength)));
}

bool IPluginBase::SerializePresets(ChunkBuffer& chunk) {
  auto lock = Lock();
  for (const PresetSlot& slot : mPresets) {
    if (chunk.PutText(slot.name) < 0 || chunk.PutBool(slot.initialized) < 0) return false;
    if (!slot.initialized) continue;
    if (chunk.PutBytes(slot.chunk.Data(), slot.chunk.Size()) < 0) return false;
    if (chunk.Size() == 0) return false;
  }
  return true;
}

int IPluginBase::UnserializePresets(const ChunkBuffer& chunk, int position) {
  auto lock = Lock();
  // One name shared by all slots: a slot stored with an empty name takes the
  // previous slot's name.
  std::string name;
  for (size_t i = 0; i < mPresets.size() && position >= 0; ++i) {
    position = UnserializePreset(mPresets[i], name, chunk, position);
  }
  LoadPreset(mCurrentPresetIndex);
  return position;
}

int IPluginBase::UnserializePreset(PresetSlot& slot, std::string& name, const ChunkBuffer& chunk,
                                   int position) {
  int next = chunk.GetText(&name, position);
  // A name that is damaged or runs past the end stops the bank before the
  // slot is touched.
  if (next < 0 || next > chunk.Size()) return -1;
  SetPresetName(slot, name);
  next = chunk.GetBool(&slot.initialized, next);
  if (next < 0 || !slot.initialized) return next;
  int after = LoadState(chunk, next);
  if (after > 0) {
    slot.chunk.Clear();
    SaveState(slot.chunk);
  }
  // Positions only move forward; anything else is a damaged state.
  return after < next ? -1 : after;
}

}  // namespace velmora
