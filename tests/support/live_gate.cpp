#include "support/live_gate.h"

#include <algorithm>
#include <cmath>

using namespace vst2;

LiveGate::LiveGate(double sampleRate, double tempo, int32_t blockSize) {
  host.recordCalls = false;
  host.giveTimeInfo = true;
  host.timeInfo.sampleRate = sampleRate;
  host.timeInfo.tempo = tempo;
  host.timeInfo.flags = kVstTransportPlaying | kVstTempoValid | kVstPpqPosValid;
  host.Dispatch(effOpen);
  host.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(sampleRate));
  host.Dispatch(effSetBlockSize, 0, blockSize);
  host.Dispatch(effMainsChanged, 0, 1);
}

StereoSignal LiveGate::Run(const StereoSignal& input, int32_t block) {
  const int32_t total = static_cast<int32_t>(input.left.size());
  StereoSignal output{std::vector<float>(input.left.size(), -99.0f),
                      std::vector<float>(input.right.size(), -99.0f)};
  for (int32_t offset = 0; offset < total; offset += block) {
    RunBlock(input, offset, std::min(block, total - offset), output);
  }
  return output;
}

void LiveGate::RunBlock(const StereoSignal& input, int32_t offset, int32_t frames,
                        StereoSignal& output) {
  // The callback takes non-const arrays; the effect only reads its inputs.
  float* in[2] = {const_cast<float*>(input.left.data()) + offset,
                  const_cast<float*>(input.right.data()) + offset};
  float* out[2] = {output.left.data() + offset, output.right.data() + offset};
  host.timeInfo.samplePos = static_cast<double>(position);
  if (emptyCallsBetweenBlocks) effect()->processReplacing(effect(), in, out, 0);
  effect()->processReplacing(effect(), in, out, frames);
  position += frames;
}

StereoSignal SineSignal(int frames) {
  StereoSignal signal{std::vector<float>(static_cast<size_t>(frames)),
                      std::vector<float>(static_cast<size_t>(frames))};
  for (int i = 0; i < frames; ++i) {
    const float value =
        0.8f * static_cast<float>(std::sin(6.283185307179586 * 441.0 * i / 44100.0));
    signal.left[static_cast<size_t>(i)] = value;
    signal.right[static_cast<size_t>(i)] = -0.5f * value;
  }
  return signal;
}
