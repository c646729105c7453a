// What effGetParameterProperties tells a host about one parameter, derived
// from the parameter object alone.
#pragma once

#include "framework/plug_param.h"
#include "framework/vst2_interface.h"

// Fills `properties` (every byte written) for `param`:
// - two-state parameters: a switch with step 1;
// - enumerated and linear integer parameters: step 1 and a large step of a
//   tenth of the range (at least 1), in the parameter's units (integer
//   fields, with its min and max) and in positions (float fields); the
//   integer-range flag stays clear, so hosts keep sending positions 0..1;
// - curved integer and real parameters: float steps of 1/100 (small 1/1000,
//   large 1/10) of the travel, and free to ramp.
// The label is the whole name, the short label its first 7 characters.
void FillParameterProperties(const IPlugParam& param, vst2::VstParameterProperties* properties);
