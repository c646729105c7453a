#include "lv2/ttl_ports.h"

#include <cmath>
#include <cstring>
#include <set>

#include "instance/effect_instance.h"
#include "lv2/lv2_ports.h"
#include "lv2/ttl_text.h"

namespace {

// The units term for a unit text that maps cleanly; none otherwise.
std::string UnitTerm(const char* units) {
  if (std::strcmp(units, "%") == 0) return "pc";
  if (std::strcmp(units, "Hz") == 0) return "hz";
  if (std::strcmp(units, "ms") == 0) return "ms";
  return "";
}

}  // namespace

std::vector<TtlParamPort> ReadParamPorts(EffectInstance& instance) {
  std::vector<TtlParamPort> ports;
  std::set<std::string> taken = {"in_l", "in_r", "out_l", "out_r", "control"};
  const int32_t count = instance.ParamCount();
  for (int32_t i = 0; i < count; ++i) {
    ParamInfoRecord info = {};
    if (!instance.ParamInfo(i, &info)) continue;
    TtlParamPort port;
    port.index = kLv2FirstParamPort + static_cast<uint32_t>(i);
    // A title whose symbol is taken gets a numbered one.
    std::string symbol = PortSymbolOfTitle(info.title);
    for (int n = 2; taken.count(symbol); ++n)
      symbol = PortSymbolOfTitle(info.title) + "_" + std::to_string(n);
    taken.insert(symbol);
    port.symbol = symbol;
    port.name = info.title;
    port.minimum = instance.ParamPlain(i, 0.0);
    port.maximum = instance.ParamPlain(i, 1.0);
    port.defaultValue = instance.ParamPlain(i, instance.ParamNormalized(i));
    port.integer = info.stepCount > 0 || info.isList;
    port.enumeration = info.isList;
    port.toggled = info.isList && port.minimum == 0.0 && port.maximum == 1.0;
    port.unit = UnitTerm(info.units);
    if (info.isList) {
      for (double v = std::ceil(port.minimum); v <= port.maximum; v += 1.0) {
        char label[ParamInfoRecord::kTextSize];
        instance.ParamText(i, instance.ParamNormalizedOfPlain(i, v), label, sizeof label);
        port.scalePoints.push_back({v, label});
      }
    }
    ports.push_back(port);
  }
  return ports;
}

std::vector<double> ReadPortValues(EffectInstance& instance) {
  std::vector<double> values;
  const int32_t count = instance.ParamCount();
  for (int32_t i = 0; i < count; ++i)
    values.push_back(instance.ParamPlain(i, instance.ParamNormalized(i)));
  return values;
}
