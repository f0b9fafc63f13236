#pragma once

#include <string>
#include <vector>

#include "framework/plugin/Param.h"
#include "framework/plugin/vst3/Vst3Abi.h"

namespace velmora {

// How the plug-in's parameters look to a VST 3 host. Ids are the parameter
// indices; the bypass id of the module comes after them. A normalised value
// is a step over the parameter's whole range, which for a drop-down begins
// at its "none" below the range: the same values and texts CLAP hosts see,
// spread over 0..1.
namespace vst3_params {

// The lowest and highest real value a host can reach.
double Low(const Param& param);
double High(const Param& param);
// 0 for a continuous parameter, else the number of steps.
vst3::int32 StepCount(const Param& param);
double ToPlain(const Param& param, double normalized);
double ToNormalized(const Param& param, double plain);
// A drop-down's real value below its range: "nothing chosen".
bool MeansNothingChosen(const Param& param, double plain);
// The text the other formats show for a real value ("none" for nothing
// chosen), and back; false for a text that names no value.
std::string Text(const Param& param, double plain);
bool FromText(const Param& param, const std::string& text, double* plain);

// The groups, in the order their first parameter comes: unit i + 1 is
// groups[i]; a parameter without one is in the root unit.
std::vector<std::string> Groups(const std::vector<const Param*>& params);
void Describe(const Param& param, vst3::ParamID id, vst3::UnitID unit, vst3::ParameterInfo& info);
void DescribeBypass(vst3::ParamID id, vst3::ParameterInfo& info);

}  // namespace vst3_params

}  // namespace velmora
