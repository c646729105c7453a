// MIDI records exchanged between the framework and the effect.
#pragma once

#include <cstdint>

struct MidiMessage {
  int32_t offset;  // frames into the current block
  uint8_t status;
  uint8_t data1;
  uint8_t data2;
};

struct SysExMessage {
  int32_t offset;  // frames into the current block
  int32_t size;    // bytes
  const uint8_t* data;
};
