// BypassCrossfade: a glue's bypass switch. The effect keeps running while
// bypassed; its output fades to the dry input over kFadeSeconds and back,
// so switching never clicks. The dry input of a slice is kept before the
// effect renders in place over it. [audio thread, lock held, unless tagged]
#pragma once

#include <cstdint>
#include <vector>

class EffectInstance;

class BypassCrossfade {
 public:
  static constexpr double kFadeSeconds = 0.005;

  // Room for the dry input of slices up to `frames`; allocates and may
  // throw, so it is made before the lock is taken. [host main thread]
  struct DryBuffers {
    std::vector<double> channels[2];
  };
  static DryBuffers MakeDry(int32_t frames);
  // Takes the buffers `fresh` holds, leaving the old ones in it.
  void TakeDry(DryBuffers& fresh);

  // One slice of `instance` rendered from `inputs` into `outputs` (frames
  // offset .. offset + frames - 1), faded towards the dry input while
  // `bypassed` or still fading back.
  void Render(EffectInstance& instance, float** inputs, float** outputs, int32_t offset,
              int32_t frames, bool bypassed, double sampleRate);
  void Render(EffectInstance& instance, double** inputs, double** outputs, int32_t offset,
              int32_t frames, bool bypassed, double sampleRate);

  // Whether the slice needs the crossfade: bypassed, or still fading back.
  bool Fading(bool bypassed) const { return bypassed || mix_ > 0.0; }
  // Copies channels 0 and 1 of frames offset .. offset + frames - 1.
  template <typename Sample>
  void KeepDry(Sample* const* inputs, int32_t offset, int32_t frames);
  // Mixes the kept input into the rendered output, moving one fade step a
  // sample towards `bypassed`.
  template <typename Sample>
  void Apply(Sample* const* outputs, int32_t offset, int32_t frames, bool bypassed,
             double sampleRate);

 private:
  std::vector<double> dry_[2];
  double mix_ = 0.0;  // 0 the effect's output, 1 the dry input
};
