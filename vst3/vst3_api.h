// The VST 3 interface declarations: the pure-C headers that tools/setup.sh
// extracts into third_party/vst3_c_api. Everything in vst3/ includes them
// through this one header.
#pragma once

#include "audio_processor.h"
#include "base.h"
#include "bstream.h"
#include "component.h"
#include "edit_controller.h"
#include "events.h"
#include "factory.h"
#include "host.h"
#include "message.h"
#include "unit.h"
#include "view.h"

// The result codes as v3_result values. On Windows they are COM's 32-bit
// result words, which the headers' enumeration holds above the int range.
constexpr v3_result ResultCode(long long code) {
  return static_cast<v3_result>(static_cast<uint32_t>(code));
}
constexpr v3_result kResultOk = ResultCode(V3_OK);
constexpr v3_result kResultFalse = ResultCode(V3_FALSE);
constexpr v3_result kInvalidArgument = ResultCode(V3_INVALID_ARG);
constexpr v3_result kNoInterface = ResultCode(V3_NO_INTERFACE);
constexpr v3_result kNotImplemented = ResultCode(V3_NOT_IMPLEMENTED);
constexpr v3_result kInternalError = ResultCode(V3_INTERNAL_ERR);
constexpr v3_result kOutOfMemory = ResultCode(V3_NOMEM);
