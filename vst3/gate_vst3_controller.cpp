// GateVst3 as edit controller and unit information: the 17 parameters of
// the VST 2 build under the same indices, with their texts from the
// instance's parameter objects, plus the program selector and bypass, and one
// program list holding the presets' names.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/gate_plug.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "gui/editor_view.h"
#include "instance/vst2_effect_instance.h"
#include "vst3/gate_vst3.h"
#include "vst3/gate_vst3_faces.h"
#include "vst3/plug_view.h"
#include "vst3/text16.h"

namespace {

constexpr int kTextSize = 128;

GateVst3* Owner(void* self) { return FaceOwner<GateVst3>(self); }

// Every entry below answers an error code (or 0, or null) instead of letting
// an exception reach the host. [host main thread unless tagged on GateVst3]
v3_result V3_API Initialize(void* self, v3_funknown** context) {
  return Guarded(kInternalError, [&] { return Owner(self)->Initialize(context); });
}
v3_result V3_API Terminate(void* self) {
  return Guarded(kInternalError, [&] { return Owner(self)->Terminate(); });
}
// The component and the controller are one object: the component's state is
// the controller's too, loaded the same way so both read the same program
// and bypass.
v3_result V3_API SetComponentState(void* self, v3_bstream** stream) {
  return Guarded(kInternalError, [&] { return Owner(self)->SetState(stream); });
}
v3_result V3_API SetControllerState(void*, v3_bstream**) { return kResultOk; }
v3_result V3_API GetControllerState(void*, v3_bstream**) { return kResultOk; }
int32_t V3_API GetParameterCount(void* self) {
  return Guarded(0, [&] { return Owner(self)->ParameterCount(); });
}
v3_result V3_API GetParameterInfo(void* self, int32_t index, v3_param_info* info) {
  return Guarded(kInternalError, [&] { return Owner(self)->ParameterInfo(index, info); });
}
v3_result V3_API GetParameterString(void* self, v3_param_id id, double normalized,
                                    v3_str_128 text) {
  return Guarded(kInternalError, [&] { return Owner(self)->ParameterText(id, normalized, text); });
}
v3_result V3_API GetParameterValue(void* self, v3_param_id id, int16_t* text, double* normalized) {
  return Guarded(kInternalError,
                 [&] { return Owner(self)->ParameterFromText(id, text, normalized); });
}
double V3_API NormalizedToPlain(void* self, v3_param_id id, double normalized) {
  return Guarded(0.0, [&] { return Owner(self)->NormalizedToPlain(id, normalized); });
}
double V3_API PlainToNormalized(void* self, v3_param_id id, double plain) {
  return Guarded(0.0, [&] { return Owner(self)->PlainToNormalized(id, plain); });
}
double V3_API GetParameterNormalized(void* self, v3_param_id id) {
  return Guarded(0.0, [&] { return Owner(self)->ParameterNormalized(id); });
}
v3_result V3_API SetParameterNormalized(void* self, v3_param_id id, double normalized) {
  return Guarded(kInternalError,
                 [&] { return Owner(self)->SetParameterNormalized(id, normalized); });
}
v3_result V3_API SetComponentHandler(void* self, v3_component_handler** handler) {
  return Guarded(kInternalError, [&] { return Owner(self)->SetComponentHandler(handler); });
}
v3_plugin_view** V3_API CreateView(void* self, const char* name) {
  return Guarded(static_cast<v3_plugin_view**>(nullptr),
                 [&] { return Owner(self)->CreateView(name); });
}

int32_t V3_API GetUnitCount(void*) { return 1; }
v3_result V3_API GetUnitInfo(void* self, int32_t index, v3_unit_info* info) {
  return Guarded(kInternalError, [&] { return Owner(self)->UnitInfo(index, info); });
}
int32_t V3_API GetProgramListCount(void*) { return 1; }
v3_result V3_API GetProgramListInfo(void* self, int32_t index, v3_program_list_info* info) {
  return Guarded(kInternalError, [&] { return Owner(self)->ProgramListInfo(index, info); });
}
v3_result V3_API GetProgramName(void* self, int32_t listId, int32_t program, v3_str_128 name) {
  return Guarded(kInternalError, [&] { return Owner(self)->ProgramName(listId, program, name); });
}
v3_result V3_API GetProgramInfo(void*, int32_t, int32_t, const char*, v3_str_128) {
  return kResultFalse;
}
v3_result V3_API HasProgramPitchNames(void*, int32_t, int32_t) { return kResultFalse; }
v3_result V3_API GetProgramPitchName(void*, int32_t, int32_t, int16_t, v3_str_128) {
  return kResultFalse;
}
int32_t V3_API GetSelectedUnit(void*) { return 0; }
v3_result V3_API SelectUnit(void*, int32_t unit) { return unit == 0 ? kResultOk : kResultFalse; }
v3_result V3_API GetUnitByBus(void*, int32_t, int32_t, int32_t, int32_t, int32_t* unit) {
  if (!unit) return kInvalidArgument;
  *unit = 0;
  return kResultOk;
}
v3_result V3_API SetUnitProgramData(void*, int32_t, int32_t, v3_bstream**) {
  return kNotImplemented;
}

}  // namespace

const v3_edit_controller_cpp kControllerVtable = {
    {GateVst3::QueryThunk, GateVst3::RefThunk, GateVst3::UnrefThunk},
    {Initialize, Terminate},
    {SetComponentState, SetControllerState, GetControllerState, GetParameterCount, GetParameterInfo,
     GetParameterString, GetParameterValue, NormalizedToPlain, PlainToNormalized,
     GetParameterNormalized, SetParameterNormalized, SetComponentHandler, CreateView}};

const v3_unit_information_cpp kUnitsVtable = {
    {GateVst3::QueryThunk, GateVst3::RefThunk, GateVst3::UnrefThunk},
    {GetUnitCount, GetUnitInfo, GetProgramListCount, GetProgramListInfo, GetProgramName,
     GetProgramInfo, HasProgramPitchNames, GetProgramPitchName, GetSelectedUnit, SelectUnit,
     GetUnitByBus, SetUnitProgramData}};

v3_result GateVst3::ParameterInfo(int32_t index, v3_param_info* info) {
  if (!info || index < 0 || index >= ParameterCount()) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  info->unit_id = 0;
  if (index == kVisibleParams) {
    info->param_id = kProgramParamId;
    CopyToText16(info->title, kTextSize, "Program");
    CopyToText16(info->short_title, kTextSize, "Program");
    info->step_count = instance_->ProgramCount() - 1;
    info->flags = V3_PARAM_PROGRAM_CHANGE | V3_PARAM_IS_LIST;
    return kResultOk;
  }
  if (index == kVisibleParams + 1) {
    info->param_id = kBypassParamId;
    CopyToText16(info->title, kTextSize, "Bypass");
    CopyToText16(info->short_title, kTextSize, "Bypass");
    info->step_count = 1;
    info->flags = V3_PARAM_CAN_AUTOMATE | V3_PARAM_IS_BYPASS;
    return kResultOk;
  }
  ParamInfoRecord record;
  if (!instance_->ParamInfo(index, &record)) return kInvalidArgument;
  info->param_id = static_cast<v3_param_id>(index);
  CopyToText16(info->title, kTextSize, record.title);
  CopyToText16(info->short_title, kTextSize, record.title);
  CopyToText16(info->units, kTextSize, record.units);
  info->step_count = record.stepCount;
  info->default_normalised_value = defaults_[index];
  info->flags = V3_PARAM_CAN_AUTOMATE;
  if (record.isList) info->flags |= V3_PARAM_IS_LIST;
  return kResultOk;
}

v3_result GateVst3::ParameterText(v3_param_id id, double normalized, int16_t* text) {
  if (!text) return kInvalidArgument;
  char display[kTextSize] = {};
  if (id == kProgramParamId) {
    const int program = static_cast<int>(std::lround(normalized * (instance_->ProgramCount() - 1)));
    instance_->ProgramName(program, display, sizeof display);
  } else if (id == kBypassParamId) {
    std::snprintf(display, sizeof display, "%s", normalized >= 0.5 ? "On" : "Off");
  } else if (id < static_cast<v3_param_id>(kVisibleParams)) {
    instance_->ParamText(static_cast<int32_t>(id), normalized, display, sizeof display);
  } else {
    return kInvalidArgument;
  }
  CopyToText16(text, kTextSize, display);
  return kResultOk;
}

v3_result GateVst3::ParameterFromText(v3_param_id id, const int16_t* text, double* normalized) {
  if (!text || !normalized) return kInvalidArgument;
  char typed[kTextSize];
  CopyFromText16(typed, sizeof typed, text);
  if (id == kProgramParamId) {
    for (int i = 0; i < instance_->ProgramCount(); ++i) {
      char name[EffectInstance::kProgramNameBytes];
      instance_->ProgramName(i, name, sizeof name);
      if (std::strcmp(name, typed) != 0) continue;
      *normalized = instance_->ProgramCount() > 1
                        ? static_cast<double>(i) / (instance_->ProgramCount() - 1)
                        : 0.0;
      return kResultOk;
    }
    return kResultFalse;
  }
  if (id == kBypassParamId) {
    const bool on = std::strcmp(typed, "On") == 0;
    if (!on && std::strcmp(typed, "Off") != 0) return kResultFalse;
    *normalized = on ? 1.0 : 0.0;
    return kResultOk;
  }
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return kInvalidArgument;
  return instance_->ParamFromText(static_cast<int32_t>(id), typed, normalized) ? kResultOk
                                                                               : kResultFalse;
}

double GateVst3::NormalizedToPlain(v3_param_id id, double normalized) {
  if (id == kProgramParamId) return std::lround(normalized * (instance_->ProgramCount() - 1));
  if (id == kBypassParamId) return normalized >= 0.5 ? 1.0 : 0.0;
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return normalized;
  return instance_->ParamPlain(static_cast<int32_t>(id), normalized);
}

double GateVst3::PlainToNormalized(v3_param_id id, double plain) {
  if (id == kProgramParamId) {
    return instance_->ProgramCount() > 1
               ? std::min(1.0, std::max(0.0, plain / (instance_->ProgramCount() - 1)))
               : 0.0;
  }
  if (id == kBypassParamId) return plain >= 0.5 ? 1.0 : 0.0;
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return plain;
  return instance_->ParamNormalizedOfPlain(static_cast<int32_t>(id), plain);
}

double GateVst3::ParameterNormalized(v3_param_id id) {
  ScopedLock lock(instance_->Lock());
  if (id == kProgramParamId) {
    return instance_->ProgramCount() > 1
               ? static_cast<double>(instance_->CurrentProgram()) / (instance_->ProgramCount() - 1)
               : 0.0;
  }
  if (id == kBypassParamId) return bypassed_ ? 1.0 : 0.0;
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return 0.0;
  return instance_->ParamNormalized(static_cast<int32_t>(id));
}

v3_result GateVst3::SetParameterNormalized(v3_param_id id, double normalized) {
  if (!(normalized >= 0.0)) normalized = 0.0;
  if (normalized > 1.0) normalized = 1.0;
  if (id == kProgramParamId) {
    ScopedLock lock(instance_->Lock());
    const int before = instance_->CurrentProgram();
    SelectProgram(static_cast<int>(std::lround(normalized * (instance_->ProgramCount() - 1))));
    if (instance_->CurrentProgram() == before || !handler_ || OnAudioThread()) return kResultOk;
    // A host that would wait on itself reads the values again on its own.
    if (hostRereadsAfterProgram_) return kResultOk;
    // Every parameter changed: the host reads them again at once, told after
    // the lock is released (a host may wait on its audio thread, which may
    // wait on this lock). It has them then; the processor need not repeat them.
    handlerCalls_.Push(HandlerCalls::kRestart, V3_RESTART_PARAM_VALUES_CHANGED, 0.0);
    reported_.RememberAll(*instance_);
    return kResultOk;
  }
  if (id == kBypassParamId) {
    bypassed_ = normalized >= 0.5;
    return kResultOk;
  }
  if (id >= static_cast<v3_param_id>(kVisibleParams)) return kInvalidArgument;
  // The VST 2 parameter callback's road, with the host's full precision.
  const int index = static_cast<int>(id);
  ScopedLock lock(instance_->Lock());
  instance_->SetParamNormalized(index, normalized);
  // The host knows the value it set: nothing to echo in the next block.
  reported_.Remember(index, instance_->ParamNormalized(index));
  return kResultOk;
}

v3_result GateVst3::SetComponentHandler(v3_component_handler** handler) {
  if (handler_) v3_cpp_obj_unref(handler_);
  handler_ = handler;
  if (handler_) v3_cpp_obj_ref(handler_);
  return kResultOk;
}

v3_plugin_view** GateVst3::CreateView(const char* name) {
  if (!name || std::strcmp(name, "editor") != 0 || view_ || !instance_->Editor()) return nullptr;
  view_ = CreateGatePlugView(this);
  return reinterpret_cast<v3_plugin_view**>(view_ ? PlugViewFace(view_) : nullptr);
}

v3_result GateVst3::UnitInfo(int32_t index, v3_unit_info* info) {
  if (!info || index != 0) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  info->id = 0;
  info->parent_unit_id = -1;
  CopyToText16(info->name, kTextSize, instance_->Name());
  info->program_list_id = kProgramListId;
  return kResultOk;
}

v3_result GateVst3::ProgramListInfo(int32_t index, v3_program_list_info* info) {
  if (!info || index != 0) return kInvalidArgument;
  std::memset(info, 0, sizeof *info);
  info->id = kProgramListId;
  CopyToText16(info->name, kTextSize, "Programs");
  info->programCount = instance_->ProgramCount();
  return kResultOk;
}

v3_result GateVst3::ProgramName(int32_t listId, int32_t program, int16_t* name) {
  if (!name || listId != kProgramListId || program < 0 || program >= instance_->ProgramCount()) {
    return kInvalidArgument;
  }
  char text[kTextSize];
  instance_->ProgramName(program, text, sizeof text);
  CopyToText16(name, kTextSize, text);
  return kResultOk;
}
