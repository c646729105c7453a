// What follows the parameter chunk: the selected program, the bypass (which
// the VST 2 chunk alone leaves to the host) and the values of the saved
// parameters past the chunk's. Tagged and versioned, so a reader can tell it
// from foreign bytes, and a later version can append fields. Little-endian,
// 24 + 8 * N bytes in version 2:
//
//   offset 0   4 bytes   tag, the ASCII letters "QRVX"
//   offset 4   int32     extension version, 2
//   offset 8   int32     payload bytes that follow, 12 + 8 * N in version 2
//   offset 12  int32     selected program, 0 .. programs - 1
//   offset 16  int32     bypass, 0 off or 1 on
//   offset 20  int32     N, the count of values that follow
//   offset 24  N doubles the values of the parameters after the chunk's, in
//                        order, own units like the chunk's
//
// Version 1 ends after the bypass (payload 8, no N). A later version keeps
// these fields first and says how many bytes it adds in the payload size; a
// reader takes the fields it knows and skips the rest.
#pragma once

#include <cstdint>

#include "framework/state_buffer.h"

struct StateExtension {
  // More values than any effect saves past its chunk; a reader keeps the
  // first ones of a longer list.
  static constexpr int32_t kMaxValues = 32;

  int32_t program = 0;
  bool bypassed = false;
  int32_t valueCount = 0;  // values[0 .. valueCount - 1] are written or were read
  double values[kMaxValues] = {};
};

constexpr int32_t kStateExtensionVersion = 2;
constexpr int32_t kStateExtensionHeaderBytes = 12;
// The payload before the values: program, bypass and N.
constexpr int32_t kStateExtensionPayloadBytes = 12;
constexpr int32_t kStateExtensionFixedBytes =
    kStateExtensionHeaderBytes + kStateExtensionPayloadBytes;

constexpr int32_t StateExtensionBytes(int32_t valueCount) {
  return kStateExtensionFixedBytes + 8 * valueCount;
}

enum class ExtensionRead {
  kComplete,   // a whole extension of ours, its values in the record
  kTruncated,  // the start of one of ours, cut short: nothing to take from it
  kForeign,    // bytes that are not an extension of ours
};

// Writes `extension` in the current version with its first valueCount
// values (held to 0 .. kMaxValues). [any thread; the caller owns the buffer;
// allocates nothing when the buffer has room]
bool AppendStateExtension(StateBuffer& buffer, const StateExtension& extension);

// Reads the bytes from `position` to `end` as one extension; a program
// outside 0 .. programCount - 1, a bypass other than 0 or 1, a payload
// shorter than its version's fields, an N below 0 or beyond the payload, or
// bytes past the declared payload make it foreign; an end before the
// declared payload makes it truncated. `extension` is written only for
// kComplete. [any thread]
ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t end,
                                 int32_t programCount, StateExtension* extension);
// The same up to the buffer's end.
ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t programCount,
                                 StateExtension* extension);

// Where an extension starting at `position` declares its end (position, the
// header and its payload), or -1 when no whole header of ours is there; lets
// a reader find the extension inside a longer image. [any thread]
int32_t StateExtensionEnd(const StateBuffer& buffer, int32_t position);
