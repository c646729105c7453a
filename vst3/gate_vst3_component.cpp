// GateVst3 as component and audio processor: buses, activation, processing
// set-up and the component state: the chunk the VST 2 build saves, its
// extension (framework/state_extension.h) holding this object's program and
// bypass.
#include <cstring>

#include "engine/gate_plug.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "framework/state_extension.h"
#include "instance/vst2_effect_instance.h"
#include "vst3/gate_vst3.h"
#include "vst3/gate_vst3_faces.h"
#include "vst3/text16.h"

namespace {

constexpr v3_speaker_arrangement kStereo = V3_SPEAKER_L | V3_SPEAKER_R;
// A state larger than this is not ours; reading stops there.
constexpr int32_t kMaxStateBytes = 1 << 20;

GateVst3* Owner(void* self) { return FaceOwner<GateVst3>(self); }

// Every entry below answers an error code (or 0) instead of letting an
// exception reach the host. [host threads as tagged on GateVst3]
v3_result V3_API Initialize(void* self, v3_funknown** context) {
  return Guarded(kInternalError, [&] { return Owner(self)->Initialize(context); });
}
v3_result V3_API Terminate(void* self) {
  return Guarded(kInternalError, [&] { return Owner(self)->Terminate(); });
}

v3_result V3_API GetControllerClassId(void*, v3_tuid classId) {
  // Component and controller are this one object.
  if (classId) std::memset(classId, 0, sizeof(v3_tuid));
  return kNotImplemented;
}
v3_result V3_API SetIoMode(void*, int32_t) { return kResultOk; }
int32_t V3_API GetBusCount(void* self, int32_t type, int32_t direction) {
  return Guarded(0, [&] { return Owner(self)->BusCount(type, direction); });
}
v3_result V3_API GetBusInfo(void* self, int32_t type, int32_t direction, int32_t index,
                            v3_bus_info* info) {
  return Guarded(kInternalError,
                 [&] { return Owner(self)->BusInfo(type, direction, index, info); });
}
v3_result V3_API GetRoutingInfo(void*, v3_routing_info*, v3_routing_info*) {
  return kNotImplemented;
}
v3_result V3_API ActivateBus(void* self, int32_t type, int32_t direction, int32_t index, v3_bool) {
  return Guarded(kInternalError, [&] {
    return Owner(self)->BusCount(type, direction) > index && index >= 0 ? kResultOk
                                                                        : kInvalidArgument;
  });
}
v3_result V3_API SetActive(void* self, v3_bool state) {
  return Guarded(kInternalError, [&] { return Owner(self)->SetActive(state); });
}
v3_result V3_API SetState(void* self, v3_bstream** stream) {
  return Guarded(kInternalError, [&] { return Owner(self)->SetState(stream); });
}
v3_result V3_API GetState(void* self, v3_bstream** stream) {
  return Guarded(kInternalError, [&] { return Owner(self)->GetState(stream); });
}

v3_result V3_API SetBusArrangements(void* self, v3_speaker_arrangement* inputs, int32_t inCount,
                                    v3_speaker_arrangement* outputs, int32_t outCount) {
  return Guarded(kInternalError, [&] {
    return Owner(self)->SetBusArrangements(inputs, inCount, outputs, outCount);
  });
}
v3_result V3_API GetBusArrangement(void* self, int32_t direction, int32_t index,
                                   v3_speaker_arrangement* arrangement) {
  return Guarded(kInternalError, [&] {
    if (!arrangement || index != 0 || Owner(self)->BusCount(V3_AUDIO, direction) == 0) {
      return kInvalidArgument;
    }
    *arrangement = kStereo;
    return kResultOk;
  });
}
v3_result V3_API CanProcessSampleSize(void*, int32_t size) {
  return size == V3_SAMPLE_32 || size == V3_SAMPLE_64 ? kResultOk : kNotImplemented;
}
uint32_t V3_API GetLatencySamples(void*) { return 0; }
v3_result V3_API SetupProcessing(void* self, v3_process_setup* setup) {
  return Guarded(kOutOfMemory, [&] { return Owner(self)->SetupProcessing(setup); });
}
v3_result V3_API SetProcessing(void* self, v3_bool state) {
  return Guarded(kInternalError, [&] { return Owner(self)->SetProcessing(state); });
}
v3_result V3_API Process(void* self, v3_process_data* data) {
  return Guarded(kInternalError, [&] { return Owner(self)->Process(data); });
}
uint32_t V3_API GetTailSamples(void*) { return 0; }

uint32_t V3_API GetContextRequirements(void*) {
  return V3_PROCESS_CTX_NEED_PROJECT_TIME | V3_PROCESS_CTX_NEED_TEMPO |
         V3_PROCESS_CTX_NEED_TIME_SIG | V3_PROCESS_CTX_NEED_TRANSPORT_STATE |
         V3_PROCESS_CTX_NEED_BAR_POSITION | V3_PROCESS_CTX_NEED_SYSTEM_TIME;
}

}  // namespace

const v3_component_cpp kComponentVtable = {
    {GateVst3::QueryThunk, GateVst3::RefThunk, GateVst3::UnrefThunk},
    {Initialize, Terminate},
    {GetControllerClassId, SetIoMode, GetBusCount, GetBusInfo, GetRoutingInfo, ActivateBus,
     SetActive, SetState, GetState}};

const v3_audio_processor_cpp kProcessorVtable = {
    {GateVst3::QueryThunk, GateVst3::RefThunk, GateVst3::UnrefThunk},
    {SetBusArrangements, GetBusArrangement, CanProcessSampleSize, GetLatencySamples,
     SetupProcessing, SetProcessing, Process, GetTailSamples}};

const v3_process_context_requirements_cpp kRequirementsVtable = {
    {GateVst3::QueryThunk, GateVst3::RefThunk, GateVst3::UnrefThunk}, {GetContextRequirements}};

int32_t GateVst3::BusCount(int32_t mediaType, int32_t direction) const {
  // Stereo audio in and out; MIDI in only: nothing is sent back as events.
  if (mediaType == V3_AUDIO) return direction == V3_INPUT || direction == V3_OUTPUT ? 1 : 0;
  if (mediaType == V3_EVENT) return direction == V3_INPUT ? 1 : 0;
  return 0;
}

v3_result GateVst3::BusInfo(int32_t mediaType, int32_t direction, int32_t index,
                            v3_bus_info* info) const {
  if (!info || index != 0 || BusCount(mediaType, direction) == 0) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  const bool midi = mediaType == V3_EVENT;
  info->media_type = mediaType;
  info->direction = direction;
  info->channel_count = midi ? 1 : 2;
  CopyToText16(info->bus_name, 128,
               midi ? "MIDI In" : (direction == V3_INPUT ? "Input" : "Output"));
  info->bus_type = V3_MAIN;
  info->flags = V3_DEFAULT_ACTIVE;
  return kResultOk;
}

v3_result GateVst3::SetActive(bool active) {
  if (active == active_) return kResultOk;
  active_ = active;
  instance_->SetActive(active);
  return kResultOk;
}

v3_result GateVst3::SetBusArrangements(const v3_speaker_arrangement* inputs, int32_t inputCount,
                                       const v3_speaker_arrangement* outputs, int32_t outputCount) {
  // Stereo in and stereo out, nothing else.
  const bool stereo = inputCount == 1 && outputCount == 1 && inputs && outputs &&
                      inputs[0] == kStereo && outputs[0] == kStereo;
  return stereo ? kResultOk : kResultFalse;
}

v3_result GateVst3::SetupProcessing(const v3_process_setup* setup) {
  if (!setup || setup->sample_rate <= 0.0 || setup->max_block_size <= 0) return kInvalidArgument;
  if (setup->max_block_size > kMaxBlockFrames) return kInvalidArgument;
  if (setup->symbolic_sample_size != V3_SAMPLE_32 && setup->symbolic_sample_size != V3_SAMPLE_64) {
    return kNotImplemented;
  }
  // The new buffers first: when they cannot be had, the object keeps its
  // size and goes on working.
  BypassCrossfade::DryBuffers dry = BypassCrossfade::MakeDry(setup->max_block_size);
  ScopedLock lock(instance_->Lock());
  // The instance's own buffers may fail too; they never shrink below what
  // the old size needs.
  instance_->SetMaxBlockFrames(setup->max_block_size);
  crossfade_.TakeDry(dry);
  sampleRate_ = setup->sample_rate;
  maxBlock_ = setup->max_block_size;
  instance_->SetSampleRate(sampleRate_);
  return kResultOk;
}

v3_result GateVst3::SetProcessing(bool on) {
  instance_->SetProcessing(on);
  return kResultOk;
}

v3_result GateVst3::GetState(v3_bstream** stream) {
  if (!stream) return kInvalidArgument;
  StateBuffer state;
  // The same chunk a VST 2 host saves, with this object's bypass in its extension.
  if (!instance_->SaveState(state, bypassed_.load())) return kOutOfMemory;
  // Written without the lock: the stream is the host's code.
  int32_t written = 0;
  const v3_result result = v3_cpp_obj(stream)->write(stream, state.Data(), state.Size(), &written);
  return result == kResultOk && written == state.Size() ? kResultOk : kResultFalse;
}

v3_result GateVst3::SetState(v3_bstream** stream) {
  if (!stream) return kInvalidArgument;
  StateBuffer bytes;
  uint8_t block[1024];
  while (bytes.Size() < kMaxStateBytes) {
    int32_t got = 0;
    if (v3_cpp_obj(stream)->read(stream, block, sizeof block, &got) != kResultOk) break;
    if (got <= 0 || got > static_cast<int32_t>(sizeof block)) break;
    if (!bytes.AppendBytes(block, got)) return kOutOfMemory;
  }
  return LoadState(bytes);
}

v3_result GateVst3::LoadState(const StateBuffer& bytes) {
  // One step for the audio thread: chunk, program and bypass together.
  ScopedLock lock(instance_->Lock());
  // A foreign state changes nothing; a short one of ours keeps what it cannot
  // supply. Both report failure, as the chunk loader does.
  LoadedState carried;
  if (!instance_->LoadState(bytes, &carried)) return kResultFalse;
  // A bare chunk (an older VST 2 build's) leaves the bypass as it is.
  if (carried.carriedExtension) bypassed_ = carried.bypassed;
  return kResultOk;
}
