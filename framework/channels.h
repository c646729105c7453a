// Channel records of IPlugBase: the legal input/output configurations and the
// per-channel audio routing with its double scratch buffer.
#pragma once

#include <cstdint>
#include <vector>

struct ChannelIOPair {
  int32_t inputs;
  int32_t outputs;
};

struct InputChannel {
  bool connected = false;
  double** slot = nullptr;      // this channel's entry in the input pointer array
  std::vector<double> scratch;  // converted host samples; zeros when disconnected
};

struct OutputChannel {
  bool connected = false;
  double** slot = nullptr;       // this channel's entry in the output pointer array
  float* destination = nullptr;  // host array of the current block
  std::vector<double> scratch;
};
