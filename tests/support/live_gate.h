// The real effect opened the way a host opens it, with a scripted transport
// that moves with every block, for tests that push audio through
// processReplacing and compare whole renders.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/gate_plug.h"
#include "support/fake_host.h"

struct StereoSignal {
  std::vector<float> left, right;
};

class LiveGate {
 public:
  explicit LiveGate(double sampleRate = 44100.0, double tempo = 120.0, int32_t blockSize = 512);

  vst2::AEffect* effect() const { return host.effect(); }
  VSTCLASS* gate() const { return static_cast<VSTCLASS*>(host.plug()); }
  void Set(int index, float normalized) { effect()->setParameter(effect(), index, normalized); }
  void SetProgram(int program) { host.Dispatch(vst2::effSetProgram, 0, program); }

  // Runs the signal through processReplacing in blocks of `block` frames
  // (0 frames: one empty call before each block), the host position
  // advancing with the frames played.
  StereoSignal Run(const StereoSignal& input, int32_t block);
  // One block: frames [offset, offset + frames) of `input` into the same
  // frames of `output`.
  void RunBlock(const StereoSignal& input, int32_t offset, int32_t frames, StereoSignal& output);

  FakeHost host;
  int64_t position = 0;  // the host's sample position at the next block
  bool emptyCallsBetweenBlocks = false;
};

// A test signal: a 441 Hz sine at 0.8 on the left, the same inverted and
// halved on the right, so that a channel mix-up shows.
StereoSignal SineSignal(int frames);
