// The bypass crossfade's arithmetic: a linear ramp per sample, exactly the
// dry input once the ramp reaches 1. [audio thread, lock held]
#include "instance/bypass_crossfade.h"

#include <algorithm>
#include <cmath>

#include "instance/effect_instance.h"

namespace {

void RenderInPlace(EffectInstance& instance, float** in, float** out, int32_t offset,
                   int32_t frames) {
  instance.ProcessFloat(in, out, offset, frames);
}

void RenderInPlace(EffectInstance& instance, double** in, double** out, int32_t offset,
                   int32_t frames) {
  instance.ProcessDouble(in, out, offset, frames);
}

template <typename Sample>
void RenderFaded(BypassCrossfade& fade, EffectInstance& instance, Sample** inputs, Sample** outputs,
                 int32_t offset, int32_t frames, bool bypassed, double sampleRate) {
  const bool fading = fade.Fading(bypassed);
  // Kept first: the effect may render in place over its input.
  if (fading) fade.KeepDry(inputs, offset, frames);
  RenderInPlace(instance, inputs, outputs, offset, frames);
  if (fading) fade.Apply(outputs, offset, frames, bypassed, sampleRate);
}

}  // namespace

void BypassCrossfade::Render(EffectInstance& instance, float** inputs, float** outputs,
                             int32_t offset, int32_t frames, bool bypassed, double sampleRate) {
  RenderFaded(*this, instance, inputs, outputs, offset, frames, bypassed, sampleRate);
}

void BypassCrossfade::Render(EffectInstance& instance, double** inputs, double** outputs,
                             int32_t offset, int32_t frames, bool bypassed, double sampleRate) {
  RenderFaded(*this, instance, inputs, outputs, offset, frames, bypassed, sampleRate);
}

BypassCrossfade::DryBuffers BypassCrossfade::MakeDry(int32_t frames) {
  DryBuffers buffers;
  for (std::vector<double>& channel : buffers.channels) {
    channel.assign(static_cast<size_t>(frames), 0.0);
  }
  return buffers;
}

void BypassCrossfade::TakeDry(DryBuffers& fresh) {
  for (int c = 0; c < 2; ++c) dry_[c].swap(fresh.channels[c]);
}

template <typename Sample>
void BypassCrossfade::KeepDry(Sample* const* inputs, int32_t offset, int32_t frames) {
  for (int c = 0; c < 2; ++c) {
    double* dry = dry_[c].data();
    for (int32_t j = 0; j < frames; ++j) dry[j] = inputs[c][offset + j];
  }
}

template <typename Sample>
void BypassCrossfade::Apply(Sample* const* outputs, int32_t offset, int32_t frames, bool bypassed,
                            double sampleRate) {
  const double fadeSamples = std::max(1.0, std::round(sampleRate * kFadeSeconds));
  const double stepPerSample = (bypassed ? 1.0 : -1.0) / fadeSamples;
  const double startMix = mix_;
  double mix = startMix;
  for (int c = 0; c < 2; ++c) {
    const double* dry = dry_[c].data();
    mix = startMix;
    for (int32_t j = 0; j < frames; ++j) {
      mix = std::min(1.0, std::max(0.0, mix + stepPerSample));
      // out = wet + (dry - wet) * mix, and exactly dry once mix reaches 1
      Sample& sample = outputs[c][offset + j];
      const double wet = sample;
      sample = static_cast<Sample>(mix >= 1.0 ? dry[j] : wet + (dry[j] - wet) * mix);
    }
  }
  mix_ = mix;
}

template void BypassCrossfade::KeepDry<float>(float* const*, int32_t, int32_t);
template void BypassCrossfade::KeepDry<double>(double* const*, int32_t, int32_t);
template void BypassCrossfade::Apply<float>(float* const*, int32_t, int32_t, bool, double);
template void BypassCrossfade::Apply<double>(double* const*, int32_t, int32_t, bool, double);
