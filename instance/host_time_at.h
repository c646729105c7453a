// What a host says of its transport for a block, and the HostTime the
// instance sees at a slice of it. [audio thread]
#pragma once

#include <cstdint>

#include "instance/instance_host.h"

struct TransportFacts {
  int64_t blockPosition = 0;  // project time of the block's first sample, in samples
  bool playing = false;
  bool recording = false;
  bool tempoValid = false;
  double tempo = 0.0;
  bool signatureValid = false;
  int32_t numerator = 0;
  int32_t denominator = 0;
};

// The transport at `offset` samples into the block. A host may roll through
// a pre-roll at negative project time, where a VST 2 host reports its
// transport still stopped: the transport starts, and the step clock aligns,
// when the position reaches zero.
HostTime HostTimeAt(const TransportFacts& facts, int32_t offset);
