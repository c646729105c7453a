// One interface face of a multi-interface object: the table of functions a
// host sees through the interface pointer, and the object behind it. A host
// holds the address of a face; every function receives it as `self`.
#pragma once

#include <cstring>

#include "vst3/vst3_api.h"

template <class Owner>
struct ComFace {
  const void* vtable;
  Owner* owner;
};

template <class Owner>
Owner* FaceOwner(void* self) {
  return static_cast<ComFace<Owner>*>(self)->owner;
}

inline bool SameId(const v3_tuid a, const v3_tuid b) {
  return std::memcmp(a, b, sizeof(v3_tuid)) == 0;
}
