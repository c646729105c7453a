// BlockBuffers: two channels of one block's input and output in both sample
// sizes, for the sessions that hand a plug-in arrays of their own rather
// than the file's. [host main thread]
#pragma once

#include <cstddef>
#include <vector>

#include "tools/host/wav_file.h"

struct BlockBuffers {
  explicit BlockBuffers(size_t frames) {
    for (int c = 0; c < 2; ++c) {
      in32[c].resize(frames);
      out32[c].resize(frames);
      in64[c].resize(frames);
      out64[c].resize(frames);
      inPointers32[c] = in32[c].data();
      outPointers32[c] = out32[c].data();
      inPointers64[c] = in64[c].data();
      outPointers64[c] = out64[c].data();
    }
  }
  BlockBuffers(const BlockBuffers&) = delete;
  BlockBuffers& operator=(const BlockBuffers&) = delete;

  // Frames start .. start + count - 1 of `input`, in both sizes; a file with
  // fewer channels repeats them (a mono file feeds both inputs).
  void Fill(const WavAudio& input, size_t start, size_t count) {
    for (size_t c = 0; c < 2; ++c) {
      const std::vector<float>& source = input.channels[c % input.channels.size()];
      for (size_t f = 0; f < count; ++f) {
        in32[c][f] = source[start + f];
        in64[c][f] = source[start + f];
      }
    }
  }

  // The block's output of the size rendered (`wide`: 64-bit) into
  // `output` from frame `start`.
  void Drain(WavAudio& output, size_t start, size_t count, bool wide) const {
    for (size_t c = 0; c < 2; ++c) {
      for (size_t f = 0; f < count; ++f) {
        output.channels[c][start + f] = wide ? static_cast<float>(out64[c][f]) : out32[c][f];
      }
    }
  }

  std::vector<float> in32[2], out32[2];
  std::vector<double> in64[2], out64[2];
  float* inPointers32[2];
  float* outPointers32[2];
  double* inPointers64[2];
  double* outPointers64[2];
};
