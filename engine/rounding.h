// Half-away-from-zero rounding in the precision the gate's arithmetic uses:
// add 0.5 (subtract for negatives) and truncate toward zero. The float form
// adds in single precision, so large values round exactly as the float sum does.
#pragma once

#include <cstdint>

inline int64_t RoundHalfAway(double x) {
  return x >= 0.0 ? static_cast<int64_t>(x + 0.5) : static_cast<int64_t>(x - 0.5);
}

inline int64_t RoundHalfAway(float x) {
  return x >= 0.0f ? static_cast<int64_t>(x + 0.5f) : static_cast<int64_t>(x - 0.5f);
}
