#include "tools/host/lv2_position.h"

#include <cmath>

#include "tools/host/host_services.h"

Lv2Position PositionOf(const HostServices& host) {
  Lv2Position position{};
  position.frame = static_cast<int64_t>(host.samplePosition);
  position.speed = host.Advancing() ? 1.0f : 0.0f;
  position.beatsPerMinute = static_cast<float>(host.tempo);
  position.beatUnit = host.timeSigDenominator;
  position.beatsPerBar = static_cast<float>(host.timeSigNumerator);
  // Quarter notes as the other formats count them, then the signature's beats.
  const double quarters = host.samplePosition / host.sampleRate * host.tempo / 60.0;
  const double beats = quarters * host.timeSigDenominator / 4.0;
  const double bar = std::floor(beats / host.timeSigNumerator);
  position.bar = static_cast<int64_t>(bar);
  position.barBeat = static_cast<float>(beats - bar * host.timeSigNumerator);
  return position;
}
