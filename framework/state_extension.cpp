#include "framework/state_extension.h"

#include <cstring>

namespace {
constexpr uint8_t kTag[4] = {'Q', 'R', 'V', 'X'};
}  // namespace

bool AppendStateExtension(StateBuffer& buffer, const StateExtension& extension) {
  bool ok = buffer.AppendBytes(kTag, 4);
  ok = buffer.AppendInt32(kStateExtensionVersion) && ok;
  ok = buffer.AppendInt32(kStateExtensionPayloadBytes) && ok;
  ok = buffer.AppendInt32(extension.program) && ok;
  ok = buffer.AppendInt32(extension.bypassed ? 1 : 0) && ok;
  return ok;
}

ExtensionRead ReadStateExtension(const StateBuffer& buffer, int32_t position, int32_t programCount,
                                 StateExtension* extension) {
  if (position < 0 || position > buffer.Size()) return ExtensionRead::kForeign;
  const int32_t available = buffer.Size() - position;
  if (available <= 0) return ExtensionRead::kForeign;
  // The tag decides whose bytes these are, even when only part of it is there.
  const int32_t tagBytes = available < 4 ? available : 4;
  if (std::memcmp(buffer.Data() + position, kTag, static_cast<size_t>(tagBytes)) != 0) {
    return ExtensionRead::kForeign;
  }
  int32_t version = 0, payload = 0;
  int32_t at = buffer.ReadInt32(position + 4, &version);
  if (at >= 0) at = buffer.ReadInt32(at, &payload);
  if (at >= 0 && (version < 1 || payload < kStateExtensionPayloadBytes)) {
    return ExtensionRead::kForeign;
  }
  if (at < 0 || payload > buffer.Size() - at) return ExtensionRead::kTruncated;
  if (payload != buffer.Size() - at) return ExtensionRead::kForeign;  // bytes past its end
  int32_t program = 0, bypass = 0;
  at = buffer.ReadInt32(at, &program);
  buffer.ReadInt32(at, &bypass);
  if (program < 0 || program >= programCount || (bypass != 0 && bypass != 1)) {
    return ExtensionRead::kForeign;
  }
  if (extension) *extension = {program, bypass == 1};
  return ExtensionRead::kComplete;
}
