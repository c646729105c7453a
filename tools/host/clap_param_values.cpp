#include "tools/host/clap_param_values.h"

#include <algorithm>
#include <cmath>

double ClapPlainOfNormalized(const clap_param_info_t& info, double normalized) {
  const double position = std::min(1.0, std::max(0.0, normalized));
  const double plain = info.min_value + position * (info.max_value - info.min_value);
  if (!(info.flags & CLAP_PARAM_IS_STEPPED)) return plain;
  return std::min(info.max_value, std::max(info.min_value, std::floor(plain + 0.5)));
}

double ClapNormalizedOfPlain(const clap_param_info_t& info, double plain) {
  const double range = info.max_value - info.min_value;
  if (!(range > 0.0)) return 0.0;
  return std::min(1.0, std::max(0.0, (plain - info.min_value) / range));
}
