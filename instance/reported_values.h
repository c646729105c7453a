// ReportedValues: the value of each host parameter as the host last heard
// it, so a glue reports what the instance changed by itself (the packed
// words after an editor step edit, values a note-on's program switch
// brought) and nothing the host set or already knows. [lock held]
#pragma once

#include <cstdint>

#include "engine/gate_params.h"
#include "instance/effect_instance.h"

class ReportedValues {
 public:
  static constexpr int kCount = kHostVisibleParams;

  // The host knows this value now.
  void Remember(int32_t index, double normalized) {
    if (index >= 0 && index < kCount) values_[index] = normalized;
  }
  // Every current value the host knows.
  void RememberAll(EffectInstance& instance) {
    for (int i = 0; i < kCount; ++i) values_[i] = instance.ParamNormalized(i);
  }
  // Calls report(index, normalized) for each parameter whose value differs
  // from the one the host heard; one that reports true is remembered.
  template <typename Report>
  void Scan(EffectInstance& instance, Report&& report) {
    for (int i = 0; i < kCount; ++i) {
      const double now = instance.ParamNormalized(i);
      if (now == values_[i]) continue;
      if (report(i, now)) values_[i] = now;
    }
  }

 private:
  double values_[kCount] = {};
};
