// GateClap's parameters: the instance's parameters under their own indices,
// in their own units, then the program selector and bypass, flagged as the
// VST 3 controller publishes them (every one automatable; lists and
// counted steps stepped). Values here are plain values: a program number,
// 0 or 1 for bypass, a parameter's ParamPlain.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "clap/gate_clap.h"
#include "clap/plugin_entries.h"
#include "framework/no_throw.h"
#include "framework/recursive_lock.h"
#include "framework/text_copy.h"
#include "instance/effect_instance.h"

namespace {

GateClap* Owner(const clap_plugin_t* plugin) { return GateClap::Of(plugin); }

// [host main thread]
uint32_t CLAP_ABI Count(const clap_plugin_t* plugin) {
  return Guarded(0u, [&] { return Owner(plugin)->ParamCount(); });
}
bool CLAP_ABI Info(const clap_plugin_t* plugin, uint32_t index, clap_param_info_t* info) {
  return Guarded(false, [&] { return Owner(plugin)->ParamInfo(index, info); });
}
bool CLAP_ABI Value(const clap_plugin_t* plugin, clap_id id, double* value) {
  return Guarded(false, [&] { return Owner(plugin)->ParamValue(id, value); });
}
bool CLAP_ABI ValueToText(const clap_plugin_t* plugin, clap_id id, double value, char* display,
                          uint32_t size) {
  return Guarded(false, [&] { return Owner(plugin)->ValueToText(id, value, display, size); });
}
bool CLAP_ABI TextToValue(const clap_plugin_t* plugin, clap_id id, const char* display,
                          double* value) {
  return Guarded(false, [&] { return Owner(plugin)->TextToValue(id, display, value); });
}
// [audio thread while active, else host main thread]
void CLAP_ABI Flush(const clap_plugin_t* plugin, const clap_input_events_t* in,
                    const clap_output_events_t* out) {
  Guarded(0, [&] {
    Owner(plugin)->Flush(in, out);
    return 0;
  });
}

}  // namespace

const clap_plugin_params_t kGateParamsExtension = {Count,       Info,        Value,
                                                   ValueToText, TextToValue, Flush};

bool GateClap::ParamInfo(uint32_t index, clap_param_info_t* info) {
  if (!info || index >= ParamCount()) return false;
  std::memset(info, 0, sizeof *info);
  info->flags = CLAP_PARAM_IS_AUTOMATABLE;
  if (index == static_cast<uint32_t>(kVisibleParams)) {
    info->id = kProgramParamId;
    info->flags |= CLAP_PARAM_IS_STEPPED;
    CopyTextBounded(info->name, "Program", sizeof info->name);
    info->max_value = instance_->ProgramCount() - 1;
    return true;
  }
  if (index == static_cast<uint32_t>(kVisibleParams) + 1) {
    info->id = kBypassParamId;
    info->flags |= CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS;
    CopyTextBounded(info->name, "Bypass", sizeof info->name);
    info->max_value = 1.0;
    return true;
  }
  ParamInfoRecord record;
  const int32_t param = static_cast<int32_t>(index);
  if (!instance_->ParamInfo(param, &record)) return false;
  info->id = index;
  if (record.isList || record.stepCount > 0) info->flags |= CLAP_PARAM_IS_STEPPED;
  CopyTextBounded(info->name, record.title, sizeof info->name);
  info->min_value = instance_->ParamPlain(param, 0.0);
  info->max_value = instance_->ParamPlain(param, 1.0);
  info->default_value = instance_->ParamPlain(param, defaults_[index]);
  return true;
}

double GateClap::PlainValue(clap_id id) {
  ScopedLock lock(instance_->Lock());
  if (id == kProgramParamId) return instance_->CurrentProgram();
  if (id == kBypassParamId) return bypassed_ ? 1.0 : 0.0;
  const int32_t index = static_cast<int32_t>(id);
  return instance_->ParamPlain(index, instance_->ParamNormalized(index));
}

bool GateClap::ParamValue(clap_id id, double* value) {
  if (!value) return false;
  if (id != kProgramParamId && id != kBypassParamId && id >= static_cast<clap_id>(kVisibleParams)) {
    return false;
  }
  *value = PlainValue(id);
  return true;
}

bool GateClap::ValueToText(clap_id id, double value, char* display, uint32_t size) {
  if (!display || size == 0 || std::isnan(value)) return false;
  char text[EffectInstance::kProgramNameBytes] = {};
  if (id == kProgramParamId) {
    const int count = instance_->ProgramCount();
    if (!(value >= 0.0) || value > count - 1) return false;
    instance_->ProgramName(static_cast<int32_t>(std::lround(value)), text, sizeof text);
  } else if (id == kBypassParamId) {
    std::snprintf(text, sizeof text, "%s", value >= 0.5 ? "On" : "Off");
  } else if (id < static_cast<clap_id>(kVisibleParams)) {
    const int32_t index = static_cast<int32_t>(id);
    instance_->ParamText(index, instance_->ParamNormalizedOfPlain(index, value), text,
                         static_cast<int32_t>(sizeof text));
  } else {
    return false;
  }
  CopyTextBounded(display, text, size);
  return true;
}

bool GateClap::TextToValue(clap_id id, const char* display, double* value) {
  if (!display || !value) return false;
  if (id == kProgramParamId) {
    for (int i = 0; i < instance_->ProgramCount(); ++i) {
      char name[EffectInstance::kProgramNameBytes];
      instance_->ProgramName(i, name, sizeof name);
      if (std::strcmp(name, display) != 0) continue;
      *value = i;
      return true;
    }
    return false;
  }
  if (id == kBypassParamId) {
    const bool on = std::strcmp(display, "On") == 0;
    if (!on && std::strcmp(display, "Off") != 0) return false;
    *value = on ? 1.0 : 0.0;
    return true;
  }
  if (id >= static_cast<clap_id>(kVisibleParams)) return false;
  const int32_t index = static_cast<int32_t>(id);
  double normalized = 0.0;
  if (!instance_->ParamFromText(index, display, &normalized)) return false;
  *value = instance_->ParamPlain(index, normalized);
  return true;
}

void GateClap::SelectProgram(int program) {
  ScopedLock lock(instance_->Lock());
  if (program < 0 || program >= instance_->ProgramCount()) return;
  if (program == instance_->CurrentProgram()) return;
  instance_->SelectProgram(program);
}

void GateClap::ApplyParamValue(clap_id id, double plain) {
  if (id == kBypassParamId) {
    bypassed_ = plain >= 0.5;  // NaN: not bypassed
    return;
  }
  if (id == kProgramParamId) {
    const double last = instance_->ProgramCount() - 1;
    const double program = plain >= 0.0 ? std::min(plain, last) : 0.0;  // NaN too
    SelectProgram(static_cast<int>(std::lround(program)));
    return;
  }
  if (id >= static_cast<clap_id>(kVisibleParams)) return;
  const int32_t index = static_cast<int32_t>(id);
  double normalized = instance_->ParamNormalizedOfPlain(index, plain);
  if (!(normalized >= 0.0)) normalized = 0.0;  // NaN too
  if (normalized > 1.0) normalized = 1.0;
  ScopedLock lock(instance_->Lock());
  instance_->SetParamNormalized(index, normalized);
  // The host knows the value it set: nothing to echo.
  reported_.Remember(index, instance_->ParamNormalized(index));
}

void GateClap::ApplyEvent(const clap_event_header_t* event) {
  if (!event || event->space_id != CLAP_CORE_EVENT_SPACE_ID) return;
  if (event->type != CLAP_EVENT_PARAM_VALUE || event->size < sizeof(clap_event_param_value_t)) {
    return;
  }
  const auto* change = reinterpret_cast<const clap_event_param_value_t*>(event);
  ApplyParamValue(change->param_id, change->value);
}

void GateClap::Flush(const clap_input_events_t* in, const clap_output_events_t* out) {
  ScopedLock lock(instance_->Lock());
  const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
  for (uint32_t i = 0; i < count; ++i) ApplyEvent(in->get(in, i));
  EmitOutputs(out, 0);
}
