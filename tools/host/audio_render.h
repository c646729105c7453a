// Runs a WAV file through the effect block by block with one of the three
// audio callbacks, advancing the host's transport position by each block's
// length while the transport runs. [host main thread, acting as audio thread]
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/vst2_interface.h"
#include "tools/host/wav_file.h"

// A parameter change that takes effect at sample `offset` of the next render.
struct TimedParamChange {
  int32_t index;
  int64_t offset;
  double value;  // normalised
};

enum class ProcessCallback { Replacing, DoubleReplacing, Accumulating };

bool ParseProcessCallback(const std::string& name, ProcessCallback& callback);

// Output has the effect's output count of channels and the input's length.
// Input channels feed the effect's inputs in order, repeating when the file
// has fewer channels than the effect (a mono file feeds both inputs).
// Each change goes in through setParameter just before its sample: a block
// holding change points is handed over in pieces split at them.
bool RenderThroughEffect(vst2::AEffect* effect, const WavAudio& input, ProcessCallback callback,
                         const std::vector<TimedParamChange>& changes, WavAudio& output,
                         std::string& error);
