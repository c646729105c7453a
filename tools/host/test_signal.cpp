#include "tools/host/test_signal.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr double kTwoPi = 6.283185307179586;

// A minor chord over two octaves (A2 E3 A3 C4 E4), the right channel detuned
// a little so the stereo image moves; 80 ms fades keep the ends click-free.
constexpr double kPadFrequencies[] = {110.0, 164.81, 220.0, 261.63, 329.63};
constexpr double kPadDetune = 1.003;
constexpr double kFadeSeconds = 0.08;

double PadSample(double t, int channel, double level) {
  const double detune = channel % 2 == 1 ? kPadDetune : 1.0;
  double sum = 0.0;
  for (double f : kPadFrequencies) {
    // Each voice: fundamental plus a softer octave, a warm saw-like colour.
    const double phase = kTwoPi * f * detune * t;
    sum += std::sin(phase) + 0.3 * std::sin(2.0 * phase + 0.5);
  }
  const double voices = sizeof kPadFrequencies / sizeof kPadFrequencies[0];
  return level * sum / (voices * 1.3);
}

// xorshift32: deterministic white noise in [-1, 1).
struct NoiseSource {
  uint32_t state = 0x9E3779B9u;
  double Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 2147483648.0 - 1.0;
  }
};

}  // namespace

bool GenerateTestSignal(const TestSignalSettings& settings, WavAudio& audio, std::string& error) {
  if (settings.kind != "pad" && settings.kind != "sine" && settings.kind != "dc" && settings.kind != "noise") {
    error = "unknown signal kind '" + settings.kind + "' (pad, sine, dc, noise)";
    return false;
  }
  if (!(settings.seconds > 0.0 && settings.seconds <= 3600.0) || settings.sampleRate < 1000 ||
      settings.sampleRate > 768000 || settings.channels < 1 || settings.channels > kWavMaxChannels) {
    error = "signal length, rate or channel count out of range";
    return false;
  }
  const size_t frames = static_cast<size_t>(std::lround(settings.seconds * settings.sampleRate));
  audio.sampleRate = settings.sampleRate;
  audio.channels.assign(static_cast<size_t>(settings.channels), std::vector<float>(frames));
  NoiseSource noise;
  const double fadeFrames = kFadeSeconds * settings.sampleRate;
  for (size_t f = 0; f < frames; ++f) {
    const double t = static_cast<double>(f) / settings.sampleRate;
    for (int c = 0; c < settings.channels; ++c) {
      double x = 0.0;
      if (settings.kind == "pad") {
        const double edge = std::fmin(static_cast<double>(f), static_cast<double>(frames - 1 - f));
        x = PadSample(t, c, settings.level) * std::fmin(1.0, edge / fadeFrames);
      } else if (settings.kind == "sine") {
        x = settings.level * std::sin(kTwoPi * settings.frequency * t);
      } else if (settings.kind == "dc") {
        x = settings.level;
      } else {
        x = settings.level * noise.Next();
      }
      audio.channels[static_cast<size_t>(c)][f] = static_cast<float>(x);
    }
  }
  return true;
}
