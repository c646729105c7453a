// GateClap's state: the bytes the VST 3 component state holds (the chunk
// the VST 2 build saves, its extension holding the program and bypass), so
// a state saved in either format loads in the other. [host main thread]
#include "clap/gate_clap.h"
#include "clap/plugin_entries.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "instance/effect_instance.h"

namespace {

bool CLAP_ABI Save(const clap_plugin_t* plugin, const clap_ostream_t* stream) {
  return Guarded(false, [&] { return GateClap::Of(plugin)->SaveState(stream); });
}
bool CLAP_ABI Load(const clap_plugin_t* plugin, const clap_istream_t* stream) {
  return Guarded(false, [&] { return GateClap::Of(plugin)->LoadState(stream); });
}

}  // namespace

const clap_plugin_state_t kGateStateExtension = {Save, Load};

bool GateClap::SaveState(const clap_ostream_t* stream) {
  if (!stream || !stream->write) return false;
  StateBuffer state;
  if (!instance_->SaveState(state, bypassed_.load())) return false;
  // Written without the lock: the stream is the host's code, which may take
  // what it is given in parts.
  const uint8_t* bytes = static_cast<const uint8_t*>(state.Data());
  const int64_t size = state.Size();
  int64_t written = 0;
  while (written < size) {
    const int64_t wrote =
        stream->write(stream, bytes + written, static_cast<uint64_t>(size - written));
    if (wrote <= 0 || wrote > size - written) return false;
    written += wrote;
  }
  return true;
}

bool GateClap::LoadState(const clap_istream_t* stream) {
  if (!stream || !stream->read) return false;
  StateBuffer bytes;
  uint8_t block[1024];
  while (bytes.Size() < kMaxStateBytes) {
    const int64_t got = stream->read(stream, block, sizeof block);
    if (got <= 0 || got > static_cast<int64_t>(sizeof block)) break;
    if (!bytes.AppendBytes(block, static_cast<int32_t>(got))) return false;
  }
  {
    // One step for the audio thread: chunk, program and bypass together.
    ScopedLock lock(instance_->Lock());
    // A foreign state changes nothing; a short one of ours keeps what it
    // cannot supply. Both report failure, as the chunk loader does.
    LoadedState carried;
    if (!instance_->LoadState(bytes, &carried)) return false;
    // A bare chunk (an older VST 2 build's) leaves the bypass as it is.
    if (carried.carriedExtension) bypassed_ = carried.bypassed;
    // The host reads every value again, told below.
    reported_.RememberAll(*instance_);
  }
  if (hostParams_ && hostParams_->rescan) hostParams_->rescan(host_, CLAP_PARAM_RESCAN_VALUES);
  return true;
}
