// The params extension of IPluginClap. Ids are the parameter indices and
// values are real values: a host sees the same numbers the state stores.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/plugin/HostText.h"
#include "framework/plugin/clap/ClapExtensions.h"
#include "framework/plugin/clap/IPluginClap.h"

namespace velmora {

namespace {

// What a parameter whose default lies below its range (a drop-down with
// nothing chosen yet) shows for that default.
constexpr const char* kNothingChosen = "none";
// Text a host types for a parameter; far longer than any value text.
constexpr size_t kMaxTypedText = 255;

double RangeLow(const Param& param) { return std::min(param.Min(), param.Default()); }
double RangeHigh(const Param& param) { return std::max(param.Max(), param.Default()); }

uint32_t Flags(const Param& param) {
  const uint32_t automatable = param.IsAutomatable() ? CLAP_PARAM_IS_AUTOMATABLE : 0;
  switch (param.Kind()) {
    case ParamKind::kNone:
      return CLAP_PARAM_IS_HIDDEN;
    case ParamKind::kBool:
    case ParamKind::kEnum:
      return CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM | automatable;
    case ParamKind::kInt:
      return CLAP_PARAM_IS_STEPPED | automatable;
    default:
      return automatable;
  }
}

// A drop-down's host value below its range: "nothing chosen".
bool MeansNothingChosen(const Param& param, double value) {
  return value < param.Min() && param.Default() < param.Min();
}

}  // namespace

struct ClapParamEntries {
  static uint32_t CLAP_ABI Count(const clap_plugin_t* plugin) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    return self ? static_cast<uint32_t>(self->Plugin().NParams()) : 0;
  }

  static bool CLAP_ABI GetInfo(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    return self && info && self->ParamInfo(index, info);
  }

  static bool CLAP_ABI GetValue(const clap_plugin_t* plugin, clap_id id, double* value) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    if (!self || !value) return false;
    auto lock = self->Plugin().Lock();
    const Param* param = self->Plugin().GetParam(static_cast<int>(std::min<clap_id>(id, INT32_MAX)));
    if (!param) return false;
    *value = param->Value();
    return true;
  }

  static bool CLAP_ABI ValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* buffer,
                                   uint32_t capacity) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && buffer && capacity > 0 && self->ParamText(id, value, buffer, capacity);
    } catch (...) {
      return false;
    }
  }

  static bool CLAP_ABI TextToValue(const clap_plugin_t* plugin, clap_id id, const char* text, double* value) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      return self && text && value && self->ParamFromText(id, text, value);
    } catch (...) {
      return false;
    }
  }

  static void CLAP_ABI Flush(const clap_plugin_t* plugin, const clap_input_events_t* in,
                             const clap_output_events_t* out) {
    IPluginClap* self = IPluginClap::FromPlugin(plugin);
    try {
      if (self) self->Flush(in, out);
    } catch (...) {
    }
  }
};

const clap_plugin_params_t kClapParams = {ClapParamEntries::Count,       ClapParamEntries::GetInfo,
                                          ClapParamEntries::GetValue,    ClapParamEntries::ValueToText,
                                          ClapParamEntries::TextToValue, ClapParamEntries::Flush};

bool IPluginClap::ParamInfo(uint32_t index, clap_param_info_t* info) const {
  auto lock = mPlugin->Lock();
  const Param* param = mPlugin->GetParam(static_cast<int>(std::min<uint32_t>(index, INT32_MAX)));
  if (!param) return false;
  *info = clap_param_info_t{};
  info->id = index;
  info->flags = Flags(*param);
  CopyToHost(info->name, param->Name(), sizeof info->name);
  CopyToHost(info->module, param->Category(), sizeof info->module);
  info->min_value = RangeLow(*param);
  info->max_value = RangeHigh(*param);
  info->default_value = param->Default();
  return true;
}

// The texts the VST 2.4 adapter shows for the same value.
bool IPluginClap::ParamText(clap_id id, double value, char* buffer, uint32_t capacity) const {
  auto lock = mPlugin->Lock();
  const Param* param = mPlugin->GetParam(static_cast<int>(std::min<clap_id>(id, INT32_MAX)));
  if (!param || !std::isfinite(value)) return false;
  if (value < param->Min() && param->Default() < param->Min()) {
    CopyToHost(buffer, kNothingChosen, capacity);
  } else {
    CopyToHost(buffer, param->FormatValue(param->Clamp(value), false, true).c_str(), capacity);
  }
  return true;
}

bool IPluginClap::ParamFromText(clap_id id, const char* text, double* value) const {
  auto lock = mPlugin->Lock();
  const Param* param = mPlugin->GetParam(static_cast<int>(std::min<clap_id>(id, INT32_MAX)));
  if (!param) return false;
  const std::string typed = ReadHostText(text, kMaxTypedText);
  if (typed == kNothingChosen && param->Default() < param->Min()) {
    *value = param->Default();
    return true;
  }
  double parsed = 0.0;
  if (!param->ValueFromText(typed.c_str(), &parsed) || !std::isfinite(parsed)) return false;
  *value = param->Clamp(parsed);
  return true;
}

// [audio or main, lock held] A value from the host, as the VST 2.4 adapter
// applies a normalised one; below the range it goes to the minimum, or to
// "nothing chosen" for a drop-down. When the plug-in does not keep the value
// (an action springs back to 0), the host is told what it reads now.
void IPluginClap::ApplyHostValue(clap_id id, double value) {
  const int index = static_cast<int>(std::min<clap_id>(id, INT32_MAX));
  Param* param = mPlugin->GetParam(index);
  if (!param || !std::isfinite(value)) return;
  if (MeansNothingChosen(*param, value)) {
    param->SetToDefault();
  } else {
    param->SetClamped(value);
  }
  const double kept = param->Value();
  if (mPlugin->Editor()) mPlugin->Editor()->SetParamFromPlugin(index, kept, false);
  mPlugin->OnParamChanged(index);
  if (param->Value() != kept) mEdits.Push({ParamEditQueue::Kind::kValue, index, param->Value()});
  mHostChangedValues.store(true, std::memory_order_release);
  mValuesChangedInBlock = true;
}

void IPluginClap::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  std::unique_lock<PluginLock> lock;
  if (IsProcessing()) {
    // The audio thread's flush never waits: the values go with the next block.
    lock = mPlugin->TryLockForBlock();
    if (!lock.owns_lock()) {
      KeepEvents(in);
      return;
    }
  } else {
    lock = mPlugin->Lock();
  }
  PlayKeptEvents();
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) {
    const clap_event_header_t* event = in->get(in, i);
    if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID) continue;
    if (event->type == CLAP_EVENT_PARAM_VALUE && event->size >= sizeof(clap_event_param_value_t)) {
      const auto& value = *reinterpret_cast<const clap_event_param_value_t*>(event);
      ApplyHostValue(value.param_id, value.value);
    }
  }
  mLastOutTime = 0;
  PushEdits(out);
  // Values changed here may rename the trigger keys: look on the main thread.
  if (count > 0 && mHost && mHost->request_callback) mHost->request_callback(mHost);
}

}  // namespace velmora
