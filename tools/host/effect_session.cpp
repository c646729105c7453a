#include "tools/host/effect_session.h"

#include <cstdio>
#include <cstring>

#include "tools/host/host_services.h"

EffectSession::~EffectSession() { Close(); }

bool EffectSession::Create(const std::string& modulePath, std::string& error) {
  if (!module_.Load(modulePath)) {
    error = "cannot load " + modulePath + ": " + module_.error();
    return false;
  }
  effect_ = module_.entry()(HostCallback);
  if (effect_ == nullptr) {
    error = "VSTPluginMain returned no effect";
    module_.Unload();
    return false;
  }
  if (effect_->magic != vst2::kEffectMagic) {
    char text[80];
    std::snprintf(text, sizeof text, "bad effect magic 0x%08X", static_cast<unsigned>(effect_->magic));
    error = text;
    // A record without the magic cannot be trusted to close; leak it.
    effect_ = nullptr;
    module_.Unload();
    return false;
  }
  if (effect_->dispatcher == nullptr) {
    error = "effect has no dispatcher";
    effect_ = nullptr;
    module_.Unload();
    return false;
  }
  return true;
}

void EffectSession::SetMains(bool on) {
  Dispatch(vst2::effMainsChanged, 0, on ? 1 : 0);
  mainsOn_ = on;
}

void EffectSession::Close() {
  if (effect_ != nullptr) {
    if (mainsOn_) SetMains(false);
    Dispatch(vst2::effClose);
  }
  effect_ = nullptr;
  opened_ = false;
  mainsOn_ = false;
  module_.Unload();
}

intptr_t EffectSession::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

std::string EffectSession::Text(int32_t opcode, int32_t index, size_t limit, const char* what) {
  // Guard bytes past the answer catch an effect that writes without a terminator.
  char buffer[512];
  std::memset(buffer, 0, sizeof buffer);
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = '\0';
  const size_t length = std::strlen(buffer);
  if (length + 1 > limit) {
    std::fprintf(stderr, "warning: %s %d is %zu characters, over the limit of %zu\n", what, index,
                 length, limit - 1);
  }
  return buffer;
}
