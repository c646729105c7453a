#include "framework/state_extension.h"

#include <cstring>

namespace {
constexpr uint8_t kTag[4] = {'Q', 'R', 'V', 'X'};
// Version 1 ends after the bypass; version 2 adds the value count.
constexpr int32_t kVersion1PayloadBytes = 8;

// An int32 at `position` when its four bytes lie before `end`; else -1.
int32_t ReadInt32Before(const StateBuffer& buffer, int32_t position, int32_t end, int32_t* value) {
  if (position < 0 || position > end - 4) return -1;
  return buffer.ReadInt32(position, value);
}
}  // namespace

bool AppendStateExtension(StateBuffer& buffer, const StateExtension& extension) {
  int32_t count = extension.valueCount;
  if (count < 0) count = 0;
  if (count > StateExtension::kMaxValues) count = StateExtension::kMaxValues;
  bool ok = buffer.AppendBytes(kTag, 4);
  ok = buffer.AppendInt32(kStateExtensionVersion) && ok;
  ok = buffer.AppendInt32(kStateExtensionPayloadBytes + 8 * count) && ok;
  ok = buffer.AppendInt32(extension.program) && ok;
  ok = buffer.AppendInt32(extension.bypassed ? 1 : 0) && ok;
  ok = buffer.AppendInt32(count) && ok;
  for (int32_t i = 0; i < count; ++i) ok = buffer.AppendDouble(extension.values[i]) && ok;
  return ok;
}

ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t end,
                                 int32_t programCount, StateExtension* extension) {
  if (position < 0 || end > buffer.Size() || position >= end) return ExtensionRead::kForeign;
  const int32_t available = end - position;
  // The tag decides whose bytes these are, even when only part of it is there.
  const int32_t tagBytes = available < 4 ? available : 4;
  if (std::memcmp(buffer.Data() + position, kTag, static_cast<size_t>(tagBytes)) != 0) {
    return ExtensionRead::kForeign;
  }
  int32_t version = 0, payload = 0;
  int32_t at = ReadInt32Before(buffer, position + 4, end, &version);
  if (at >= 0) at = ReadInt32Before(buffer, at, end, &payload);
  if (at >= 0) {
    const int32_t fields = version >= 2 ? kStateExtensionPayloadBytes : kVersion1PayloadBytes;
    if (version < 1 || payload < fields) return ExtensionRead::kForeign;
  }
  if (at < 0 || payload > end - at) return ExtensionRead::kTruncated;
  if (payload != end - at) return ExtensionRead::kForeign;  // bytes past its end
  int32_t program = 0, bypass = 0, count = 0;
  at = ReadInt32Before(buffer, at, end, &program);
  at = ReadInt32Before(buffer, at, end, &bypass);
  if (version >= 2) {
    at = ReadInt32Before(buffer, at, end, &count);
    const int64_t valueBytes = int64_t{8} * count;
    if (count < 0 || valueBytes > payload - kStateExtensionPayloadBytes) {
      return ExtensionRead::kForeign;
    }
  }
  if (program < 0 || program >= programCount || (bypass != 0 && bypass != 1)) {
    return ExtensionRead::kForeign;
  }
  if (!extension) return ExtensionRead::kComplete;
  extension->program = program;
  extension->bypassed = bypass == 1;
  extension->valueCount = count < StateExtension::kMaxValues ? count : StateExtension::kMaxValues;
  for (int32_t i = 0; i < extension->valueCount; ++i) {
    at = buffer.ReadDouble(at, &extension->values[i]);
  }
  return ExtensionRead::kComplete;
}

ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t programCount,
                                 StateExtension* extension) {
  return ReadStateExtension(buffer, position, buffer.Size(), programCount, extension);
}

int32_t StateExtensionEnd(const StateBuffer& buffer, int32_t position) {
  uint8_t tag[4];
  if (buffer.ReadBytes(position, tag, 4) < 0 || std::memcmp(tag, kTag, 4) != 0) return -1;
  int32_t payload = 0;
  const int32_t at = buffer.ReadInt32(position + 8, &payload);
  if (at < 0 || payload < 0 || payload > INT32_MAX - at) return -1;
  return at + payload;
}
