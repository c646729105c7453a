#include "support/fake_host.h"

#include <cstring>

#include "framework/plug_vst.h"

FakeHost::FakeHost(EffectEntry entry) {
  effect_ = entry(&FakeHost::Callback);
  if (effect_) effect_->user = this;
}

FakeHost::~FakeHost() { Close(); }

IPlugVST* FakeHost::plug() const {
  return effect_ ? static_cast<IPlugVST*>(effect_->object) : nullptr;
}

intptr_t FakeHost::Dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
  return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
}

void FakeHost::Close() {
  if (!effect_) return;
  effect_->dispatcher(effect_, vst2::effClose, 0, 0, nullptr, 0.0f);
  effect_ = nullptr;
}

std::vector<HostCall> FakeHost::CallsOf(int32_t opcode) const {
  std::vector<HostCall> found;
  for (const HostCall& call : calls) {
    if (call.opcode == opcode) found.push_back(call);
  }
  return found;
}

intptr_t VST2_CALL FakeHost::Callback(vst2::AEffect* effect, int32_t opcode, int32_t index,
                                      intptr_t value, void* ptr, float opt) {
  FakeHost* host = effect ? static_cast<FakeHost*>(effect->user) : nullptr;
  if (!host) return 0;
  if (host->recordCalls) {
    std::lock_guard<std::mutex> hold(host->callsLock_);
    host->calls.push_back({opcode, index, value, opt});
  }
  switch (opcode) {
    case vst2::audioMasterGetTime:
      return host->giveTimeInfo ? reinterpret_cast<intptr_t>(&host->timeInfo) : 0;
    case vst2::audioMasterGetProductString:
      ++host->productStringRequests;
      if (!ptr || host->productString.empty()) return 0;
      strncpy(static_cast<char*>(ptr), host->productString.c_str(), 63);
      static_cast<char*>(ptr)[63] = '\0';
      return 1;
    case vst2::audioMasterGetVendorVersion:
      return host->vendorVersion;
    case vst2::audioMasterProcessEvents:
      return host->processEventsAnswer;
    default:
      return 0;
  }
}
