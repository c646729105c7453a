#include "framework/vst_param_properties.h"

#include <cmath>
#include <cstring>

#include "framework/text_copy.h"

using namespace vst2;

namespace {

constexpr float kFloatStep = 0.01f;
constexpr float kSmallFloatStep = 0.001f;
constexpr float kLargeFloatStep = 0.1f;
constexpr double kLargeStepDivisor = 10.0;

int32_t ToInt32(double value) {
  if (!(value > static_cast<double>(INT32_MIN))) return INT32_MIN;
  if (value >= static_cast<double>(INT32_MAX)) return INT32_MAX;
  return static_cast<int32_t>(std::lround(value));
}

}  // namespace

void FillParameterProperties(const IPlugParam& param, VstParameterProperties* properties) {
  if (!properties) return;
  VstParameterProperties& p = *properties;
  memset(&p, 0, sizeof p);
  CopyTextBounded(p.label, param.Name(), sizeof p.label);
  CopyTextBounded(p.shortLabel, param.Name(), sizeof p.shortLabel);

  const ParamKind kind = param.Kind();
  const bool linearInteger =
      kind == kParamEnum || (kind == kParamInt && param.CurveExponent() == 1.0);
  if (param.IsTwoState() || linearInteger) {
    // No integer-range flag: hosts that honour it take minInteger..maxInteger
    // as the range of the values they send to setParameter, which always
    // takes a position 0..1. The step is given as a float in positions; the
    // integer fields say the same in the parameter's own units.
    p.flags = kVstParameterUsesFloatStep | kVstParameterUsesIntStep;
    if (param.IsTwoState()) p.flags |= kVstParameterIsSwitch;
    p.minInteger = ToInt32(param.Min());
    p.maxInteger = ToInt32(param.Max());
    p.stepInteger = ToInt32(param.Step());
    const int32_t large = ToInt32(std::floor(param.StepCount() / kLargeStepDivisor) * param.Step());
    p.largeStepInteger = large > p.stepInteger ? large : p.stepInteger;
    const double span = param.Max() - param.Min();
    p.stepFloat = p.smallStepFloat = static_cast<float>(param.Step() / span);
    p.largeStepFloat = static_cast<float>(p.largeStepInteger / span);
  } else {
    p.flags = kVstParameterUsesFloatStep | kVstParameterCanRamp;
    p.stepFloat = kFloatStep;
    p.smallStepFloat = kSmallFloatStep;
    p.largeStepFloat = kLargeFloatStep;
  }
}
