#include "framework/plugin/vst3/Vst3Params.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/plugin/vst3/Vst3Support.h"

namespace velmora::vst3_params {

namespace {

constexpr const char* kNothingChosen = "none";
// A parameter that only binds controls still needs a title for hosts.
constexpr const char* kReservedTitle = "Reserved ";

bool Stepped(const Param& param) { return param.Kind() != ParamKind::kDouble; }

}  // namespace

double Low(const Param& param) { return std::min(param.Min(), param.Default()); }
double High(const Param& param) { return std::max(param.Max(), param.Default()); }

vst3::int32 StepCount(const Param& param) {
  if (!Stepped(param)) return 0;
  return std::max(1, static_cast<vst3::int32>(std::lround(High(param) - Low(param))));
}

double ToPlain(const Param& param, double normalized) {
  if (!std::isfinite(normalized)) normalized = 0.0;
  normalized = std::clamp(normalized, 0.0, 1.0);
  const vst3::int32 steps = StepCount(param);
  if (steps == 0) return Low(param) + normalized * (High(param) - Low(param));
  const double step = std::min<double>(steps, std::floor(normalized * (steps + 1)));
  return Low(param) + step;
}

double ToNormalized(const Param& param, double plain) {
  const double span = High(param) - Low(param);
  if (!std::isfinite(plain) || !(span > 0.0)) return 0.0;
  return std::clamp((plain - Low(param)) / span, 0.0, 1.0);
}

bool MeansNothingChosen(const Param& param, double plain) {
  return plain < param.Min() && param.Default() < param.Min();
}

std::string Text(const Param& param, double plain) {
  if (MeansNothingChosen(param, plain)) return kNothingChosen;
  return param.FormatValue(param.Clamp(plain), false, true);
}

bool FromText(const Param& param, const std::string& text, double* plain) {
  if (text == kNothingChosen && param.Default() < param.Min()) {
    *plain = param.Default();
    return true;
  }
  double parsed = 0.0;
  if (!param.ValueFromText(text.c_str(), &parsed) || !std::isfinite(parsed)) return false;
  *plain = param.Clamp(parsed);
  return true;
}

std::vector<std::string> Groups(const std::vector<const Param*>& params) {
  std::vector<std::string> groups;
  for (const Param* param : params) {
    const std::string group = param ? param->Category() : "";
    if (!group.empty() && std::find(groups.begin(), groups.end(), group) == groups.end()) groups.push_back(group);
  }
  return groups;
}

void Describe(const Param& param, vst3::ParamID id, vst3::UnitID unit, vst3::ParameterInfo& info) {
  std::memset(&info, 0, sizeof info);
  info.id = id;
  info.unitId = unit;
  info.stepCount = StepCount(param);
  info.defaultNormalizedValue = ToNormalized(param, param.Default());
  if (param.Kind() == ParamKind::kNone) {
    // It only binds controls: nothing a host may show or change.
    CopyToUtf16(info.title, (kReservedTitle + std::to_string(id)).c_str(), 128);
    info.flags = vst3::ParameterInfo::kIsHidden | vst3::ParameterInfo::kIsReadOnly;
    return;
  }
  CopyToUtf16(info.title, param.Name(), 128);
  CopyToUtf16(info.shortTitle, *param.ShortLabel() ? param.ShortLabel() : param.Name(), 128);
  CopyToUtf16(info.units, param.UnitLabel(), 128);
  if (param.IsAutomatable()) info.flags |= vst3::ParameterInfo::kCanAutomate;
  // A drop-down with "none", or any parameter with value texts, is a list.
  if (param.Kind() == ParamKind::kEnum || (param.Kind() == ParamKind::kInt && param.Default() < param.Min()))
    info.flags |= vst3::ParameterInfo::kIsList;
}

void DescribeBypass(vst3::ParamID id, vst3::ParameterInfo& info) {
  std::memset(&info, 0, sizeof info);
  info.id = id;
  info.unitId = vst3::kRootUnitId;
  info.stepCount = 1;
  info.defaultNormalizedValue = 0.0;
  info.flags = vst3::ParameterInfo::kIsBypass | vst3::ParameterInfo::kCanAutomate;
  CopyToUtf16(info.title, "Bypass", 128);
  CopyToUtf16(info.shortTitle, "Bypass", 128);
}

}  // namespace velmora::vst3_params
