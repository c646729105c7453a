// What follows the parameter chunk in a VST 3 component state: the selected
// program and the bypass, which the VST 2 chunk leaves to the host. Tagged
// and versioned, so the VST 2 build can tell it from foreign bytes and skip
// it, and a later version can append fields. Little-endian, 20 bytes:
//
//   offset 0   4 bytes  tag, the ASCII letters "QRVX"
//   offset 4   int32    extension version, 1
//   offset 8   int32    payload bytes that follow, 8 in version 1
//   offset 12  int32    selected program, 0 .. programs - 1
//   offset 16  int32    bypass, 0 off or 1 on
//
// A later version keeps these fields first and says how many bytes it adds
// in the payload size; a reader takes the fields it knows.
#pragma once

#include <cstdint>

#include "framework/state_buffer.h"

struct StateExtension {
  int32_t program = 0;
  bool bypassed = false;
};

constexpr int32_t kStateExtensionVersion = 1;
constexpr int32_t kStateExtensionHeaderBytes = 12;
constexpr int32_t kStateExtensionPayloadBytes = 8;
constexpr int32_t kStateExtensionBytes = kStateExtensionHeaderBytes + kStateExtensionPayloadBytes;

enum class ExtensionRead {
  kComplete,   // a whole extension of ours, its values in the record
  kTruncated,  // the start of one of ours, cut short: nothing to take from it
  kForeign,    // bytes that are not an extension of ours
};

// [any thread; the caller owns the buffer]
bool AppendStateExtension(StateBuffer& buffer, const StateExtension& extension);

// Reads the bytes from `position` to the buffer's end as an extension; a
// program outside 0 .. programCount - 1, a bypass other than 0 or 1 or bytes
// past the declared payload make it foreign. `extension` is written only
// for kComplete. [any thread]
ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t programCount,
                                 StateExtension* extension);
