// The preset bank of IPlugBase: naming, selection, capture and factory fill.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/plug_base.h"
#include "framework/text_copy.h"
#include "gui/editor_view.h"

namespace {
constexpr char kUserPresetName[] = "user preset";
}  // namespace

const PresetSlot* IPlugBase::Preset(int index) const {
  if (index < 0 || index >= NPresets()) return nullptr;
  return presets_[static_cast<size_t>(index)];
}

const char* IPlugBase::PresetName(int index) const {
  const PresetSlot* preset = Preset(index);
  return preset ? preset->name : "";
}

PresetSlot* IPlugBase::FirstFreePreset() {
  for (PresetSlot* preset : presets_) {
    if (!preset->inUse) return preset;
  }
  return nullptr;
}

int IPlugBase::PresetIndex(const PresetSlot* preset) const {
  for (int i = 0; i < NPresets(); ++i) {
    if (presets_[static_cast<size_t>(i)] == preset) return i;
  }
  return -1;
}

void IPlugBase::EnsureOnePreset() {
  if (!presets_.empty()) return;
  PresetSlot* preset = new PresetSlot();
  preset->state.Reserve(static_cast<size_t>(StateBytes()));  // as the constructor's slots
  snprintf(preset->name, sizeof preset->name, "- %d -", 1);
  presets_.push_back(preset);
  NameFirstFreePresets("Default", 1);
}

void IPlugBase::NameFirstFreePresets(const char* name, int count) {
  for (int i = 0; i < count; ++i) {
    PresetSlot* preset = FirstFreePreset();
    if (!preset) return;
    preset->inUse = true;
    CopyTextBounded(preset->name, name ? name : "Default", sizeof preset->name);
  }
}

void IPlugBase::AddFactoryPreset(const char* name, ...) {
  PresetSlot* preset = FirstFreePreset();
  if (!preset) return;
  preset->inUse = true;
  CopyTextBounded(preset->name, name, sizeof preset->name);
  preset->state.Clear();
  // The same image a capture writes: the chunk's values, then the extension
  // with the rest of the saved ones; values past those are not kept.
  StateExtension extension;
  extension.program = PresetIndex(preset);
  extension.valueCount = savedParams_ - chunkParams_;
  va_list values;
  va_start(values, name);
  for (int i = 0; i < NParams(); ++i) {
    const IPlugParam* param = params_[static_cast<size_t>(i)];
    const double value = param->Kind() == kParamReal ? va_arg(values, double) : va_arg(values, int);
    if (i < chunkParams_) {
      preset->state.AppendDouble(value);
    } else if (i < savedParams_) {
      extension.values[i - chunkParams_] = value;
    }
  }
  va_end(values);
  AppendStateExtension(preset->state, extension);
}

void IPlugBase::CaptureCurrentPreset(const char* newName) {
  if (currentPreset_ < 0 || currentPreset_ >= NPresets()) return;
  PresetSlot* preset = presets_[static_cast<size_t>(currentPreset_)];
  preset->state.Clear();
  SaveState(preset->state, currentPreset_, false);
  if (newName && newName[0]) CopyTextBounded(preset->name, newName, sizeof preset->name);
}

bool IPlugBase::SelectPreset(int index) {
  if (index < 0 || index >= NPresets()) return false;
  PresetSlot* preset = presets_[static_cast<size_t>(index)];
  bool result = true;
  if (!preset->inUse) {
    // A free slot becomes the next user preset and keeps the current values.
    NameUserPreset(preset);
  } else {
    // A slot without an extension gives the values past the chunk's their defaults.
    result = LoadState(preset->state, 0) > 0;
    if (!result) return false;
  }
  currentPreset_ = index;
  PushParamsToEditor();
  return result;
}

void IPlugBase::NameUserPreset(PresetSlot* preset) {
  int userPresets = 0;
  for (const PresetSlot* other : presets_) {
    if (strstr(other->name, kUserPresetName)) ++userPresets;
  }
  preset->inUse = true;
  snprintf(preset->name, sizeof preset->name, "%s %d", kUserPresetName, userPresets + 1);
}

void IPlugBase::AdoptPresetOfState(int index) {
  ScopedLock lock(instanceLock_);
  if (index < 0 || index >= NPresets()) return;
  PresetSlot* preset = presets_[static_cast<size_t>(index)];
  if (!preset->inUse) NameUserPreset(preset);
  currentPreset_ = index;
  CaptureCurrentPreset(nullptr);
}

void IPlugBase::PushParamsToEditor() {
  if (!editor_) return;
  for (int i = 0; i < NParams(); ++i) {
    editor_->SetParameterFromPlugin(i, params_[static_cast<size_t>(i)]->Value(), false);
  }
}
