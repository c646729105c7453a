// What the bundle's description says of each host parameter's control port,
// read from an instance: the one table the plug-in description and the
// presets are both written from. [build tool]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class EffectInstance;

struct TtlScalePoint {
  double value;
  std::string label;
};

struct TtlParamPort {
  uint32_t index;      // the port's index
  std::string symbol;  // unique among the ports
  std::string name;
  double minimum;
  double maximum;
  double defaultValue;  // the instance's value as read
  bool integer;
  bool enumeration;
  bool toggled;
  std::string unit;  // a units: term ("pc", "hz", "ms"), empty for none
  std::vector<TtlScalePoint> scalePoints;
};

// One record per parameter, with the instance's current values as defaults.
std::vector<TtlParamPort> ReadParamPorts(EffectInstance& instance);
// Each parameter's current value in its own units, in port order.
std::vector<double> ReadPortValues(EffectInstance& instance);
