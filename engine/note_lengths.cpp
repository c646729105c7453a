#include "engine/note_lengths.h"

#include <cmath>

#include "engine/rounding.h"

namespace {
constexpr double kThird = 0.3333333333333333;
constexpr float kOneOver110 = 1.0f / 110.0f;  // 0.0090909088f, the shortest envelope
}  // namespace

float NoteLengthForRate(int16_t rate, float base) {
  const int q = rate / 3;
  const int m = rate - 3 * q;
  double length;
  if (m == 0) {
    length = std::pow(2.0, rate * kThird) * base;
  } else if (m == 1) {
    length = std::pow(2.0, (rate + 2) * kThird) * base * 0.6666666666666666;
  } else {
    length = std::pow(2.0, (rate - 2) * kThird) * base * 1.5;
  }
  return static_cast<float>(length);
}

uint32_t SamplesPerStepFor(int rate, double samplesPerWholeNote) {
  const double length = NoteLengthForRate(static_cast<int16_t>(rate), 1.0f / 128.0f);
  const double samples = length * samplesPerWholeNote;
  // A host reporting an absurdly slow tempo must not overflow the conversion:
  // the step length stops at the largest signed 32-bit count.
  if (!(samples < 2147483647.0)) return 2147483647u;
  return static_cast<uint32_t>(static_cast<int32_t>(RoundHalfAway(samples)));
}

double EnvelopeSlopeFor(uint32_t samplesPerStep, int32_t percent) {
  const float s = static_cast<float>(samplesPerStep);
  const float a = s * kOneOver110;
  const float length = (2.0f * s - a) * static_cast<float>(percent) * 0.005f + a;
  return 1.0 / static_cast<double>(length);
}

int32_t FadeLengthFor(uint32_t samplesPerStep, int32_t percent) {
  const float s = static_cast<float>(samplesPerStep);
  const float a = s * kOneOver110;
  const float length = (s - a) * static_cast<float>(percent) * 0.01f + a;
  // The longest steps make a float of 2^31, one past the signed range.
  if (!(length < 2147483648.0f)) return 2147483647;
  return static_cast<int32_t>(RoundHalfAway(length));
}
