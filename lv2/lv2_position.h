// Reading a time:Position object from the host's event port: the fields
// the transport needs, each with whether the object carried it (a host may
// send only what changed).
#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>

#include "lv2/lv2_urids.h"

// Atoms inside objects and sequences start on 8-byte boundaries.
inline uint32_t Lv2PaddedSize(uint32_t size) { return (size + 7u) & ~7u; }

struct Lv2PositionFields {
  bool hasFrame = false;
  double frame = 0.0;  // the transport's position in frames
  bool hasSpeed = false;
  double speed = 0.0;  // 0 stopped, 1 playing
  bool hasTempo = false;
  double tempo = 0.0;  // beats per minute
  bool hasBeatsPerBar = false;
  double beatsPerBar = 0.0;
  bool hasBeatUnit = false;
  double beatUnit = 0.0;
};

// The fields of `atom` when it is a time:Position object of `size` bytes in
// all (header included), read within those bytes; false for anything else,
// and for an object whose properties run past its end.
// [audio thread]
bool ReadLv2Position(const LV2_Atom* atom, const Lv2Urids& ids, Lv2PositionFields* fields);
