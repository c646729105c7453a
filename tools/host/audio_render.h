// Runs a WAV file through the effect block by block with one of the three
// audio callbacks, advancing the host's transport position by each block's
// length while the transport runs. [host main thread, acting as audio thread]
#pragma once

#include <string>

#include "framework/vst2_interface.h"
#include "tools/host/wav_file.h"

enum class ProcessCallback { Replacing, DoubleReplacing, Accumulating };

bool ParseProcessCallback(const std::string& name, ProcessCallback& callback);

// Output has the effect's output count of channels and the input's length.
// Input channels feed the effect's inputs in order, repeating when the file
// has fewer channels than the effect (a mono file feeds both inputs).
bool RenderThroughEffect(vst2::AEffect* effect, const WavAudio& input, ProcessCallback callback,
                         WavAudio& output, std::string& error);
