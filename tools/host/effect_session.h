// The one effect the host runs: its module, the effect record from
// `VSTPluginMain`, and thin wrappers around the dispatcher that the steps
// use. [host main thread; the host calls the effect from this thread only]
#pragma once

#include <string>

#include "framework/vst2_interface.h"
#include "tools/host/plugin_module.h"

class EffectSession {
 public:
  ~EffectSession();

  // Loads the module and creates the effect; checks the record's magic.
  bool Create(const std::string& modulePath, std::string& error);
  // Suspends a running effect, sends effClose, then unloads the module.
  void Close();

  vst2::AEffect* effect() const { return effect_; }
  bool opened() const { return opened_; }
  void MarkOpened() { opened_ = true; }
  // effMainsChanged; remembered so that Close can suspend a running effect first.
  void SetMains(bool on);

  intptr_t Dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f);
  // Asks for a text (names, labels, displays) in a generous buffer; warns on
  // standard error when the answer is longer than the interface's limit.
  std::string Text(int32_t opcode, int32_t index, size_t limit, const char* what);

 private:
  PluginModule module_;
  vst2::AEffect* effect_ = nullptr;
  bool opened_ = false;
  bool mainsOn_ = false;
};
