// A scripted VST 2 host for tests: an audio-master callback that records
// every request and answers from fields the test sets, plus helpers that
// create an effect through the module entry and drive its dispatcher.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "framework/vst2_interface.h"

extern "C" vst2::AEffect* VSTPluginMain(vst2::AudioMasterCallback audioMaster);

class IPlugVST;

struct HostCall {
  int32_t opcode;
  int32_t index;
  intptr_t value;
  float opt;
};

class FakeHost {
 public:
  using EffectEntry = vst2::AEffect*(VST2_CALL*)(vst2::AudioMasterCallback audioMaster);

  // Creates an effect through the entry (the module's VSTPluginMain unless
  // another is given) and binds it to this host.
  explicit FakeHost(EffectEntry entry = &VSTPluginMain);
  ~FakeHost();  // closes the effect if the test has not
  FakeHost(const FakeHost&) = delete;
  FakeHost& operator=(const FakeHost&) = delete;

  vst2::AEffect* effect() const { return effect_; }
  IPlugVST* plug() const;
  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  void Close();

  // Calls with the given opcode, in order.
  std::vector<HostCall> CallsOf(int32_t opcode) const;
  void ClearCalls() { calls.clear(); }

  // Answers.
  std::string productString;
  intptr_t vendorVersion = 0;
  bool giveTimeInfo = false;
  vst2::VstTimeInfo timeInfo = {};
  intptr_t processEventsAnswer = 1;

  // Off for long runs, so that the record does not grow with them.
  bool recordCalls = true;
  std::vector<HostCall> calls;  // read once the effect's threads have stopped
  int productStringRequests = 0;

  static intptr_t VST2_CALL Callback(vst2::AEffect* effect, int32_t opcode, int32_t index,
                                     intptr_t value, void* ptr, float opt);

 private:
  vst2::AEffect* effect_ = nullptr;
  std::mutex callsLock_;  // the audio thread and the others call back at once
};
