// Lv2Gate's state: one property holding exactly the bytes the instance
// saves (the same bytes every format's state holds, with no bypass), loaded
// back through the instance, which refuses what is not its own.
#include <lv2/state/state.h>

#include "framework/state_buffer.h"
#include "instance/effect_instance.h"
#include "lv2/lv2_gate.h"

LV2_State_Status Lv2Gate::Save(LV2_State_Store_Function store, LV2_State_Handle handle) {
  if (!ids_.mapped || !store) return LV2_STATE_ERR_NO_FEATURE;
  StateBuffer state;
  if (!instance_->SaveState(state, false)) return LV2_STATE_ERR_UNKNOWN;
  return store(handle, ids_.stateKey, state.Data(), static_cast<size_t>(state.Size()),
               ids_.atomChunk, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Gate::Restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
  if (!ids_.mapped || !retrieve) return LV2_STATE_ERR_NO_FEATURE;
  size_t size = 0;
  uint32_t type = 0;
  uint32_t flags = 0;
  const void* data = retrieve(handle, ids_.stateKey, &size, &type, &flags);
  if (!data) return LV2_STATE_ERR_NO_PROPERTY;
  if (type != ids_.atomChunk) return LV2_STATE_ERR_BAD_TYPE;
  if (size > (1u << 20)) return LV2_STATE_ERR_UNKNOWN;  // not ours
  StateBuffer bytes;
  if (!bytes.AppendBytes(data, static_cast<int32_t>(size))) return LV2_STATE_ERR_UNKNOWN;
  const bool loaded = instance_->LoadState(bytes, nullptr);
  // The ports still hold the values from before: they must not overwrite
  // what the state brought until the host moves them.
  TakePortValuesAsApplied();
  return loaded ? LV2_STATE_SUCCESS : LV2_STATE_ERR_UNKNOWN;
}
