#include "editor_win/module_instance.h"

namespace {

HINSTANCE gModuleOverride = nullptr;

}  // namespace

HINSTANCE EffectModuleInstance() {
  if (gModuleOverride != nullptr) return gModuleOverride;
  HMODULE module = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&EffectModuleInstance), &module);
  return module;
}

void SetEffectModuleInstance(HINSTANCE module) { gModuleOverride = module; }
